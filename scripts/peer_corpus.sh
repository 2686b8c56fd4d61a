#!/usr/bin/env bash
# Runs the picture readers over a peer project's test corpus: the HEIC, AVIF, CR3, DNG, RAF, CRW
# and other RAW files of exiv2's test data (the Debian source package of exiv2, with the
# proofs of the crashes found in that library), through the AddressSanitizer build's
# sortelia-cli (exif, info and reduce of each file: EXIF reading, decoding, resampling) and
# the fuzz targets of the HEIF decoder and the RAW preview reader. Counts crashes (a signal,
# a sanitizer report) and hangs (more than 60 s for one file); prints each one. Exits 1 when
# there is any. Needs the sanitizer and fuzz builds (scripts/test.sh makes them) and the
# Debian mirror; not run by the test command.
#
#   scripts/peer_corpus.sh [CACHE_DIR]     (default /var/tmp/sortelia-peer-corpus)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${1:-/var/tmp/sortelia-peer-corpus}
cli=$repo/build-asan/bin/sortelia-cli
fuzzers=("$repo/build-fuzz/bin/fuzz_heif_decode" "$repo/build-fuzz/bin/fuzz_raw_preview")
[ -x "$cli" ] || { echo "missing $cli: run scripts/test.sh first" >&2; exit 2; }

mkdir -p "$cache/lists/partial" "$cache/files"
if ! ls "$cache"/exiv2_*.orig.tar.* >/dev/null 2>&1; then
  echo "deb-src http://deb.debian.org/debian bookworm main" > "$cache/sources.list"
  apt_opts=(-o "Dir::Etc::SourceList=$cache/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o "Dir::State::Lists=$cache/lists")
  apt-get "${apt_opts[@]}" update -qq
  (cd "$cache" && apt-get "${apt_opts[@]}" source --download-only exiv2 >/dev/null)
fi
tarball=$(ls "$cache"/exiv2_*.orig.tar.*)
pattern='test/data/[^/]*\.(heic|heif|hif|avif|cr3|crw|cr2|dng|raf|nef|nrw|orf|rw2|arw|sr2|srf|pef|srw|x3f|mrw|3fr|erf|kdc|dcr|mos|iiq|rwl)$'
tar -tf "$tarball" | grep -iE "$pattern" > "$cache/names.txt"
tar -xf "$tarball" -C "$cache/files" --strip-components=3 -T "$cache/names.txt"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
files=0 crashes=0 hangs=0
check() {  # label, command...
  local label=$1; shift
  local rc=0
  timeout 60 "$@" >"$out/stdout" 2>"$out/stderr" || rc=$?
  if [ "$rc" -eq 124 ]; then
    hangs=$((hangs + 1)); echo "HANG  $label"
  elif [ "$rc" -ge 128 ] || grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$out/stderr"; then
    crashes=$((crashes + 1)); echo "CRASH $label (exit $rc)"; head -5 "$out/stderr"
  fi
}
for f in "$cache"/files/*; do
  files=$((files + 1))
  name=$(basename "$f")
  check "exif $name" "$cli" exif "$f"
  check "info $name" "$cli" info "$f"
  check "reduce $name" "$cli" reduce "$f" "$out/reduced.jpg" --width 160 --height 120 --exif
  for fuzzer in "${fuzzers[@]}"; do
    [ -x "$fuzzer" ] && check "$(basename "$fuzzer") $name" "$fuzzer" -runs=1 "$f"
  done
done
echo "peer corpus: $files files, $crashes crashes, $hangs hangs"
[ "$crashes" -eq 0 ] && [ "$hangs" -eq 0 ]
