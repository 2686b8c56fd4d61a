#!/usr/bin/env bash
# Installs what is missing, builds Sortelia and starts it on a demo: a folder of sample
# pictures and a data folder of its own (demo/), never the user's own settings.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset program --parallel "$(nproc)"

demo=$PWD/demo
if [ ! -d "$demo/pictures" ]; then
  mkdir -p "$demo/pictures.tmp" "$demo/sorted/family" "$demo/sorted/travel" "$demo/sorted/work"
  colours=(red orange gold green teal blue navy purple pink brown gray olive)
  for i in $(seq 1 12); do
    c=${colours[$((i - 1))]}
    convert -size 1600x1200 "gradient:white-$c" -quality 85 \
      "$demo/pictures.tmp/$(printf 'IMG_%04d.JPG' "$i")"
  done
  mv "$demo/pictures.tmp" "$demo/pictures"
fi
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
