#!/usr/bin/env bash
# Installs the Debian package into a clean Debian 12 (bookworm) root made by debootstrap and
# checks it as a person's machine would see it: apt resolves the package's own dependencies
# (recommendations left out, so the Depends list alone has to suffice), every executable and the
# X11 platform plugin find their libraries, sortelia-cli reads a camera picture and reduces a
# HEIC, an AVIF and a CR3, sortelia opens its window under Xvfb with the Japanese font and
# finds its readme, the desktop files land where a desktop looks, and `apt-get remove` takes
# every file away again.
#
# Usage (as root; takes minutes and needs the Debian mirror):
#   scripts/check_deb_clean.sh [--root DIR] [--out DIR] [--keep] [PACKAGE.deb]
#
#   PACKAGE.deb  default: the one sortelia_*.deb in build/ (made by `cd build && cpack -G DEB`)
#   --root DIR   where the debootstrap root is cached (DIR/base) and the check runs (DIR/run);
#                default $SORTELIA_DEB_ROOT, else /var/tmp/sortelia-bookworm
#   --out DIR    screenshots and logs; default $SORTELIA_DEB_OUT, else /tmp/sortelia-deb-check
#   --keep       leave DIR/run in place afterwards (its mounts are always undone)
#
# The base root is made once and never changed; every run copies it afresh, so the tools the
# check installs (xvfb, imagemagick, xdotool, fontconfig) can never satisfy a dependency the
# package forgot to declare: they are installed only after the library checks.
# Not run by the test command.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
root=${SORTELIA_DEB_ROOT:-/var/tmp/sortelia-bookworm}
out=${SORTELIA_DEB_OUT:-/tmp/sortelia-deb-check}
mirror=${SORTELIA_DEB_MIRROR:-http://deb.debian.org/debian}
keep=0
deb=
while [ $# -gt 0 ]; do
  case $1 in
    --root) root=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) deb=$1; shift ;;
  esac
done
if [ -z "$deb" ]; then
  shopt -s nullglob
  debs=("$repo"/build/sortelia_*.deb)
  shopt -u nullglob
  if [ ${#debs[@]} -ne 1 ]; then
    echo "give the package: found ${#debs[@]} sortelia_*.deb in $repo/build" >&2
    exit 2
  fi
  deb=${debs[0]}
fi
[ -f "$deb" ] || { echo "no such package: $deb" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "run as root (debootstrap and chroot need it)" >&2; exit 2; }
case $(realpath -m "$root")/ in
  "$repo"/*) echo "the root must lie outside the repository: $root" >&2; exit 2 ;;
esac
root=$(realpath -m "$root")
# The check creates and removes DIR/base and DIR/run as root: never at / or a top-level folder.
if [ "$(dirname "$root")" = / ] || [ "$root" = / ]; then
  echo "the root must lie at least two folders deep: $root" >&2
  exit 2
fi
mkdir -p "$out"
out=$(realpath "$out")
base=$root/base
run=$root/run

if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
fi
if [ ! -f "$base/.sortelia-base-complete" ]; then
  echo "== making the clean bookworm root in $base (once)"
  rm -rf "$base.tmp"
  debootstrap --variant=minbase bookworm "$base.tmp" "$mirror" >"$out/debootstrap.log"
  touch "$base.tmp/.sortelia-base-complete"
  rm -rf "$base"
  mv "$base.tmp" "$base"
fi

# Whether anything is still mounted under the run root: removing it then would reach through a
# bind mount into the machine's own /dev.
mounts_under() { awk -v p="$1/" 'index($2 "/", p) == 1 { print $2 }' /proc/mounts; }
remove_run() {
  if [ -n "$(mounts_under "$run")" ]; then
    echo "still mounted under $run, not removing it:" >&2
    mounts_under "$run" >&2
    return 1
  fi
  rm -rf "$run"
}

mounted=()
# shellcheck disable=SC2317  # called by the trap
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done
  if [ "$keep" -eq 0 ] && [ -d "$run" ]; then remove_run || true; fi
}
trap cleanup EXIT

echo "== copying the clean root to $run"
remove_run
cp -a "$base" "$run"
for m in proc dev dev/pts sys; do
  mkdir -p "$run/$m"
  case $m in
    proc) mount -t proc proc "$run/proc" ;;
    sys) mount -t sysfs sysfs "$run/sys" ;;
    *) mount --bind "/$m" "$run/$m" ;;
  esac
  mounted+=("$run/$m")
done
cp /etc/resolv.conf "$run/etc/resolv.conf"
mkdir -p "$run/tmp/check/pictures"
cp "$deb" "$run/tmp/check/"
debname=$(basename "$deb")
cp "$repo"/tests/data/camera/*.jpg "$run/tmp/check/pictures/"
cp "$repo"/tests/data/heif/canon_40d.heic "$repo"/tests/data/heif/canon_40d.avif \
  "$repo"/tests/data/peer/2021-02-13-1929.heic "$repo"/tests/data/peer/Canon-R6-pruned.CR3 \
  "$run/tmp/check/pictures/"

in_root() { chroot "$run" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive "$@"; }

failures=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1"; failures=$((failures + 1)); }
check() {  # check WHAT COMMAND...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

echo "== installing $debname with its dependencies"
in_root apt-get update -qq
in_root apt-get install -y -qq --no-install-recommends "/tmp/check/$debname" >"$out/install.log" 2>&1 \
  || { cat "$out/install.log"; fail "apt-get install ./$debname"; exit 1; }
pass "apt-get install ./$debname (recommendations left out)"
check "the package is installed" \
  sh -c "chroot '$run' dpkg-query -W -f='\${Status}' sortelia | grep -qx 'install ok installed'"

echo "== libraries"
plugin=/usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so
for f in /usr/bin/sortelia /usr/bin/sortelia-cli "$plugin"; do
  in_root ldd "$f" >"$out/ldd-$(basename "$f").txt" 2>&1 || true
  if [ ! -s "$out/ldd-$(basename "$f").txt" ]; then
    fail "ldd $f ran"
  elif grep -q "not found" "$out/ldd-$(basename "$f").txt"; then
    grep "not found" "$out/ldd-$(basename "$f").txt"
    fail "ldd $f: every library found"
  else
    pass "ldd $f: every library found"
  fi
done

echo "== files"
files=(
  /usr/bin/sortelia /usr/bin/sortelia-cli
  /usr/share/applications/org.sortelia.Sortelia.desktop
  /usr/share/icons/hicolor/scalable/apps/org.sortelia.Sortelia.svg
  /usr/share/icons/hicolor/48x48/apps/org.sortelia.Sortelia.png
  /usr/share/icons/hicolor/256x256/apps/org.sortelia.Sortelia.png
  /usr/share/metainfo/org.sortelia.Sortelia.metainfo.xml
  /usr/share/doc/sortelia/README.md /usr/share/doc/sortelia/copyright
  /usr/share/sortelia/ZELreadme.txt
  /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf
  /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
)
for f in "${files[@]}"; do check "$f" test -s "$run$f"; done

echo "== sortelia-cli"
if in_root sortelia-cli --help >"$out/cli-help.txt" 2>&1; then pass "sortelia-cli --help"; else
  fail "sortelia-cli --help"
fi
if in_root sortelia-cli exif /tmp/check/pictures/Canon_40D.jpg >"$out/cli-exif.txt" 2>&1 \
  && grep -q "Canon" "$out/cli-exif.txt"; then
  pass "sortelia-cli exif reads the camera record ($(wc -l <"$out/cli-exif.txt") lines)"
else
  cat "$out/cli-exif.txt"
  fail "sortelia-cli exif Canon_40D.jpg"
fi

# HEIC needs libheif's HEVC decoder, AVIF its AV1 decoder: both must come with the package's
# dependencies alone.
for f in canon_40d.heic canon_40d.avif 2021-02-13-1929.heic Canon-R6-pruned.CR3; do
  if in_root sortelia-cli reduce "/tmp/check/pictures/$f" /tmp/check/reduced.jpg --width 64 \
    --height 48 >"$out/cli-reduce-$f.txt" 2>&1; then
    pass "sortelia-cli reduce $f"
  else
    cat "$out/cli-reduce-$f.txt"
    fail "sortelia-cli reduce $f"
  fi
done

echo "== the window (check tools installed now, after the library checks)"
in_root apt-get install -y -qq --no-install-recommends xvfb xauth imagemagick xdotool fontconfig \
  >"$out/tools.log" 2>&1 || { cat "$out/tools.log"; fail "installing the check tools"; exit 1; }
font=$(in_root fc-match -f '%{file}' IPAPGothic || true)
check "IPAPGothic resolves to its own file ($font)" test "$font" = \
  /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf

# Settings: three destination folders and the picture folder to start on.
config=$run/tmp/check/home/.config/sortelia
mkdir -p "$config" "$run/tmp/check/sorted/a" "$run/tmp/check/sorted/b" "$run/tmp/check/runtime"
chmod 700 "$run/tmp/check/runtime"
{
  printf '%s\r\n' /tmp/check/sorted/a /tmp/check/sorted/b
  for _ in $(seq 3 12); do printf '\r\n'; done
  printf '%s\r\n' /tmp/check/pictures/ 40 40 900 640 FALSE 3 FALSE FALSE FALSE \
    110011010101110010101100000
} >"$config/zel.ini"
cat >"$run/tmp/check/gui.sh" <<'EOF'
#!/bin/sh
# Runs inside xvfb-run: starts the program, shoots the main window, opens the readme (Ctrl+H,
# then Return for the message before it) and shoots again.
sortelia >/tmp/check/sortelia.log 2>&1 &
pid=$!
win=
for _ in $(seq 1 40); do
  win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  sleep 0.5
done
[ -n "$win" ] || { echo "no window"; kill "$pid"; exit 1; }
sleep 2
import -window root /tmp/check/main.png
xdotool windowfocus --sync "$win" key ctrl+h
sleep 1
import -window root /tmp/check/message.png
xdotool key Return
sleep 1
import -window root /tmp/check/help.png
help=$(xdotool search --onlyvisible --name '^Help\(ReadMe\)$' 2>/dev/null | head -n 1)
kill -0 "$pid" || { echo "the program ended by itself"; exit 1; }
kill "$pid"
wait "$pid" 2>/dev/null
[ -n "$help" ] || { echo "no readme window"; exit 3; }
echo "window and readme shown"
EOF
chmod +x "$run/tmp/check/gui.sh"
gui=0
in_root HOME=/tmp/check/home XDG_CONFIG_HOME=/tmp/check/home/.config \
  XDG_RUNTIME_DIR=/tmp/check/runtime \
  xvfb-run -a -s "-screen 0 1280x800x24" /tmp/check/gui.sh >"$out/gui.txt" 2>&1 || gui=$?
cat "$out/gui.txt"
case $gui in
  0) pass "sortelia opens its window and its readme under Xvfb" ;;
  3) pass "sortelia opens its window under Xvfb"; fail "the Help command finds the installed readme" ;;
  *) fail "sortelia opens its window under Xvfb (exit $gui)" ;;
esac
for f in main message help; do
  [ -f "$run/tmp/check/$f.png" ] && cp "$run/tmp/check/$f.png" "$out/$f.png"
done
cp "$run/tmp/check/sortelia.log" "$out/sortelia.log" 2>/dev/null || true
echo "   screenshots in $out (look at them: Japanese captions, not boxes)"

echo "== removal"
mapfile -t owned < <(in_root dpkg -L sortelia | while read -r p; do
  [ -d "$run$p" ] || echo "$p"; done)
if in_root apt-get remove -y -qq sortelia >"$out/remove.log" 2>&1; then
  pass "apt-get remove sortelia"
else
  fail "apt-get remove sortelia"
fi
left=()
for p in "${owned[@]}"; do [ -e "$run$p" ] && left+=("$p"); done
if [ ${#left[@]} -eq 0 ]; then pass "all ${#owned[@]} files of the package are gone"; else
  printf '  left: %s\n' "${left[@]}"
  fail "files left after removal"
fi
check "no folder of its own is left" \
  test ! -e "$run/usr/share/doc/sortelia" -a ! -e "$run/usr/share/sortelia"
check "dpkg no longer lists it as installed" \
  sh -c "! chroot '$run' dpkg-query -W -f='\${Status}' sortelia 2>/dev/null | grep -q 'ok installed'"

if command -v lintian >/dev/null; then
  echo "== lintian"
  lintian --tag-display-limit 0 "$deb" | tee "$out/lintian.txt" || true
fi

echo
if [ "$failures" -eq 0 ]; then echo "passed: the package installs, runs and leaves cleanly"; else
  echo "FAILED: $failures checks"
fi
exit $((failures > 0))
