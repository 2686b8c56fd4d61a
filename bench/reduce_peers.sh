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
  convert tests/data/camera/Canon_40D.jpg -resize '6000x4000!' -attenuate 0.4 \
    +noise Gaussian -sampling-factor 2x1 -quality 95 "$src"
fi
read -r w h < <(identify -format '%w %h\n' "$src")
th=$(( (h * 1600 + w / 2) / w ))
echo "source: $src (${w}x${h}, $(stat -c %s "$src") bytes) -> 1600x$th, quality 91"

declare -A wall cpu rss
tools=(sortelia vipsthumbnail convert)
run_tool() {
  case $1 in
    sortelia) "$cli" reduce "$src" "$work/s.jpg" --width 1600 --height "$th" --level 7 ;;
    vipsthumbnail) vipsthumbnail "$src" -s 1600x -o "$work/v.jpg[Q=91]" ;;
    convert) convert "$src" -resize 1600x -quality 91 "$work/c.jpg" ;;
  esac
}
export -f run_tool
export src work cli th
for t in "${tools[@]}"; do run_tool "$t"; done  # warm the page cache
# Wall time, processor time (user + system, less sensitive to a busy machine) and peak memory
# of every run; the tools take turns so that a change in machine load hits all of them.
for ((i = 0; i < runs; i++)); do
  for t in "${tools[@]}"; do
    read -r e u s m < <( { /usr/bin/time -f '%e %U %S %M' bash -c "run_tool $t" >/dev/null; } 2>&1 | tail -1)
    wall[$t]+="$(awk -v e="$e" 'BEGIN {printf "%d", e * 1000}') "
    cpu[$t]+="$(awk -v u="$u" -v s="$s" 'BEGIN {printf "%d", (u + s) * 1000}') "
    rss[$t]=$m
  done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors"
for t in "${tools[@]}"; do
  printf '%-14s wall median %5d ms   cpu median %5d ms   peak %6d KB   wall runs: %s\n' \
    "$t" "$(median "${wall[$t]}")" "$(median "${cpu[$t]}")" "${rss[$t]}" "${wall[$t]}"
done
identify "$work/s.jpg" "$work/v.jpg" "$work/c.jpg"
