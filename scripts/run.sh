#!/usr/bin/env bash
# Installs what is missing, builds Sortelia and starts it on a demo: a folder of real camera
# pictures, three destination folders and a data folder of its own (demo/), never the user's
# own settings. Delete demo/ to start the demo afresh.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset program --parallel "$(nproc)"

demo=$PWD/demo
# The pictures: copies of the real camera pictures of tests/data/camera with their EXIF, so
# that the information window, the date overlay, renaming by shooting time and the album have
# something to show, named as a camera names its files. The largest come first: most of the
# others are thumbnails of about 100 pixels.
if [ ! -d "$demo/pictures" ]; then
  mkdir -p "$demo/pictures.tmp"
  i=0
  while read -r picture; do
    i=$((i + 1))
    cp --preserve=timestamps "$picture" "$demo/pictures.tmp/$(printf 'IMG_%04d.JPG' "$i")"
  done < <(ls -S tests/data/camera/*.jpg)
  mv "$demo/pictures.tmp" "$demo/pictures"
fi
# The folders behind the first three destination buttons.
mkdir -p "$demo/sorted/family" "$demo/sorted/travel" "$demo/sorted/work"
config=$demo/config/sortelia
if [ ! -f "$config/zel.ini" ]; then
  mkdir -p "$config"
  {
    printf '%s\r\n' "$demo/sorted/family" "$demo/sorted/travel" "$demo/sorted/work"
    for _ in $(seq 4 12); do printf '\r\n'; done
    printf '%s\r\n' "$demo/pictures/" 108 250 603 545 FALSE 3 FALSE FALSE FALSE \
      110011010101110010101100000
  } > "$config/zel.ini"
fi
XDG_CONFIG_HOME=$demo/config exec build/bin/sortelia "$@"
