#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/, and runs one of them:
#   scripts/fuzz.sh fuzz_settings [SECONDS] [SEED_FOLDER...]
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [SECONDS] [SEED_FOLDER...]}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSORTELIA_BUILD_FUZZ=ON -DSORTELIA_SANITIZE=ON -DSORTELIA_BUILD_APP=OFF \
  -DSORTELIA_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build build-fuzz --target "$target"
corpus=build-fuzz/corpus/$target
mkdir -p "$corpus"
build-fuzz/bin/$target "$corpus" "$@" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
  -print_final_stats=1
