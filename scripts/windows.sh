#!/usr/bin/env bash
# Cross-builds the core tests and progtool.exe for 64-bit Windows with MinGW-w64
# (build-win, cmake/mingw-w64.cmake) and runs them under Wine in a private,
# headless prefix: the core tests and the fuzz targets' kept inputs, then
# progtool.exe's file commands and its transfers through a COM port mapped to
# the Linux simulated radio (tests/windows/run_progtool_tests.sh).
# Usage: scripts/windows.sh [--bench] [LINUX_PROGTOOL]   (default build/bin/progtool, built when missing)
# --bench instead times bench_link.exe's paced write and read through a COM port
# against the paced simulated radio, beside the Linux bench_link's through its pty.
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

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j"$jobs" --target core_tests progtool \
  fuzz_replay_ini fuzz_replay_dat fuzz_replay_codec fuzz_replay_csv fuzz_replay_options fuzz_replay_commit \
  fuzz_replay_transfer

# The simulated radio is the Linux progtool's (it serves a pseudo-terminal).
sim="$(realpath -m "${1:-$root/build/bin/progtool}")"
if [[ ! -x "$sim" ]]; then
  cmake -S . -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$root/build" -j"$jobs" --target progtool
  sim="$root/build/bin/progtool"
fi

# A prefix of the build's own; no display, no debug output, and no Mono or Gecko
# installer (their dialogs would wait for a click nobody gives).
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY
# The wineserver runs in a session of its own: a Ctrl+C the tests send to
# progtool.exe never reaches it. It goes when the script ends.
setsid wineserver -p 60 </dev/null >"$build/wineserver.log" 2>&1 &
trap 'wineserver -k 2>/dev/null || true' EXIT
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  timeout 300 wineboot -i </dev/null >"$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log"; exit 1; }
fi

if ((bench)); then
  cmake --build "$build" -j"$jobs" --target bench_link
  [[ -x "$(dirname "$sim")/bench_link" ]] || cmake --build "$(dirname "$(dirname "$sim")")" -j"$jobs" --target bench_link
  dir=$(mktemp -d)
  "$sim" simulate --pace --link "$dir/radio" >/dev/null 2>&1 &
  radio=$!
  trap 'kill $radio 2>/dev/null; rm -rf "$dir"; wineserver -k 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [[ -L "$dir/radio" ]] && break; sleep 0.1; done
  ln -sfn "$(readlink "$dir/radio")" "$WINEPREFIX/dosdevices/com5"
  echo "== Windows (Wine):"; wine "$build/bin/bench_link.exe" --port COM5 || failed=1
  echo "== Linux:"; "$(dirname "$sim")/bench_link" --port "$dir/radio" || failed=1
  rm -f "$WINEPREFIX/dosdevices/com5"
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

echo "== the Windows package: zip and installer"
if packages=$(scripts/package.sh --windows); then
  zip=$(grep '\.zip$' <<<"$packages"); installer=$(grep '\.exe$' <<<"$packages")
  listed=$(python3 -c 'import sys, zipfile; print(*sorted(n.split("/", 1)[1] for n in zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
  stock=$(cd res/stock && printf ' stock/%s' *.csv)
  [[ "$listed" == "LICENSE.txt Program.ini README.md progtool.exe stock/$stock" ]] ||
    { echo "FAIL: the zip holds: $listed"; failed=1; }
  # Installed silently (no window) into C:\tr5, then run from there: the
  # Program.ini beside it is the one it reads.
  dir="$WINEPREFIX/drive_c/tr5"
  rm -rf "$dir"
  # An earlier run's install, its folder gone, would make the installer stop
  # to uninstall it first.
  wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\tr5-programmer' /f >/dev/null 2>&1 || true
  timeout 120 wine "$installer" /S '/D=C:\tr5' </dev/null || true
  for _ in $(seq 100); do [[ -f "$dir/progtool.exe" && -f "$dir/Program.ini" ]] && break; sleep 0.2; done
  if [[ ! -f "$dir/progtool.exe" ]]; then
    echo "FAIL: the installer put nothing in C:\tr5"; failed=1
  else
    sed -i 's/^Language=.*/Language=Chinese/' "$dir/Program.ini"
    if (cd "$dir" && timeout 60 wine 'C:\tr5\progtool.exe' show "Z:${root//\//\\}\\res\\samples\\sample.dat") \
      2>&1 | grep -q "接收频率"; then
      echo "installed progtool.exe runs from C:\tr5 and reads its Program.ini"
    else
      echo "FAIL: the installed progtool.exe did not show the sample in its Program.ini's language"; failed=1
    fi
    # The uninstaller (it runs on from a copy of itself) takes it away again.
    timeout 60 wine 'C:\tr5\Uninstall.exe' /S </dev/null || true
    for _ in $(seq 100); do [[ ! -e "$dir/progtool.exe" ]] && break; sleep 0.2; done
    if [[ -e "$dir/progtool.exe" ]]; then
      echo "FAIL: the uninstaller left C:\tr5\progtool.exe"; failed=1
    else
      echo "the uninstaller took it away"
    fi
  fi
else
  echo "FAIL: scripts/package.sh --windows"; failed=1
fi

echo "windows.sh: $(( $(date +%s) - started )) s"
exit "$failed"
