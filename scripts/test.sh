#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once normally, once with
# AddressSanitizer and UndefinedBehaviorSanitizer, both with warnings as errors; checks
# formatting and the include rules; runs each fuzz target briefly from its seeds.
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

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORTELIA_BUILD_BENCH=ON \
  -DSORTELIA_WERROR=ON >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORTELIA_SANITIZE=ON \
  -DSORTELIA_BUILD_BENCH=OFF -DSORTELIA_WERROR=ON >/dev/null
cmake --build build-asan --parallel "$jobs"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$jobs"

echo "== fuzzing: each target replays its seeds and runs 10 seconds of new inputs"
./scripts/fuzz.sh --all 10

echo "== all tests passed"
