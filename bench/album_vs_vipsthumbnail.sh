#!/usr/bin/env bash
# Times the album run over 100 camera-sized pictures (12 megapixels, 3:2, generated) at
# 640 x 427, level 8 (JPEG quality 94): sortelia-cli album against a shell loop of
# vipsthumbnail over the same files to the same quality, in the same run, taking turns:
# "vipsthumbnail" forced to exactly 640 x 427 as the album makes them, "vips-fit" fitted into
# that box (640 x 426, its usual use). Prints the median wall and processor time of each.
#   bench/album_vs_vipsthumbnail.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}
cli=$build/bin/sortelia-cli
[ -x "$cli" ] || { echo "missing $cli: build it first (Release or RelWithDebInfo)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

# Four different pictures made from a real camera picture, enlarged to 4256 x 2832 with fine
# noise so that they compress and decode like photographs (4:2:2 chroma, quality 95, EXIF
# kept), copied to 100 files.
src=$work/pictures
mkdir -p "$src" "$work/vips"
for k in 1 2 3 4; do
  convert tests/data/camera/Canon_40D.jpg -resize '4256x2832!' -seed "$k" -attenuate 0.4 \
    +noise Gaussian -sampling-factor 2x1 -quality 95 "$work/base$k.jpg"
done
for i in $(seq -w 1 100); do cp "$work/base$(( (10#$i - 1) % 4 + 1 )).jpg" "$src/IMG_0$i.jpg"; done
echo "source: 100 pictures of 4256x2832, $(du -sh "$src" | cut -f1) -> 640x427, quality 94"

run_tool() {
  case $1 in
    sortelia) "$cli" album "$src" --width 640 --height 427 --level 8 ;;
    vipsthumbnail)
      for f in "$src"/*.jpg; do vipsthumbnail "$f" -s '640x427!' -o "$work/vips/%s.jpg[Q=94]"; done ;;
    vips-fit)
      for f in "$src"/*.jpg; do vipsthumbnail "$f" -s 640x427 -o "$work/vips/%s.jpg[Q=94]"; done ;;
  esac
}
export -f run_tool
export src work cli
tools=(sortelia vipsthumbnail vips-fit)
for t in "${tools[@]}"; do run_tool "$t" >/dev/null; done  # warm the page cache

declare -A wall cpu
for ((i = 0; i < runs; i++)); do
  for t in "${tools[@]}"; do
    read -r e u s < <( { /usr/bin/time -f '%e %U %S' bash -c "run_tool $t" >/dev/null; } 2>&1 | tail -1)
    wall[$t]+="$(awk -v e="$e" 'BEGIN {printf "%d", e * 1000}') "
    cpu[$t]+="$(awk -v u="$u" -v s="$s" 'BEGIN {printf "%d", (u + s) * 1000}') "
  done
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) processors"
for t in "${tools[@]}"; do
  printf '%-14s wall median %6d ms   cpu median %6d ms   wall runs: %s\n' \
    "$t" "$(median "${wall[$t]}")" "$(median "${cpu[$t]}")" "${wall[$t]}"
done
ls "$src/0_Box640x427-8" | wc -l | xargs echo "album files:"
identify "$src/0_Box640x427-8/0_IMG_0001.jpg" "$work/vips/IMG_0001.jpg"
