#!/usr/bin/env bash
# Times showing a 24-megapixel JPEG (bench_display) against djpeg decoding the same file, in one
# run. Usage: bench/display_vs_djpeg.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
"$build/bin/bench_display" --benchmark_filter=BM_ShowPicture24MP
file=${TMPDIR:-/tmp}/sortelia-bench-24mp.jpg
runs=10
start=$(date +%s%N)
for _ in $(seq $runs); do djpeg -bmp -outfile /dev/null "$file"; done
end=$(date +%s%N)
echo "djpeg (full decode to BMP, whole process): $(( (end - start) / runs / 1000000 )) ms per picture"
