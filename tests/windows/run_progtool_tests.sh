#!/usr/bin/env bash
# progtool.exe under Wine: its file commands with Windows paths (also a Chinese
# name), print refused plainly, and transfers through a COM port that the
# prefix maps to the Linux simulated radio's pseudo-terminal: a byte-exact
# read, a write with --verify, a silent radio, a radio cut off mid-read, Ctrl+C.
# Usage: run_progtool_tests.sh PROGTOOL.EXE SOURCE_DIR LINUX_PROGTOOL
# (WINEPREFIX and a running wineserver come from scripts/windows.sh).
set -u
EXE="$1"
SRC="$2"
SIM="$3"
SAMPLE="$SRC/res/samples/sample.dat"
T="$(mktemp -d)"
export XDG_DATA_HOME="$T/xdg-data" XDG_CONFIG_HOME="$T/xdg-config"  # the simulator's own
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -f "$WINEPREFIX"/dosdevices/com{5,6,7,8,9}
  rm -rf "$T"
}
trap cleanup EXIT

# The Windows name of a Linux path: drive Z: is the root in every Wine prefix.
win() { local p="Z:$1"; echo "${p//\//\\}"; }
PT() { timeout 300 wine "$EXE" "$@"; }

# shellcheck source=tests/support/cases.sh
source "$(dirname "$0")/../support/cases.sh"

# A simulated radio on COMn: start_radio N [ARGS...]; the prefix's comN leads to its pty.
start_radio() {
  local n="$1"; shift
  "$SIM" simulate --link "$T/r$n" "$@" >"$T/r$n.out" 2>"$T/r$n.err" &
  pids+=($!)
  eval "radio${n}_pid=$!"
  for _ in $(seq 50); do [[ -L "$T/r$n" ]] && break; sleep 0.1; done
  [[ -L "$T/r$n" ]] || { fail "simulated radio $n did not start"; cat "$T/r$n.err"; return; }
  ln -sfn "$(readlink "$T/r$n")" "$WINEPREFIX/dosdevices/com$n"
}
stop_radio() {
  local pid; eval "pid=\$radio${1}_pid"
  kill -INT "$pid"; wait "$pid"; local status=$?
  [[ $status -eq 0 ]] || fail "simulated radio $1 ended with $status"
  rm -f "$WINEPREFIX/dosdevices/com$1"
}

S="$(win "$SAMPLE")"
W="$(win "$T")"

# ---- help, and print (a build with Qt prints a PDF, one without says it cannot) -----
PRINTS=0
PT --help 2>/dev/null | grep -q "(not in this build)" || PRINTS=1
case_ "--version" 0 PT --version; out_has "progtool 1."
case_ "--help" 0 PT --help; out_has "print the report to a PDF file"
# The help names Windows' places, not Linux's.
case_ "read --help" 0 PT read --help; out_has "%LOCALAPPDATA%\\tr5-programmer\\backups"; out_has "a regular file or NUL"
case_ "ports --help" 0 PT ports --help; out_has "VID:PID"
case_ "doctor --help" 0 PT doctor --help; out_has "Windows names no program that holds a COM port"
grep -q "/proc\|/dev/" "$T/out" && fail "the doctor's help names Linux places"
if ((PRINTS)); then
  # The report of the sample, through Qt's PDF writer on Windows: its text is the
  # channel list, in Chinese too.
  case_ "print --pdf" 0 PT print "$S" --pdf "$W\\r.pdf"
  if [[ -s "$T/r.pdf" ]] && pdftotext "$T/r.pdf" - | grep -q "Receive Frequency:"; then :; else fail "print --pdf: no report text in $T/r.pdf"; fi
  case_ "print --pdf --lang zh" 0 PT print "$S" --pdf "$W\\r-zh.pdf" --lang zh
  if [[ -s "$T/r-zh.pdf" ]] && pdftotext "$T/r-zh.pdf" - | grep -q "接收频率:"; then :; else fail "print --lang zh: no Chinese report text"; fi
  case_ "print onto itself" 1 PT print "$S" --pdf "$S"
  cmp -s "$SAMPLE" "$SRC/res/samples/sample.dat" || fail "print --pdf onto its input changed the sample"
else
  case_ "print --help" 0 PT print --help; out_has "cannot print"
  case_ "print" 1 PT print "$S" --pdf "$W\\r.pdf"; err_has "this build of progtool cannot print"; absent "$T/r.pdf"
  case_ "print --lang zh" 1 PT print "$S" --pdf "$W\\r.pdf" --lang zh; err_has "不能打印"
fi
case_ "unknown command" 2 PT frobnicate; err_has "frobnicate"

# ---- files, named as Windows names them ---------------------------------------------
case_ "new" 0 PT new "$W\\new.dat"
case_ "new refuses to overwrite" 1 PT new "$W\\new.dat"; err_has "$W\\new.dat"
case_ "new into a missing folder" 1 PT new "$W\\nodir\\x.dat"; err_has "$W\\nodir\\x.dat"
case_ "show" 0 PT show "$S"; out_has "14 channels used"
case_ "show --lang zh" 0 PT show "$S" --lang zh; out_has "接收频率"
case_ "show missing file" 1 PT show "$W\\missing.dat"; err_has "$W\\missing.dat"
case_ "show a folder" 1 PT show "$W"; err_has "$W"
for fmt in grid chirp; do
  case_ "export $fmt" 0 PT export "$S" --format "$fmt" -o "$W\\s-$fmt.csv"
  cp "$T/new.dat" "$T/rt-$fmt.dat"
  case_ "import $fmt into a new file" 0 PT import "$W\\s-$fmt.csv" "$W\\rt-$fmt.dat" --format "$fmt"
  case_ "export again $fmt" 0 PT export "$W\\rt-$fmt.dat" --format "$fmt" -o "$W\\s2-$fmt.csv"
  same_file "$T/s-$fmt.csv" "$T/s2-$fmt.csv"
  cp "$SAMPLE" "$T/self-$fmt.dat"
  case_ "import $fmt over the same file" 0 PT import "$W\\s-$fmt.csv" "$W\\self-$fmt.dat" --format "$fmt"
  same_file "$T/self-$fmt.dat" "$SAMPLE"
done
cp "$SAMPLE" "$T/opt.dat"
case_ "options --set" 0 PT options "$W\\opt.dat" --set squelch=7
case_ "diff" 1 PT diff "$S" "$W\\opt.dat"; out_has "Option Squelch Level: 3 -> 7"
chmod 0444 "$T/opt.dat"  # Wine shows a file without write permission as read-only
case_ "options --set on a read-only file" 1 PT options "$W\\opt.dat" --set squelch=2; err_has "$W\\opt.dat"
err_has "clear the file's read-only attribute"; grep -q chmod "$T/err" && fail "Windows is told to chmod"
chmod 0644 "$T/opt.dat"
cp "$SAMPLE" "$T/中文.dat"
case_ "a Chinese file name" 0 PT options "$W\\中文.dat" --set squelch=4
case_ "diff of the Chinese file name" 1 PT diff "$S" "$W\\中文.dat"; out_has "Option Squelch Level: 3 -> 4"

# ---- transfers on COM5..COM9 ---------------------------------------------------------
start_radio 5 --image "$SAMPLE" --save "$T/r5-saved.dat"
case_ "read" 0 PT read --port COM5 -o "$W\\read.dat" --no-backup
same_file "$T/read.dat" "$SAMPLE"
# Into a folder, one file per port: not "COM5.dat", which Windows takes as the port itself.
mkdir "$T/multi"
case_ "read into a folder" 0 PT read --port COM5 -o "$W\\multi\\" --no-backup
same_file "$T/multi/COM5-radio.dat" "$SAMPLE"
case_ "an invalid name, before the transfer" 1 PT read --port COM5 -o "$W\\a?.dat" --no-backup
err_has "nothing was read"
cp "$T/rt-chirp.dat" "$T/towrite.dat"
"$SIM" options "$T/towrite.dat" --set squelch=7 >/dev/null
case_ "write --verify" 0 PT write --port COM5 "$W\\towrite.dat" --verify
out_has "verify: 0x0000-0x1FF5 match"
case_ "doctor: the radio answers" 0 PT doctor --port COM5; out_has "ready to read or write"
stop_radio 5
cmp -s <(head -c $((0x1FF6)) "$T/r5-saved.dat") <(head -c $((0x1FF6)) "$T/towrite.dat") ||
  fail "the radio does not hold what was written"

# COM1..COM4 are Windows' own ports: the shipped Program.ini maps none of them away.
start_radio 2 --image "$SAMPLE"
case_ "read COM2" 0 PT read --port COM2 -o "$W\\read2.dat" --no-backup
same_file "$T/read2.dat" "$SAMPLE"
stop_radio 2

start_radio 6 --fault silent
start=$(date +%s)
case_ "silent radio" 1 PT read --port COM6 -o "$W\\silent.dat" --no-backup
err_has "Communication Error"; err_has "15 handshake attempts"
err_has "progtool doctor --port COM6"; err_has "last-failed-handshake.trace (for a support report)"
absent "$T/silent.dat"
case_ "doctor: nothing comes back" 1 PT doctor --port COM6 --json
python3 -c 'import json,sys; d = json.load(open(sys.argv[1])); assert d["ports"][0]["verdict"] == "silent", d' "$T/out" ||
  fail "the verdict is not silent"
(( $(date +%s) - start < 30 )) || fail "the silent radio took too long"
stop_radio 6

start_radio 7 --image "$SAMPLE" --fault drop@100
case_ "radio cut off mid-read" 1 PT read --port COM7 -o "$W\\cut.dat" --no-backup
err_has "Program Interrupt"; err_has "stopped after 100 of 1024 frames"
absent "$T/cut.dat"
stop_radio 7

case_ "a port that is not there" 1 PT read --port COM9 -o "$W\\none.dat" --no-backup; err_has "COM9"
absent "$T/none.dat"

# Ctrl+C: Wine turns SIGINT into the console's CTRL_C_EVENT; no partial file.
start_radio 8 --pace
wine "$EXE" read --port COM8 -o "$W\\ctrlc.dat" --no-backup >"$T/out" 2>"$T/err" &
pid=$!
sleep 4  # Wine's start and the first frames at 9600 baud
kill -INT "$pid"; wait "$pid"; rc=$?
current="Ctrl+C mid-read"
[[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
err_has "cancelled after"
absent "$T/ctrlc.dat"
stop_radio 8

echo "windows progtool tests: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
