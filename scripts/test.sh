#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once normally, once with
# AddressSanitizer and UndefinedBehaviorSanitizer, all with warnings as errors, and the tests
# of platform, imaging, outputs, core (the threaded code) and the Qt windows once more with
# ThreadSanitizer; checks formatting and the include rules; runs each fuzz target briefly from its seeds. The builds are the presets of
# CMakePresets.json (build/, build-asan/, build-tsan/, build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh

echo "== layering"
python3 scripts/check_layers_test.py
python3 scripts/check_layers.py

echo "== formatting"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror $files

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# Compilations are cached (ccache, installed by setup.sh) under paths relative to the checkout,
# so that a fresh clone anywhere on this machine reuses what an earlier run compiled; the
# builds themselves start from nothing.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

echo "== build and test"
cmake --preset default >/dev/null
cmake --build --preset default --parallel "$jobs"
ctest --preset default --parallel "$jobs"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitizer >/dev/null
cmake --build --preset sanitizer --parallel "$jobs"
ctest --preset sanitizer --parallel "$jobs"

echo "== build and test with ThreadSanitizer (platform, imaging, outputs, core and the Qt windows)"
cmake --preset thread-sanitizer >/dev/null
cmake --build --preset thread-sanitizer --parallel "$jobs"
ctest --preset thread-sanitizer --parallel "$jobs"

echo "== fuzzing: each target replays its seeds and runs 10 seconds of new inputs"
./scripts/fuzz.sh --all 10

echo "== all tests passed"
