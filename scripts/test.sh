#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test and the
# documentation's examples, builds everything again under AddressSanitizer and
# UndefinedBehaviorSanitizer for the core, link and window tests, runs the
# core's fuzz targets, and last cross-builds everything for Windows and runs it
# under Wine (scripts/windows.sh).
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
# Compiled objects are kept between runs (in ~/.cache/ccache, beside the
# cached Qt for Windows): a second run recompiles only what changed, whatever
# folder the checkout is in.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

# Qt for Windows (about 40 minutes of two cores when its cache is empty, a
# no-op when the cache is complete) builds in the background at the lowest
# priority while the Linux builds and tests run: it takes the processor time
# the tests leave idle, and the Windows run below waits for it.
qt_log=$(mktemp)
setsid nice -n 19 scripts/build-qt-windows.sh >"$qt_log" 2>&1 </dev/null &
qt_build=$!
trap 'kill -- -$qt_build 2>/dev/null || true' EXIT

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
# The examples in README.md and docs/ print today what they show.
python3 scripts/check-examples.py --build build
# The paced runs (real 9600-baud timing) take about half a minute each: benchmark
# only; the examples ran just above.
(cd build && ctest --output-on-failure -j"$jobs" -LE 'paced|docs')

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer, with
# leak detection: the core, link and window tests.
cmake -S . -B build-asan -DPROG_CORE_ONLY=OFF -DPROG_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure --no-tests=error -j"$jobs" -L 'core|e2e|gui' -LE paced)

# The core's libFuzzer targets (clang), about 20 s each from the seeds in
# fuzz/corpus after their regression inputs: fails on a crash or a broken invariant.
scripts/fuzz.sh all 20

# The Windows build (MinGW-w64, against the Qt for Windows built above) of
# everything, run under Wine: the core, progtool, the window tests, the window
# driven by keys, the installer. The Linux progtool built first serves its
# simulated radio.
if ! wait "$qt_build"; then
  tail -30 "$qt_log"
  echo "test.sh: Qt for Windows could not be built" >&2
  exit 1
fi
trap - EXIT
scripts/windows.sh build/bin/progtool
