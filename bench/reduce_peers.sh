#!/usr/bin/env bash
# Times the reduction of a 24-megapixel camera-like JPEG to 1600 pixels wide at level 7
# (JPEG quality 91), whole process, for sortelia-cli reduce, vipsthumbnail and ImageMagick
# convert -resize, in the same run on the same file. Prints the median wall time of each.
#   bench/reduce_peers.sh [BUILD_DIR] [RUNS]
# Set SORTELIA_BENCH_JPEG to time another picture.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-img}
runs=${2:-7}
cli=$build/bin/sortelia-cli
[ -x "$cli" ] || { echo "missing $cli: build it first (Release or RelWithDebInfo)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

src=${SORTELIA_BENCH_JPEG:-}
if [ -z "$src" ]; then
  # A real camera picture, enlarged to 6000 x 4000 with fine noise so that it compresses and
  # decodes like a photograph; 4:2:2 chroma and quality 95 as cameras write, EXIF kept.
  src=$work/camera-24mp.jpg
  convert ../shared/testdata/camera/Canon_40D.jpg -resize '6000x4000!' -attenuate 0.4 \
    +noise Gaussian -sampling-factor 2x1 -quality 95 "$src"
fi
read -r w h < <(identify -format '%w %h\n' "$src")
th=$(( (h * 1600 + w / 2) / w ))
echo "source: $src (${w}x${h}, $(stat -c %s "$src") bytes) -> 1600x$th, quality 91"

now() { date +%s%N; }
declare -A times
tools=(sortelia vipsthumbnail convert)
run_tool() {
  case $1 in
    sortelia) "$cli" reduce "$src" "$work/s.jpg" --width 1600 --height "$th" --level 7 ;;
    vipsthumbnail) vipsthumbnail "$src" -s 1600x -o "$work/v.jpg[Q=91]" ;;
    convert) convert "$src" -resize 1600x -quality 91 "$work/c.jpg" ;;
  esac
}
for t in "${tools[@]}"; do run_tool "$t"; done  # warm the page cache
for ((i = 0; i < runs; i++)); do
  for t in "${tools[@]}"; do
    start=$(now)
    run_tool "$t"
    times[$t]+="$(( ($(now) - start) / 1000000 )) "
  done
done
for t in "${tools[@]}"; do
  median=$(tr ' ' '\n' <<<"${times[$t]}" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  printf '%-14s median %5d ms   runs: %s\n' "$t" "$median" "${times[$t]}"
done
identify "$work/s.jpg" "$work/v.jpg" "$work/c.jpg"
