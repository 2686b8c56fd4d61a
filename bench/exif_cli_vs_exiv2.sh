#!/usr/bin/env bash
# Times `sortelia-cli exif` against `exiv2 -pa` over one folder of 1,000 camera files (the
# shared camera pictures copied round-robin). Each tool runs once per file list, as one
# process over all files; the best of three runs is reported.
#   bench/exif_cli_vs_exiv2.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=$build/bin/sortelia-cli
[ -x "$cli" ] || { echo "missing $cli: build first" >&2; exit 1; }
command -v exiv2 >/dev/null || { echo "exiv2 is missing (scripts/setup.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t sources < <(find ../shared/testdata/camera -name '*.jpg' | sort)
for i in $(seq 0 999); do
  cp "${sources[$((i % ${#sources[@]}))]}" "$work/$(printf 'p%04d.jpg' "$i")"
done

best() {  # best wall time in ms of three runs of "$@", output discarded
  local best_ms=""
  for _ in 1 2 3; do
    local t0 t1 ms
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    ms=$(( (t1 - t0) / 1000000 ))
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
  done
  echo "$best_ms"
}

files=("$work"/*.jpg)
ours=$(best "$cli" exif "${files[@]}")
theirs=$(best exiv2 -pa "${files[@]}")
echo "files: ${#files[@]}"
echo "sortelia-cli exif: ${ours} ms"
echo "exiv2 -pa:         ${theirs} ms"
if [ "$ours" -lt "$theirs" ]; then echo "sortelia-cli is faster"; else echo "exiv2 is faster"; exit 1; fi
