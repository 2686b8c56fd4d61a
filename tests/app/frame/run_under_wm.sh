#!/usr/bin/env bash
# Runs a Qt test program on a private X server with a window manager (openbox), so that real
# window frames exist. Usage: run_under_wm.sh PROGRAM [ARGS...]
set -euo pipefail
for d in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$d" ] || [ -e "/tmp/.X$d-lock" ] || { display=":$d"; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
sleep 0.5
"$@"
