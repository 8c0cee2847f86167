#!/usr/bin/env bash
# Drives a built progtool through every command: help, bad usage, bad files,
# CSV round trips in both layouts, rejected rows, transfers against the
# simulated radio (complete, faulty, silent), unknown ports and printing.
# Usage: run_cli_tests.sh PROGTOOL SOURCE_DIR
set -u
PT="$1"
SRC="$2"
SAMPLE="$SRC/res/samples/sample.dat"
T="$(mktemp -d)"
# Backups and settings go to the test's own folders.
export XDG_DATA_HOME="$T/xdg-data" XDG_CONFIG_HOME="$T/xdg-config"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$T"
}
trap cleanup EXIT

passed=0
failed=0
current=""
rc=0
fail() { echo "FAIL: $current: $*"; failed=$((failed + 1)); }
# case NAME WANT_RC CMD...: runs CMD, keeps stdout/stderr in $T/out, $T/err.
case_() {
  current="$1"; local want="$2"; shift 2
  "$@" >"$T/out" 2>"$T/err"; rc=$?
  if [[ $rc -ne $want ]]; then
    fail "exit $rc, wanted $want"; sed 's/^/    err: /' "$T/err" | head -5
  else
    passed=$((passed + 1))
  fi
}
err_has() { grep -qF -- "$1" "$T/err" || { fail "stderr lacks \"$1\""; sed 's/^/    err: /' "$T/err" | head -5; }; }
out_has() { grep -qF -- "$1" "$T/out" || { fail "stdout lacks \"$1\""; sed 's/^/    out: /' "$T/out" | head -5; }; }
same_file() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }
absent() { [[ ! -e "$1" ]] || fail "$1 should not exist"; }

# A simulated radio in the background: start_radio NAME [ARGS...]; its link is $T/NAME.
start_radio() {
  local name="$1"; shift
  "$PT" simulate --link "$T/$name" "$@" >"$T/$name.out" 2>"$T/$name.err" &
  pids+=($!)
  eval "${name}_pid=$!"
  for _ in $(seq 50); do [[ -L "$T/$name" ]] && return 0; sleep 0.1; done
  fail "simulated radio $name did not start"; cat "$T/$name.err"
}
stop_radio() {
  local pid; eval "pid=\$${1}_pid"
  kill -INT "$pid"; wait "$pid"; local status=$?
  [[ $status -eq 0 ]] || fail "simulated radio $1 ended with $status"
}

# ---- help and usage -------------------------------------------------------
case_ "tool help" 0 "$PT" --help; out_has "usage: progtool COMMAND"
for c in new show options export import read write print simulate ports trace; do
  case_ "$c --help" 0 "$PT" "$c" --help; out_has "usage: progtool $c"
done
case_ "no command" 2 "$PT"
case_ "unknown command" 2 "$PT" frobnicate; err_has "frobnicate"
case_ "unknown option" 2 "$PT" show "$SAMPLE" --colour; err_has "--colour"
case_ "missing file argument" 2 "$PT" show; err_has "FILE.dat"
case_ "extra argument" 2 "$PT" show "$SAMPLE" extra; err_has "extra"
case_ "bad --lang" 2 "$PT" show "$SAMPLE" --lang fr; err_has "fr"
case_ "bad --format" 2 "$PT" export "$SAMPLE" --format xml; err_has "xml"
case_ "read without port" 2 "$PT" read -o "$T/x.dat"; err_has "--port"
case_ "write bad --retries" 2 "$PT" write --port COM1 "$SAMPLE" --retries many; err_has "many"
case_ "option without value" 2 "$PT" export "$SAMPLE" -o; err_has "needs a value"
case_ "bad fault" 2 "$PT" simulate --fault lightning; err_has "lightning"

# ---- new --------------------------------------------------------------------
case_ "new" 0 "$PT" new "$T/new.dat"
[[ $(stat -c %s "$T/new.dat") -eq 8192 ]] || fail "new file is not 8192 bytes"
# 0x1FC1 squelch 1, 0x1FE0 step 4, 0x1FE1 0xD4: the new-document bytes
[[ "$(od -An -tx1 -j $((0x1FE0)) -N3 "$T/new.dat" | tr -d ' ')" == "04d421" ]] || fail "new-document option bytes"
case_ "new refuses to overwrite" 1 "$PT" new "$T/new.dat"; err_has "$T/new.dat"
case_ "new --force" 0 "$PT" new "$T/new.dat" --force
case_ "new into a missing directory" 1 "$PT" new "$T/nodir/x.dat"; err_has "$T/nodir/x.dat"

# ---- show ------------------------------------------------------------------
case_ "show missing file" 1 "$PT" show "$T/missing.dat"; err_has "$T/missing.dat"
head -c 100 "$SAMPLE" >"$T/short.dat"
case_ "show short file" 1 "$PT" show "$T/short.dat"; err_has "$T/short.dat"
case_ "show sample" 0 "$PT" show "$SAMPLE"
out_has "VHF: 130 - 180   UHF: 400 - 520"; out_has "Rx Frequency"; out_has "14 channels used"
grep -qE '^Pr +146\.52000 +146\.52000 +None +None +High +Yes +Wide +CALL$' "$T/out" || fail "Pr row of the table"
grep -qE '^  7 +162\.55000 +None +None +High +No +Wide +NOAA$' "$T/out" || fail "receive-only row"
grep -q "Cha Lock" "$T/out" && fail "the hidden Cha Lock column is shown"
case_ "show --lang zh" 0 "$PT" show "$SAMPLE" --lang zh; out_has "接收频率"; out_has "高"
case_ "show --csv" 0 "$PT" show "$SAMPLE" --csv
[[ $(wc -l <"$T/out") -eq 201 ]] || fail "show --csv gives $(wc -l <"$T/out") lines, not 201"
[[ "$(head -1 "$T/out" | tr -d '\r')" == "CH,Rx Frequency,Tx Frequency,Rx Tone,Tx Tone,Power,Cha Lock,Scan Add,Bandwidth,Cha Name" ]] ||
  fail "heading line: $(head -1 "$T/out")"
grep -q $'^Pr,146.52000,146.52000,None,None,High,Lock,Yes,Wide,CALL\r$' "$T/out" || fail "Pr line of the CSV"
grep -q $'^"  9",,,,,,,,,\r$' "$T/out" || fail "an empty row keeps its label"

# ---- options ------------------------------------------------------------------
case_ "options" 0 "$PT" options "$SAMPLE"
[[ $(wc -l <"$T/out") -eq 19 ]] || fail "options prints $(wc -l <"$T/out") lines"
[[ "$(head -1 "$T/out")" == "LED: On" && "$(sed -n 9p "$T/out")" == "Power-on Name: TR-5V" &&
   "$(sed -n 10p "$T/out")" == "Step: 12.5k" && "$(tail -1 "$T/out")" == "Beep: On" ]] || fail "option order: $(tr '\n' '|' <"$T/out")"
case_ "options of a new file" 0 "$PT" options "$T/new.dat"
out_has "V SQL Adjust: 30"; out_has "U SQL Adjust: 20"; out_has "Scan Mode: CO"
cp "$T/new.dat" "$T/opt.dat"
case_ "options --set" 0 "$PT" options "$T/opt.dat" --set squelch=5 --set "Call Tone=1750" --set name=ab-1
out_has "Squelch Level: 5"; out_has "Call Tone: 1750"; out_has "Power-on Name: AB-1"
# lower case is taken as upper case, as the dialog does
[[ "$(od -An -tx1 -j $((0x12E8)) -N6 "$T/opt.dat" | tr -d ' ')" == "0a0b2401ffff" ]] || fail "power-on name bytes"
cp "$T/opt.dat" "$T/opt-before.dat"
case_ "options --set name with a space" 2 "$PT" options "$T/opt.dat" --set "name=a b"
err_has 'cannot hold " "'; err_has "0-9, A-Z, - and _"
same_file "$T/opt.dat" "$T/opt-before.dat"
case_ "options --set bad value" 2 "$PT" options "$T/opt.dat" --set squelch=11; err_has "Squelch Level"
same_file "$T/opt.dat" "$T/opt-before.dat"
case_ "options --set name too long" 2 "$PT" options "$T/opt.dat" --set name=ABCDEFG; err_has "up to 6 characters"
same_file "$T/opt.dat" "$T/opt-before.dat"
case_ "options missing file" 1 "$PT" options "$T/missing.dat"; err_has "$T/missing.dat"

# ---- export / import round trips ------------------------------------------------
for fmt in grid chirp; do
  case_ "export $fmt" 0 "$PT" export "$SAMPLE" --format "$fmt" -o "$T/s-$fmt.csv"
  cp "$T/new.dat" "$T/rt-$fmt.dat"
  case_ "import $fmt into a new file" 0 "$PT" import "$T/s-$fmt.csv" "$T/rt-$fmt.dat" --format "$fmt"
  out_has "imported 14 channel(s)"
  case_ "export again $fmt" 0 "$PT" export "$T/rt-$fmt.dat" --format "$fmt" -o "$T/s2-$fmt.csv"
  same_file "$T/s-$fmt.csv" "$T/s2-$fmt.csv"
  # Into a copy of the sample itself: every byte stays as it was.
  cp "$SAMPLE" "$T/self-$fmt.dat"
  case_ "import $fmt over the same file" 0 "$PT" import "$T/s-$fmt.csv" "$T/self-$fmt.dat" --format "$fmt"
  same_file "$T/self-$fmt.dat" "$SAMPLE"
done
case_ "export to stdout equals show --csv" 0 "$PT" export "$SAMPLE"
cp "$T/out" "$T/export-stdout.csv"
"$PT" show "$SAMPLE" --csv >"$T/show.csv"
same_file "$T/export-stdout.csv" "$T/show.csv"
# Settings outside the channel area survive an import.
cp "$T/opt.dat" "$T/keep.dat"
case_ "import keeps the options" 0 "$PT" import "$T/s-chirp.csv" "$T/keep.dat" --format chirp
cmp -s <(tail -c +$((0x12E1)) "$T/keep.dat") <(tail -c +$((0x12E1)) "$T/opt.dat") || fail "bytes after the names changed"
case_ "export missing file" 1 "$PT" export "$T/missing.dat"; err_has "$T/missing.dat"
case_ "export into a missing directory" 1 "$PT" export "$SAMPLE" -o "$T/nodir/x.csv"; err_has "$T/nodir/x.csv"

# ---- import: bad rows --------------------------------------------------------
cat >"$T/bad.csv" <<'CSV'
Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,Mode,Power
0,good,146.520000,,0,,88.5,FM,High
1,high,181.000000,,0,,88.5,FM,High
2,step,146.006500,,0,,88.5,FM,High
3,tone,146.520000,,0,Tone,99.9,FM,High
4,short,146.52
0,dup,146.550000,,0,,88.5,FM,High
5,junk,146.94000Q,,0,,88.5,FM,High
CSV
cp "$SAMPLE" "$T/target.dat"
case_ "import with bad rows" 1 "$PT" import "$T/bad.csv" "$T/target.dat" --format chirp
err_has "bad.csv:3: rejected: Rx Frequency \"181.00000\" is out of range; the bands are VHF 130-180 MHz, UHF 400-520 MHz"
err_has "bad.csv:4: rejected: Rx Frequency \"146.00650\" is not on the 2.5 kHz or 6.25 kHz step"
err_has "bad.csv:5: rejected: CTCSS tone \"99.9\""
err_has "bad.csv:6: rejected: expected 9 fields, found 3"
err_has "bad.csv:7: rejected: Pr was already given on line 2"
err_has "bad.csv:8: rejected: Frequency \"146.94000Q\" is not a frequency: give megahertz with up to five decimals"
err_has "bad.csv:2: changed: name \"good\" is stored as \"GOOD\""
err_has "target.dat is unchanged"
same_file "$T/target.dat" "$SAMPLE"
case_ "import --skip-bad" 0 "$PT" import "$T/bad.csv" "$T/target.dat" --format chirp --skip-bad
out_has "imported 1 channel(s)"; out_has "6 rejected row(s) left out"
"$PT" show "$T/target.dat" >"$T/out"; out_has "1 channels used"; out_has "GOOD"
printf 'CH,Rx Frequency\n"Pr,146.52\n' >"$T/broken.csv"
case_ "import broken quoting" 1 "$PT" import "$T/broken.csv" "$T/target.dat"; err_has "broken.csv: line 2"
printf 'Pr,146.52\n' >"$T/nohead.csv"
case_ "import grid without headings" 1 "$PT" import "$T/nohead.csv" "$T/target.dat"; err_has "line 1"
case_ "import missing csv" 1 "$PT" import "$T/none.csv" "$T/target.dat"; err_has "$T/none.csv"
case_ "import into a missing file" 1 "$PT" import "$T/s-grid.csv" "$T/missing.dat"; err_has "$T/missing.dat"
case_ "import into a short file" 1 "$PT" import "$T/s-grid.csv" "$T/short.dat"; err_has "$T/short.dat"

# ---- transfers ------------------------------------------------------------------
start_radio radio --image "$SAMPLE" --save "$T/radio-saved.dat"
grep -q '^/dev/' "$T/radio.out" || fail "simulate does not print the device path"
case_ "read" 0 "$PT" read --port "$T/radio" -o "$T/read.dat" --trace "$T/read.trace"
same_file "$T/read.dat" "$SAMPLE"
backups=("$XDG_DATA_HOME"/Program/backups/*-radio.dat)
[[ ${#backups[@]} -eq 1 ]] || fail "backups: ${backups[*]}"
same_file "${backups[0]}" "$SAMPLE"
case_ "decode the read's trace" 0 "$PT" trace "$T/read.trace"
out_has "1 entry code(s), 1024 read request(s), 1024 read reply(ies), 0 write frame(s), 0 unexpected"
out_has "read request 0x0108, 8 bytes"
case_ "read --no-backup" 0 "$PT" read --port "$T/radio" -o "$T/read2.dat" --no-backup
[[ $(ls "$XDG_DATA_HOME"/Program/backups | wc -l) -eq 1 ]] || fail "--no-backup kept a backup"
case_ "read with a backup folder that cannot be made" 0 env XDG_DATA_HOME="$SAMPLE" "$PT" read --port "$T/radio" -o "$T/read3.dat"
err_has "the backup in $SAMPLE/Program/backups failed"; err_has "Not a directory"
same_file "$T/read3.dat" "$SAMPLE"
case_ "trace file that cannot be written" 1 "$PT" read --port "$T/radio" -o "$T/read4.dat" --trace "$T/nodir/t.trace"
err_has "$T/nodir/t.trace"; err_has "nothing was sent"
absent "$T/read4.dat"
printf '0.1 > 02\nnonsense\n' >"$T/bad.trace"
case_ "decode a broken trace" 1 "$PT" trace "$T/bad.trace"; err_has "$T/bad.trace: line 2"
cp "$T/rt-chirp.dat" "$T/towrite.dat"
"$PT" options "$T/towrite.dat" --set squelch=7 >/dev/null
case_ "write --verify" 0 "$PT" write --port "$T/radio" "$T/towrite.dat" --verify --trace "$T/write.trace"
out_has "verify: 0x0000-0x1FF5 match"
case_ "decode the write's trace" 0 "$PT" trace "$T/write.trace"
out_has "2 entry code(s), 1024 read request(s), 1024 read reply(ies), 1023 write frame(s), 0 unexpected"
# bytes 0x1FF6.. of a file never reach the radio: reported, not an error
cp "$T/towrite.dat" "$T/tail.dat"
printf '\x11\x22' | dd of="$T/tail.dat" bs=1 seek=$((0x1FFA)) conv=notrunc status=none
case_ "write --verify with unsent bytes" 0 "$PT" write --port "$T/radio" "$T/tail.dat" --verify
out_has "0x1FFA-0x1FFB differs: not written"
stop_radio radio
cmp -s <(head -c $((0x1FF6)) "$T/radio-saved.dat") <(head -c $((0x1FF6)) "$T/towrite.dat") || fail "radio memory after write"

# The COM names go through [Ports] of the Program.ini beside the program.
mkdir "$T/prog"
cp "$PT" "$T/prog/progtool"
start_radio com
printf '[Setup]\nLanguage=English\n[Ports]\nCOM1=%s\nCOM2=%s\n' "$T/com" "$T/nothing" >"$T/prog/Program.ini"
# The devices present come from a prepared tree: an adapter on the radio's line.
mkdir -p "$T/root/dev"
ln -s "$T/com" "$T/root/dev/ttyUSB0"
ln -s "$T/nothing" "$T/root/dev/ttyACM3"
case_ "ports" 0 env PROG_DEVICE_ROOT="$T/root" "$T/prog/progtool" ports
grep -q "^COM1  $T/com .*can be opened" "$T/out" || fail "COM1 line: $(head -1 "$T/out")"
grep -q "^COM2  $T/nothing .*cannot be opened: .*No such file" "$T/out" || fail "COM2 line"
[[ $(grep -c "^COM" "$T/out") -eq 4 ]] || fail "ports lists $(grep -c "^COM" "$T/out") COM lines"
grep -q "^$T/root/dev/ttyUSB0  ttyUSB .*can be opened" "$T/out" || fail "ttyUSB0 line"
grep -q "^$T/root/dev/ttyACM3  ttyACM .*missing" "$T/out" || fail "ttyACM3 line"
case_ "read through COM1" 0 "$T/prog/progtool" read --port COM1 -o "$T/com1.dat"
case_ "unknown port" 1 "$T/prog/progtool" read --port COM2 -o "$T/com2.dat"
err_has "COM2 ($T/nothing): Could not Open the Port"; err_has "No such file"
absent "$T/com2.dat"
stop_radio com
# The language rule is the window's: "chinese" in any case, also with a comment after it.
for lang in "French=Rx Frequency" "Chinese ;x=Rx Frequency" "CHINESE=接收频率" "Chinese // note=接收频率"; do
  printf '[Setup]\nLanguage=%s\n' "${lang%%=*}" >"$T/prog/Program.ini"
  case_ "Language=${lang%%=*}" 0 "$T/prog/progtool" show "$SAMPLE"; out_has "${lang#*=}"
done
case_ "--lang en over a Chinese Program.ini" 0 "$T/prog/progtool" show "$SAMPLE" --lang en; out_has "Rx Frequency"
case_ "unknown device" 1 "$PT" write --port /dev/no-such-port "$SAMPLE"; err_has "/dev/no-such-port"

start_radio faulty --image "$SAMPLE" --fault short-reply@100
case_ "read with a short reply" 1 "$PT" read --port "$T/faulty" -o "$T/partial.dat"
err_has "Program Interrupt"; err_has "stopped after"
absent "$T/partial.dat"
stop_radio faulty
start_radio lossy --image "$SAMPLE" --fault lose-write@2
case_ "write --verify against a radio that loses a frame" 1 "$PT" write --port "$T/lossy" "$T/new.dat" --verify
err_has "verify: channel 1: Rx Frequency, Tx Frequency differs from $T/new.dat (0x0010-0x0017)"
err_has "verify failed: 1 differing item(s)"
stop_radio lossy
start_radio noack --fault wrong-ack@3
case_ "write with a wrong acknowledgement" 1 "$PT" write --port "$T/noack" "$SAMPLE"; err_has "Program Interrupt"
stop_radio noack

start_radio silent --fault silent
start=$(date +%s)
case_ "silent radio" 1 "$PT" read --port "$T/silent" -o "$T/silent.dat"
err_has "Communication Error"; err_has "15 handshake attempts"
absent "$T/silent.dat"
(( $(date +%s) - start < 30 )) || fail "the silent radio took too long"
case_ "silent radio, one retry" 1 "$PT" read --port "$T/silent" -o "$T/silent.dat" --retries 1
err_has "trying again"; err_has "30 handshake attempts"
stop_radio silent
case_ "simulate with a missing image" 1 "$PT" simulate --image "$T/missing.dat"; err_has "$T/missing.dat"

# ---- print ------------------------------------------------------------------
case_ "print" 0 "$PT" print "$SAMPLE" --pdf "$T/report.pdf"
[[ "$(head -c 4 "$T/report.pdf")" == "%PDF" ]] || fail "report is no PDF"
if command -v pdftotext >/dev/null; then
  pdftotext "$T/report.pdf" "$T/report.txt"
  grep -q "GMRS-R" "$T/report.txt" || fail "report lacks a channel name"
  grep -q "Page 1 of 3" "$T/report.txt" || fail "report lacks its footer"
else
  echo "note: pdftotext missing, report text not checked"
fi
case_ "print zh" 0 "$PT" print "$SAMPLE" --pdf "$T/report-zh.pdf" --lang zh
# The footer names the owner from the branding section of the language printed
# in; a Program.ini saved on Chinese Windows holds it in GB18030 ("唐纳格").
printf '[Setup]\nLanguage=English\n[English]\nCopyrights Owner=Owner Ltd\n[Chinese]\nCopyrights Owner=\314\306\304\311\270\361\n' \
  >"$T/prog/Program.ini"
for owner in "en=Owner Ltd" "zh=唐纳格"; do
  case_ "print --lang ${owner%%=*} with an owner" 0 "$T/prog/progtool" print "$SAMPLE" --pdf "$T/owner.pdf" \
    --lang "${owner%%=*}"
  if command -v pdftotext >/dev/null; then
    pdftotext "$T/owner.pdf" - | grep -qF "${owner#*=}" || fail "the footer lacks \"${owner#*=}\""
  fi
done
case_ "print missing file" 1 "$PT" print "$T/missing.dat" --pdf "$T/x.pdf"; err_has "$T/missing.dat"
absent "$T/x.pdf"
case_ "print into a missing directory" 1 "$PT" print "$SAMPLE" --pdf "$T/nodir/r.pdf"; err_has "nodir"
case_ "print without --pdf" 2 "$PT" print "$SAMPLE"

echo "cli tests: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
