#!/usr/bin/env bash
# Starts the program under a virtual X server, once in English and once in
# Chinese, and saves docs/screenshots/main_en.png and main_zh.png.
# Needs: scripts/install-deps.sh --screenshots (Xvfb, CJK fonts, ImageMagick).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh --screenshots
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target Program prog_resources

mkdir -p docs/screenshots
work=$(mktemp -d)
display=:${SCREENSHOT_DISPLAY:-97}
xvfb_pid=""
program_pid=""
cleanup() {
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1000x600x24 -nolisten tcp &
xvfb_pid=$!
sleep 1

shoot() {
  local language=$1 out=$2
  # A private copy of the program directory, since Program.ini beside the executable picks the language.
  local dir="$work/$language"
  mkdir -p "$dir"
  cp "$build"/bin/Program "$build"/bin/*.qm "$build"/bin/*.qh? "$build"/bin/Program.ini "$dir"/
  sed -i "s/^Language=.*/Language=$language/" "$dir/Program.ini"
  # The sample image shows what the grid looks like with channels in it.
  (cd "$dir" && DISPLAY=$display QT_QPA_PLATFORM=xcb ./Program "$root/res/samples/sample.dat") &
  program_pid=$!
  sleep 4
  import -display "$display" -window root "$root/docs/screenshots/$out"
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  echo "saved docs/screenshots/$out"
}

shoot English main_en.png
shoot Chinese main_zh.png
