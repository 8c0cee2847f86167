#!/usr/bin/env bash
# Builds Qt for Windows when its cache lacks it (scripts/build-qt-windows.sh),
# cross-builds everything for 64-bit Windows with MinGW-w64 against it
# (build-win, cmake/mingw-w64-qt.cmake) and runs it under Wine in a private
# prefix on a private virtual X display: the core tests and the fuzz targets'
# kept inputs, progtool.exe's commands and transfers through a COM port mapped
# to the Linux simulated radio (tests/windows/run_progtool_tests.sh), every
# window test offscreen, the window itself driven by keys
# (tests/windows/run_window_e2e.sh), then the zip and the installer.
# Usage: scripts/windows.sh [--bench] [LINUX_PROGTOOL]   (default build/bin/progtool, built when missing)
# --bench instead times, through a COM port against the paced simulated radio,
# bench_link.exe's and the window's (bench_link_gui.exe) read and write beside
# the Linux bench_link's through its pty, and Program.exe's start-up against a
# bare Qt window of the same toolchain.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
jobs=2
build="$root/build-win"
started=$(date +%s)
bench=0
if [[ "${1:-}" == "--bench" ]]; then
  bench=1
  shift
fi

qt=$(scripts/build-qt-windows.sh | tail -1)
# A build tree of the command-line-only toolchain cannot take the other one.
if [[ -f "$build/CMakeCache.txt" ]] && ! grep -q 'mingw-w64-qt.cmake' "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-qt.cmake" -DPROG_QT_WINDOWS="$qt" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$jobs"

# The simulated radio is the Linux progtool's (it serves a pseudo-terminal).
sim="$(realpath -m "${1:-$root/build/bin/progtool}")"
if [[ ! -x "$sim" ]]; then
  cmake -S . -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$root/build" -j"$jobs" --target progtool
  sim="$root/build/bin/progtool"
fi

# A display of the run's own: Wine's windows appear on it, never on the
# desktop of whoever runs this, and CI needs none.
display=95
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$display ]] && break; sleep 0.1; done
export DISPLAY=":$display"
unset WAYLAND_DISPLAY

# A prefix of the build's own; no debug output, and no Mono or Gecko installer
# (their dialogs would wait for a click nobody gives).
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
# The wineserver runs in a session of its own: a Ctrl+C the tests send to
# progtool.exe never reaches it. It goes when the script ends.
setsid wineserver -p 60 </dev/null >"$build/wineserver.log" 2>&1 &
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  timeout 300 wineboot -i </dev/null >"$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log"; exit 1; }
fi
win() { local p="Z:$1"; echo "${p//\//\\}"; }

if ((bench)); then
  [[ -x "$(dirname "$sim")/bench_link" ]] || cmake --build "$(dirname "$(dirname "$sim")")" -j"$jobs" --target bench_link
  dir=$(mktemp -d)
  "$sim" simulate --pace --link "$dir/radio" >/dev/null 2>&1 &
  radio=$!
  trap 'kill $radio 2>/dev/null; rm -rf "$dir"; wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [[ -L "$dir/radio" ]] && break; sleep 0.1; done
  ln -sfn "$(readlink "$dir/radio")" "$WINEPREFIX/dosdevices/com5"
  echo "== Windows (Wine), the core's transfer:"; wine "$build/bin/bench_link.exe" --port COM5 || failed=1
  echo "== Windows (Wine), the window's transfers (its Process window, as Program.exe runs them):"
  (cd "$build/bin" && WINEQT_QPA_PLATFORM=offscreen wine ./bench_link_gui.exe --port COM5) || failed=1
  echo "== Linux, the core's transfer:"; "$(dirname "$sim")/bench_link" --port "$dir/radio" || failed=1
  rm -f "$WINEPREFIX/dosdevices/com5"
  echo "== start-up under Wine on a virtual display: Program.exe against a bare Qt window"
  [[ -x "$(dirname "$sim")/bench_startup" ]] || cmake --build "$(dirname "$(dirname "$sim")")" -j"$jobs" --target bench_startup
  bash bench/startup_wine.sh "$build" "$(dirname "$sim")/bench_startup" "$root/res/samples/sample.dat" 7 || failed=1
  exit "${failed:-0}"
fi

failed=0
echo "== core tests under Wine"
core_log="$build/core_tests.log"
if ! (cd "$build/bin" && timeout 900 wine ./core_tests.exe --gtest_brief=1 >"$core_log" 2>&1); then
  failed=1
  grep -E '^\[  FAILED  \]' "$core_log" || tail -20 "$core_log"
fi
tests=$(sed -n 's/^\[==========\] \([0-9]*\) tests\? from .* ran.*/\1/p' "$core_log" | tail -1)
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?.*/\1/p' "$core_log" | tail -1)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?.*/\1/p' "$core_log" | tail -1)
echo "windows core tests: ${tests:-0} run, ${passed:-0} passed, ${skipped:-0} skipped (POSIX-only), $((${tests:-0} - ${passed:-0} - ${skipped:-0})) failed"
[[ -n "$tests" ]] || failed=1

echo "== fuzz targets' kept inputs under Wine"
for t in ini dat codec csv options commit transfer; do
  inputs=("fuzz/corpus/$t")
  [[ -d "fuzz/regressions/$t" ]] && inputs+=("fuzz/regressions/$t")
  if timeout 300 wine "$build/bin/fuzz_replay_$t.exe" "${inputs[@]}" >"$build/fuzz_$t.log" 2>&1; then
    sed -n 's/\r$//; / inputs$/p' "$build/fuzz_$t.log"  # the C runtime ends its lines with CR LF
  else
    echo "FAIL: fuzz_replay_$t"; tail -5 "$build/fuzz_$t.log"; failed=1
  fi
done

echo "== progtool.exe under Wine"
bash tests/windows/run_progtool_tests.sh "$build/bin/progtool.exe" "$root" "$sim" || failed=1

echo "== window tests under Wine (offscreen)"
bash tests/windows/run_window_tests.sh "$build" || failed=1

echo "== the window under Wine, driven by keys"
bash tests/windows/run_window_e2e.sh "$build" "$root" "$sim" || failed=1

echo "== the Windows package: zip and installer"
bash tests/windows/run_package_tests.sh "$build" "$root" || failed=1

echo "windows.sh: $(( $(date +%s) - started )) s"
exit "$failed"
