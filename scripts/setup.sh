#!/usr/bin/env bash
# Installs every Debian 12 package the build, the program and the tests need (as root or with
# sudo). Does nothing when all of them are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev clang-format python3
  qt6-base-dev libgl-dev libjpeg62-turbo-dev libturbojpeg0-dev libjpeg-turbo-progs libglib2.0-dev shared-mime-info libfreetype-dev
  libheif-dev libraw-dev libxtst-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho xvfb xauth openbox x11-utils
  libimage-exiftool-perl exiv2 imagemagick libvips-tools chromium poppler-utils
  librsvg2-bin desktop-file-utils appstream dpkg-dev file gzip man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
