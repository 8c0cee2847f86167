#!/usr/bin/env bash
# Program.exe under Wine on the X display, driven by keys as a user would:
# started with the sample, Read from a simulated radio through COM2 (the
# prefix's com2 leads to the Linux simulated radio's pseudo-terminal), a cell
# edited, Write with verify, Save As, the report printed to PDF, F1's help,
# Chinese and back. The simulated radio's memory then equals the saved
# document; screenshots of each step are kept in BUILD_WIN/screenshots.
# Usage: run_window_e2e.sh BUILD_WIN SOURCE_DIR LINUX_PROGTOOL
# (WINEPREFIX, a running wineserver and DISPLAY come from scripts/windows.sh)
set -u
build="$1"
src="$2"
sim="$3"
bin="$build/bin"
shots="$build/screenshots"
mkdir -p "$shots"
T=$(mktemp -d)
export XDG_DATA_HOME="$T/xdg-data" XDG_CONFIG_HOME="$T/xdg-config"  # the simulator's own
app=TanagerProgram  # [Setup] AppName: the registry key of the settings
failed=0 passed=0 program="" radio=""
fail() { echo "FAIL: $step: $*"; failed=$((failed + 1)); }
ok() { echo "  ok: $step${1:+: $1}"; passed=$((passed + 1)); }
cleanup() {
  [[ -n "$program" ]] && kill "$program" 2>/dev/null
  wine taskkill /f /im Program.exe >/dev/null 2>&1
  [[ -n "$radio" ]] && kill "$radio" 2>/dev/null
  rm -f "$WINEPREFIX/dosdevices/com2"
  rm -rf "$T"
}
trap cleanup EXIT
win() { local p="Z:$1"; echo "${p//\//\\}"; }
shot() { import -window root "$shots/$1.png" 2>/dev/null || true; }
# The newest window whose title matches; waits up to $2 seconds (30).
window() {
  local w="" i
  for ((i = 0; i < ${2:-30} * 4; ++i)); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1)
    [[ -n "$w" ]] && { echo "$w"; return 0; }
    sleep 0.25
  done
  return 1
}
gone() {  # gone TITLE SECONDS: the window closed
  local i
  for ((i = 0; i < ${2:-30} * 4; ++i)); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.25
  done
  return 1
}
keys() {  # keys WINDOW KEY...: focused, then the keys, slowly enough for Wine
  local w=$1; shift
  xdotool windowfocus --sync "$w" 2>/dev/null || xdotool windowfocus "$w"
  sleep 0.3
  xdotool key --delay 120 "$@"
  sleep 0.5
}
type_() { xdotool type --delay 60 "$1"; sleep 0.3; }
start_program() {  # start_program [FILE]: Program.exe from its folder, as the shortcut starts it
  (cd "$bin" && exec wine ./Program.exe "$@" >>"$T/program.log" 2>&1) &
  program=$!
}

# The radio holds another power-on name than the sample, so that a read shows.
"$sim" options "$src/res/samples/sample.dat" --set name=WINE01 -o "$T/radio.dat" >/dev/null
cp "$src/res/samples/sample.dat" "$T/start.dat"
"$sim" simulate --image "$T/radio.dat" --save "$T/after.dat" --link "$T/radio" >"$T/sim.out" 2>"$T/sim.err" &
radio=$!
for _ in $(seq 50); do [[ -L "$T/radio" ]] && break; sleep 0.1; done
ln -sfn "$(readlink "$T/radio")" "$WINEPREFIX/dosdevices/com2"
# COM2 is the port, as Com Setup would have stored it; the program's folder is
# the build's, its Program.ini the one there in English.
wine reg add "HKCU\\Software\\$app" /v com /t REG_DWORD /d 2 /f >/dev/null 2>&1
sed -i 's/^Language=.*/Language=English/' "$bin/Program.ini"

step="start with the sample"
start_program "$(win "$T/start.dat")"
if main=$(window '^TR-5 Programming Tool$' 90); then
  sleep 2
  shot 01-started
  ok "\"$(xdotool getwindowname "$main")\""
else
  fail "no main window in 90 s"; tail -5 "$T/program.log"; exit 1
fi

step="Read (Ctrl+R, then OK)"
keys "$main" ctrl+r
if dlg=$(window '^Read Data$' 20); then
  shot 02-read-dialog
  keys "$dlg" Return
  if gone '^Read Data$' 60; then
    sleep 1
    shot 03-read
    ok
  else
    fail "the Read window did not close"; shot 03-read-failed
  fi
else
  fail "no Read window"; shot 02-read-failed
fi

step="edit a cell (channel 1's receive frequency)"
keys "$main" ctrl+Home Down
type_ "147.36"
keys "$main" Return
sleep 0.5
shot 04-edited
ok

step="Write with verify (Ctrl+W, then OK)"
keys "$main" ctrl+w
if dlg=$(window '^Write Data$' 20); then
  shot 05-write-dialog
  keys "$dlg" Return
  # The backup read, the write, its read-back.
  if gone '^Write Data$' 90; then
    sleep 1
    shot 06-written
    ok
  else
    fail "the Write window did not close"; shot 06-write-failed
  fi
else
  fail "no Write window"; shot 05-write-failed
fi

step="Save As"
keys "$main" alt+f a
if dlg=$(window '^Save As$' 20); then
  sleep 1
  shot 07-save-as
  keys "$dlg" ctrl+a
  type_ "$(win "$T/saved.dat")"
  keys "$dlg" Return
  for _ in $(seq 40); do [[ -s "$T/saved.dat" ]] && break; sleep 0.25; done
  if [[ -s "$T/saved.dat" ]]; then ok; else fail "no saved.dat"; shot 07-save-failed; fi
else
  fail "no Save As window"; shot 07-save-as-failed
fi

step="print to PDF (Ctrl+P)"
keys "$main" ctrl+p
# No printer is installed in the prefix: the report goes into a PDF file.
if dlg=$(window 'PDF|^Print' 20); then
  sleep 1
  shot 08-print
  keys "$dlg" ctrl+a
  type_ "$(win "$T/report.pdf")"
  keys "$dlg" Return
  for _ in $(seq 60); do [[ -s "$T/report.pdf" ]] && break; sleep 0.25; done
  if [[ -s "$T/report.pdf" ]] && pdftotext "$T/report.pdf" - | grep -q "147.36000"; then
    ok "the report shows the edited channel"
  else
    fail "no report.pdf with the read document"
  fi
else
  fail "no print window"; shot 08-print-failed
fi

step="help (F1, then Escape)"
keys "$main" F1
if help=$(window '^Help$' 20); then
  sleep 1
  shot 09-help
  keys "$help" Escape
  if gone '^Help$' 10; then ok; else fail "Escape did not close the help"; fi
else
  fail "no help window"; shot 09-help-failed
fi

step="Chinese and back (Setup > Language)"
keys "$main" alt+s l
if dlg=$(window '^Language$' 10); then
  keys "$dlg" Down space Return
  # The program ends and starts again in the other language, the saved document open.
  if gone '^TR-5 Programming Tool$' 30 && zh=$(window '^TR-5 写频软件$' 90); then
    sleep 2
    shot 10-chinese
    grep -q '^Language=Chinese' "$bin/Program.ini" && ok "relaunched in Chinese" || fail "Program.ini not in Chinese"
    keys "$zh" alt+s l
    if dlg=$(window '^语言$' 10); then
      keys "$dlg" Up space Return
      if gone '^TR-5 写频软件$' 30 && main=$(window '^TR-5 Programming Tool$' 90); then
        sleep 2
        shot 11-english
        ok "and back in English"
      else
        fail "no English window after switching back"; shot 11-english-failed
      fi
    else
      fail "no Chinese Language window"; shot 10-language-failed
    fi
  else
    fail "no Chinese window after the relaunch"; shot 10-chinese-failed
  fi
else
  fail "no Language window"
fi

# The memory the radio holds now is the document that was written and saved.
step="the radio holds what was written"
sleep 0.5
wine taskkill /im Program.exe >/dev/null 2>&1
kill -INT "$radio"; wait "$radio"; radio=""
if [[ -s "$T/after.dat" && -s "$T/saved.dat" ]] && "$sim" diff "$T/saved.dat" "$T/after.dat" >"$T/diff.txt" 2>&1; then
  ok "progtool diff finds the saved document and the radio's memory the same"
else
  fail "the radio's memory differs from the saved document:"; head -5 "$T/diff.txt"
fi
if "$sim" show "$T/saved.dat" 2>/dev/null | grep -q "147.36000"; then
  ok "the edited frequency is in the saved document"
else
  fail "the edit is not in saved.dat"
fi
wait "$program" 2>/dev/null
program=""
sed -i 's/^Language=.*/Language=English/' "$bin/Program.ini"

echo "window under Wine: $passed steps passed, $failed failed (screenshots in $shots)"
[[ $failed -eq 0 ]]
