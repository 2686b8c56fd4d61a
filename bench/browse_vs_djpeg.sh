#!/usr/bin/env bash
# Times building the thumbnail grid for 500 camera-sized pictures (bench_browse, all workers)
# against a shell loop of djpeg -scale 1/8 over the same files (one process at a time), in one
# run. Usage: bench/browse_vs_djpeg.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
"$build/bin/bench_browse"
dir=${TMPDIR:-/tmp}/sortelia-bench-browse
start=$(date +%s%N)
for f in "$dir"/IMG_*.jpg; do djpeg -scale 1/8 -bmp -outfile /dev/null "$f"; done
end=$(date +%s%N)
n=$(ls "$dir"/IMG_*.jpg | wc -l)
echo "djpeg -scale 1/8 loop: $(( n * 1000000000 / (end - start) )) pictures/s ($n pictures, one core)"
