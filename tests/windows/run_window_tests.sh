#!/usr/bin/env bash
# Every window test (tst_*.exe) under Wine on Qt's offscreen platform, the
# high-DPI test also at 1.5 and 2 times, then a count of what ran, passed and
# was skipped, and why each skip was (the tests name the reason).
# Usage: run_window_tests.sh BUILD_WIN   (WINEPREFIX and a wineserver come from scripts/windows.sh)
set -u
build=$(realpath "$1")
bin="$build/bin"
log="$build/window-tests"
rm -rf "$log"
mkdir -p "$log"

# Wine hands the Windows programs WINEQT_X as QT_X. Offscreen, Qt for Windows
# finds no system fonts: it gets a folder of the ones the Linux tests use.
fonts="$build/fonts"
rm -rf "$fonts"
mkdir -p "$fonts"
for f in /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf \
  /usr/share/fonts/truetype/dejavu/DejaVuSerif*.ttf /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
  [[ -f "$f" ]] && ln -sf "$f" "$fonts/"
done
windows() { local p="Z:$1"; echo "${p//\//\\}"; }

ran=0 passed=0 skipped=0 failed=0 status=0
run() {  # run NAME SCALE
  local name=$1 scale=$2 out="$log/$1${2:+-x$2}.txt"
  (cd "$bin" && env WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="$(windows "$fonts")" \
    ${scale:+WINEQT_SCALE_FACTOR=$scale} timeout 600 wine "./$name.exe" -o "$(windows "$out"),txt" \
    >"$log/$name${scale:+-x$scale}.console" 2>&1)
  local rc=$?
  local totals
  totals=$(tr -d '\r' <"$out" 2>/dev/null | sed -n 's/^Totals: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped.*/\1 \2 \3/p')
  if [[ -z "$totals" ]]; then
    echo "FAIL: $name${scale:+ at x$scale} ended with $rc and no totals"; tail -5 "$log/$name${scale:+-x$scale}.console"
    failed=$((failed + 1)); status=1; return
  fi
  read -r p f s <<<"$totals"
  ran=$((ran + p + f + s)) passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
  if ((f > 0 || rc != 0)); then
    status=1
    echo "FAIL: $name${scale:+ at x$scale} ($p passed, $f failed, exit $rc)"
    tr -d '\r' <"$out" | grep -A2 '^FAIL!' | sed 's/^/    /' | head -30
  fi
}
for exe in "$bin"/tst_*.exe; do
  name=$(basename "$exe" .exe)
  run "$name" ""
  [[ "$name" == tst_dpi ]] && { run "$name" 1.5; run "$name" 2; }
done

# What was skipped and why, once per reason.
tr -d '\r' <<<"$(cat "$log"/*.txt)" | sed -n 's/^SKIP   : \([^(]*\)([^)]*) \(.*\)/\2/p' | sort | uniq -c |
  sed 's/^ */    skipped /'
echo "$ran window tests ran under Wine, $passed passed, $skipped skipped, $failed failed"
exit "$status"
