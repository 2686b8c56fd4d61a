#!/usr/bin/env bash
# Key to picture as a person sees it, with and without the transfer queue, on a virtual X
# server with a window manager (openbox) framing the window, as on a desktop: see
# bench/keys_from_outside.cpp. Usage: bench/keys_from_outside.sh [PICTURES] [PAUSE_MS]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target sortelia keys_from_outside >/dev/null
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  'openbox >/dev/null 2>&1 & sleep 1; build/bin/keys_from_outside "$@"' keys "$@"
