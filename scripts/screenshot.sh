#!/usr/bin/env bash
# Regenerates every picture in docs/screenshots. Starts the program under a
# virtual X server with the sample document, once in English and once in
# Chinese (main_en.png, main_zh.png), then with a selection and the grid's
# context menu (editing.png); Setup > Check Connection... against a simulated
# radio that is off and one that answers (check_silent_en.png,
# check_answers_en.png); at a device-pixel ratio of 2 (QT_SCALE_FACTOR, on a
# screen twice the size) the main window in both languages, Option Features
# and the main window on a dark desktop palette (main_en_x2.png,
# main_zh_x2.png, options_en_x2.png, main_dark_x2.png); the printed report
# (scripts/report-screenshots.sh).
# Last it stores the hash of each pictured window's widget tree in
# docs/screenshots/widget-trees.sha, against which tst_screenshots tells a
# window that changed since its picture was taken.
# Needs: scripts/install-deps.sh --screenshots (Xvfb, CJK fonts, ImageMagick, xdotool).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh --screenshots
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target Program progtool prog_resources tst_screenshots

mkdir -p docs/screenshots
work=$(mktemp -d)
display=:${SCREENSHOT_DISPLAY:-97}
display2=:$((${SCREENSHOT_DISPLAY:-97} + 1))
xvfb_pid=""
xvfb2_pid=""
program_pid=""
radio_pids=()
cleanup() {
  [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
  for p in "${radio_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  [[ -n "$xvfb2_pid" ]] && kill "$xvfb2_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1000x600x24 -nolisten tcp &
xvfb_pid=$!
# The same 1000 x 600 window at twice the pixels.
Xvfb "$display2" -screen 0 2000x1200x24 -nolisten tcp &
xvfb2_pid=$!
sleep 1

shoot() {
  local language=$1 out=$2 keys=${3:-}
  # A private copy of the program directory, since Program.ini beside the executable picks the language.
  local dir="$work/$language"
  mkdir -p "$dir"
  cp "$build"/bin/Program "$build"/bin/*.qm "$build"/bin/*.qh? "$build"/bin/Program.ini "$dir"/
  sed -i "s/^Language=.*/Language=$language/" "$dir/Program.ini"
  # The sample image shows what the grid looks like with channels in it.
  (cd "$dir" && DISPLAY=$display QT_QPA_PLATFORM=xcb ./Program "$root/res/samples/sample.dat") &
  program_pid=$!
  sleep 4
  if [[ -n "$keys" ]]; then
    DISPLAY=$display xdotool windowfocus --sync "$(DISPLAY=$display xdotool search --name 'Programming Tool' | head -1)"
    # shellcheck disable=SC2086
    DISPLAY=$display xdotool key --delay 80 $keys
    sleep 1
  fi
  import -display "$display" -window root "$root/docs/screenshots/$out"
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  echo "saved docs/screenshots/$out"
}

shoot English main_en.png
shoot Chinese main_zh.png
# Channels 10 to 12 selected, the context menu open on Copy with Headings.
shoot English editing.png "$(printf 'Down %.0s' {1..10}) shift+Down shift+Down Menu Down Down Down"

# Check Connection: COM1 is a radio that is switched off, COM2 one that answers.
shoot_check() {
  local dir="$work/check"
  mkdir -p "$dir"
  cp "$build"/bin/Program "$build"/bin/*.qm "$build"/bin/*.qh? "$build"/bin/Program.ini "$dir"/
  sed -i "s/^Language=.*/Language=English/; s|^COM1=.*|COM1=$work/radio-off|; s|^COM2=.*|COM2=$work/radio-on|" \
    "$dir/Program.ini"
  "$build"/bin/progtool simulate --link "$work/radio-off" --fault silent >/dev/null &
  radio_pids+=($!)
  "$build"/bin/progtool simulate --link "$work/radio-on" >/dev/null &
  radio_pids+=($!)
  (cd "$dir" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    DISPLAY=$display QT_QPA_PLATFORM=xcb ./Program) &
  program_pid=$!
  sleep 4
  export DISPLAY=$display
  xdotool windowfocus --sync "$(xdotool search --name 'Programming Tool' | head -1)"
  xdotool key alt+s n
  sleep 1
  local dialog
  dialog=$(xdotool search --name '^Check Connection$' | head -1)
  xdotool windowfocus --sync "$dialog" key Return
  sleep 3
  import -display "$display" -window "$dialog" "$root/docs/screenshots/check_silent_en.png"
  xdotool key alt+p ctrl+a type COM2
  xdotool key Return
  sleep 2
  import -display "$display" -window "$dialog" "$root/docs/screenshots/check_answers_en.png"
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  echo "saved docs/screenshots/check_silent_en.png and check_answers_en.png"
}
shoot_check

# At a device-pixel ratio of 2. The dark desktop is KDE's Breeze Dark colour
# scheme, which Qt reads from kdeglobals without any plugin.
mkdir -p "$work/dark/config"
printf '%s\n' '[Colors:Button]' 'BackgroundNormal=49,54,59' 'ForegroundNormal=239,240,241' \
  '[Colors:Selection]' 'BackgroundNormal=61,174,233' 'ForegroundNormal=239,240,241' \
  '[Colors:Tooltip]' 'BackgroundNormal=49,54,59' 'ForegroundNormal=239,240,241' \
  '[Colors:View]' 'BackgroundNormal=35,38,41' 'BackgroundAlternate=49,54,59' 'ForegroundNormal=239,240,241' \
  '[Colors:Window]' 'BackgroundNormal=49,54,59' 'ForegroundNormal=239,240,241' >"$work/dark/config/kdeglobals"
shoot_x2() {
  local language=$1 out=$2 look=$3
  local dir="$work/x2-$out"
  mkdir -p "$dir"
  cp "$build"/bin/Program "$build"/bin/*.qm "$build"/bin/*.qh? "$build"/bin/Program.ini "$dir"/
  sed -i "s/^Language=.*/Language=$language/" "$dir/Program.ini"
  local desktop=(XDG_CONFIG_HOME="$work/home/config")
  [[ $look == dark ]] && desktop=(XDG_CONFIG_HOME="$work/dark/config" XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5)
  (cd "$dir" && env HOME="$work/home" XDG_DATA_HOME="$work/home/data" "${desktop[@]}" QT_SCALE_FACTOR=2 \
    DISPLAY=$display2 QT_QPA_PLATFORM=xcb ./Program "$root/res/samples/sample.dat") &
  program_pid=$!
  sleep 4
  if [[ $look == options ]]; then
    DISPLAY=$display2 xdotool windowfocus --sync "$(DISPLAY=$display2 xdotool search --name 'Programming Tool' | head -1)"
    DISPLAY=$display2 xdotool key alt+e o
    sleep 1
    import -display "$display2" -window "$(DISPLAY=$display2 xdotool search --name '^Option Features$' | head -1)" \
      "$root/docs/screenshots/$out"
  else
    import -display "$display2" -window root "$root/docs/screenshots/$out"
  fi
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  echo "saved docs/screenshots/$out"
}
shoot_x2 English main_en_x2.png light
shoot_x2 Chinese main_zh_x2.png light
shoot_x2 English options_en_x2.png options
shoot_x2 English main_dark_x2.png dark

BUILD_DIR=$(cd "$build" && pwd) scripts/report-screenshots.sh

# The widget trees of the windows just pictured, for tst_screenshots.
(cd "$build" && PROG_WRITE_WIDGET_TREES=1 QT_QPA_PLATFORM=offscreen bin/tst_screenshots >/dev/null)
echo "saved docs/screenshots/widget-trees.sha"
