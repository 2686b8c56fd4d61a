#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/ (the preset "fuzz" of CMakePresets.json) and runs them. Each target starts from
# its seeds in fuzz/corpus/<target>/ and uses the dictionary fuzz/<target>.dict and the
# options (input size cap) in fuzz/<target>.options.
#
#   scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER_ARGS...]
#       one target; the inputs it finds are kept in build-fuzz/corpus/TARGET for the next run
#   scripts/fuzz.sh --all SECONDS
#       every target in turn, each from its seeds only, with a one-line summary per target
#       (scripts/test.sh runs this)
#
# Fails when a target crashes, leaks, hangs or runs out of memory; the input that did it is
# saved in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET|--all [SECONDS] [LIBFUZZER_ARGS...]}
seconds=${2:-60}
shift $(($# >= 2 ? 2 : 1))

cmake --preset fuzz >/dev/null
mkdir -p build-fuzz/artifacts build-fuzz/logs

# run TARGET SECONDS CORPUS [ARGS...]: new inputs go to CORPUS, the seeds are read beside it.
run() {
  local name=$1 time=$2 corpus=$3
  shift 3
  local options
  options=$(grep -v '^[[:space:]]*\(#\|$\)' "fuzz/$name.options" | tr '\n' ' ')
  # shellcheck disable=SC2086 # the options are separate words
  build-fuzz/bin/"$name" "$corpus" "fuzz/corpus/$name" -dict="fuzz/$name.dict" $options \
    -max_total_time="$time" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/artifacts/$name-" -print_final_stats=1 "$@"
}

if [ "$target" != --all ]; then
  cmake --build build-fuzz --target "$target"
  mkdir -p "build-fuzz/corpus/$target"
  run "$target" "$seconds" "build-fuzz/corpus/$target" "$@"
  exit
fi

cmake --build --preset fuzz
status=0
for source in fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  log=build-fuzz/logs/$name.log
  corpus=$(mktemp -d build-fuzz/corpus-XXXXXX)
  if run "$name" "$seconds" "$corpus" >"$log" 2>&1; then
    echo "$name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') inputs," \
      "$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$')/s," \
      "$(ls "$corpus" | wc -l) new in the corpus"
  else
    echo "$name FAILED; the end of $log:" >&2
    tail -n 60 "$log" >&2
    status=1
  fi
  rm -rf "$corpus"
done
exit $status
