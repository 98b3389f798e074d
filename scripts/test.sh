#!/usr/bin/env bash
# Sets up everything and runs every test:
#   1. the normal build (g++, warnings as errors): unit, scripted and smoke tests
#      and the 60 s monkey soak;
#   2. a clang build with AddressSanitizer + UBSan: unit and scripted tests and
#      the fuzz targets, each fuzzed for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export ALSOFT_DRIVERS=null

bash scripts/build.sh
ctest --test-dir build --output-on-failure -j2

if [[ "${BD_SKIP_SANITIZE:-0}" != 1 ]]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DBD_SANITIZE=ON -DBD_FUZZ=ON -DBD_BENCH=OFF -DBD_WERROR=ON >/dev/null
  cmake --build build-asan
  # Leaks of the system's graphics stack (SDL, EGL, Mesa) are not ours.
  ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j2 -LE "smoke|soak"
fi
