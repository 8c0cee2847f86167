#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test, then builds
# the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# The window's files include each other without cycles, but for the transfer's wiring.
python3 scripts/check-include-cycles.py

export QT_QPA_PLATFORM=offscreen
jobs=2

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
# The paced runs (real 9600-baud timing) take about half a minute each: benchmark only.
(cd build && ctest --output-on-failure -j"$jobs" -LE paced)

cmake -S . -B build-asan -DPROG_CORE_ONLY=ON -DPROG_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j"$jobs" -LE paced)
