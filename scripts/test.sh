#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test and the
# documentation's examples, cross-builds the core tests and progtool for
# Windows and runs them under Wine, then builds
# everything again under AddressSanitizer and UndefinedBehaviorSanitizer for
# the core, link and window tests, and runs the core's fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# What the tests need is installed now: a test that would skip for want of a
# tool fails instead.
export CI="${CI:-1}"

# Every tracked source file is formatted as .clang-format says.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
# The window's files include each other without cycles.
python3 scripts/check-include-cycles.py
# Every window text has its Chinese (and English) translation.
python3 scripts/check-translations.py

export QT_QPA_PLATFORM=offscreen
jobs=2

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
# The examples in README.md and docs/ print today what they show.
python3 scripts/check-examples.py --build build
# The paced runs (real 9600-baud timing) take about half a minute each: benchmark
# only; the examples ran just above.
(cd build && ctest --output-on-failure -j"$jobs" -LE 'paced|docs')

# The Windows build (MinGW-w64) of the core tests and progtool, run under Wine;
# the Linux progtool just built serves its simulated radio.
scripts/windows.sh build/bin/progtool

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer, with
# leak detection: the core, link and window tests.
cmake -S . -B build-asan -DPROG_CORE_ONLY=OFF -DPROG_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure --no-tests=error -j"$jobs" -L 'core|e2e|gui' -LE paced)

# The core's libFuzzer targets (clang), about 20 s each from the seeds in
# fuzz/corpus after their regression inputs: fails on a crash or a broken invariant.
scripts/fuzz.sh all 20
