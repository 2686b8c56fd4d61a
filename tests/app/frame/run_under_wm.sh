#!/usr/bin/env bash
# Runs a Qt test program on a private X server with a window manager (openbox), so that real
# window frames exist. Usage: run_under_wm.sh PROGRAM [ARGS...]
# The X server picks a free display itself (-displayfd), so tests running at the same time
# never share one.
set -euo pipefail
work=$(mktemp -d)
wm=""
xvfb=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 number <"$work/display"
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# Wait until the window manager has taken the screen (it sets _NET_SUPPORTING_WM_CHECK).
for _ in $(seq 100); do
  if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then break; fi
  sleep 0.05
done
"$@"
