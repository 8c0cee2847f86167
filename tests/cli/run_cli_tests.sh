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

# shellcheck source=tests/support/cases.sh
source "$(dirname "$0")/../support/cases.sh"

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

# Another program holding a port: hold_port PATH; its PID is $holder once it holds it
# (polled: on a loaded machine flock may take longer than any fixed pause).
hold_port() {
  flock "$1" sleep 30 &
  holder=$!
  for _ in $(seq 100); do flock -n "$1" true || return 0; sleep 0.1; done
  fail "flock did not take $1"
}

# ---- help and usage -------------------------------------------------------
case_ "tool help" 0 "$PT" --help; out_has "usage: progtool COMMAND"
for c in new show options export import stock read write print simulate ports trace diff; do
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
case_ "--version" 0 "$PT" --version; out_has "progtool 1."
for c in read write; do
  case_ "$c --help names --trace" 0 "$PT" $c --help; out_has "  --trace FILE"
done
case_ "read --help names --no-backup and the backups folder" 0 "$PT" read --help
out_has "  --no-backup"; out_has "tr5-programmer/backups"

# Every command's usage errors under --lang zh: the message in Chinese, then one
# line pointing to the command's help (never the whole usage). S is the sample.
while read -r -u 3 cmd args; do
  # shellcheck disable=SC2086
  case_ "$cmd $args --lang zh" 2 "$PT" "$cmd" ${args//S/$SAMPLE} --lang zh
  python3 - "$T/err" "$cmd" <<'PY' || fail "not told in Chinese with one line to its help: $(head -3 "$T/err")"
import re, sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
assert len(lines) == 2 and lines[0].startswith("progtool: "), lines
assert re.search("[\u4e00-\u9fff]", lines[0].split(": ", 2)[-1]), lines[0]
assert lines[1] == '用法见 "progtool %s --help"' % sys.argv[2], lines[1]
PY
done 3<<'TABLE'
new
new a.dat b.dat
show S --csv --json
options S --set nokey
options S --set squelch=99
options S --set name=ab~
options S -o x.dat
export S --format xml
export S --power volts
export S --power watts
import x.csv
import --stock nosuch x.dat
import x.csv y.dat --renumber 300
stock extra
read -o x.dat
read --port COM1
read --port COM1 -o x.dat --retries many
read --port COM1 --port COM1 -o out/
read --ports all,COM2 -o out/
read --port COM1 --port COM2 -o out/ --quiet --progress=json
read --port COM1 --port COM2 --watch -o out/
write S
write --port COM1 S --retries=-1
print S
simulate --fault lightning
simulate --fault drop
ports --bogus
trace
doctor --timeout 5
doctor --find --port COM1
doctor --find --trace t.trace
doctor --port=
diff S
diff S --port COM1 --port COM2
audit --port COM1
audit --plan S --port COM1 --reconcile some
support-report --output=
TABLE
case_ "an unknown command --lang zh" 2 "$PT" frobnicate --lang zh; err_has "未知命令 \"frobnicate\""
# What a command finds wrong with a file, in Chinese too.
: >"$T/empty.trace"
case_ "trace: an empty file --lang zh" 1 "$PT" trace "$T/empty.trace" --lang zh; err_has "文件为空"
case_ "show: a missing file --lang zh" 1 "$PT" show "$T/missing.dat" --lang zh; err_has "无法打开 \"$T/missing.dat\""
head -c 100 "$SAMPLE" >"$T/short.dat"
case_ "write: a short file --lang zh" 1 "$PT" write --port COM1 "$T/short.dat" --lang zh; err_has "太短: 100 字节"
case_ "new over a folder --lang zh" 1 "$PT" new "$T" --force --lang zh; err_has "它是一个目录"

# ---- completion: what Tab offers is what the command takes -----------------------
complete_() {  # complete_ WORDS...: what Tab offers after the last word
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _progtool; echo "${COMPREPLY[*]}"' \
    _ "$SRC/packaging/progtool.bash-completion" "$@"
}
mkdir -p "$T/probe"
pt=$(realpath "$PT")
for c in $(complete_ "$PT" ''); do
  [[ $c == -* ]] && continue
  current="completion of $c"
  opts=$(complete_ "$PT" "$c" -)
  [[ -n $opts ]] || fail "no options offered"
  # Every option the help lists (what the parser takes: cli_options) is offered.
  for o in $("$PT" "$c" --help | grep -oE -- '^  --?[a-zA-Z][a-zA-Z0-9-]*'); do
    [[ " $opts " == *" $o "* ]] || fail "does not offer $o, which $c --help lists"
  done
  for o in $opts; do
    [[ $o == --help ]] && continue
    (cd "$T/probe" && timeout 3 "$pt" "$c" "$o" </dev/null >/dev/null 2>"$T/probe.err")
    grep -qF "unknown option $o" "$T/probe.err" && fail "offers $o, which $c does not take"
    values=$(complete_ "$PT" "$c" "$o" '')
    [[ " $values " =~ \ [A-Z]+\  ]] && fail "offers the placeholder \"${BASH_REMATCH[0]}\" after $o"
  done
  passed=$((passed + 1))
done
[[ $(complete_ "$PT" read --ports '') == all ]] || fail "read --ports offers \"$(complete_ "$PT" read --ports '')\""
[[ $(complete_ "$PT" audit --reconcile '') == "channels all" ]] || fail "audit --reconcile offers \"$(complete_ "$PT" audit --reconcile '')\""

# ---- JSON documents carry the facts of the text -----------------------------
# json_check FILE PYTHON: runs PYTHON with d = the parsed JSON of FILE and
# txt = $T/txt; an assertion that fails names the case.
json_check() {
  python3 - "$1" "$T/txt" <<PY || fail "JSON check"
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
txt = open(sys.argv[2], encoding="utf-8").read()
assert d["schema"] == 1, d.get("schema")
$2
PY
}
for lang in en zh; do
  "$PT" show "$SAMPLE" --csv --lang $lang >"$T/txt"
  case_ "show --json $lang" 0 "$PT" show "$SAMPLE" --json --lang $lang
  json_check "$T/out" '
import csv, io
rows = {r[0].strip(): r for r in csv.reader(io.StringIO(txt)) if r and r[1]}
used = [c for c in d["channels"]]
assert d["channels_used"] == len(used) == len(rows) - 1, (d["channels_used"], len(rows))
keys = [c["key"] for c in d["columns"]]
for ch in used:
    assert [ch[k] for k in keys] == rows[ch["channel"]][1:], ch
assert [c["heading"] for c in d["columns"]] == rows[list(rows)[0]][1:]
assert (d["ranges"]["vhf"]["low"], d["type"]["name"], d["band"]["name"]) == (130, "TR-5V", "136-174MHz")'
  "$PT" options "$SAMPLE" --lang $lang >"$T/txt"
  case_ "options --json $lang" 0 "$PT" options "$SAMPLE" --json --lang $lang
  json_check "$T/out" '
assert ["%s: %s" % (o["label"], o["value"]) for o in d["options"]] == txt.splitlines(), d["options"]
assert d["saved"] is False'
done
case_ "show --csv --json" 2 "$PT" show "$SAMPLE" --csv --json

# ---- diff ---------------------------------------------------------------------
# B differs from the sample in channel 1's Rx frequency (147.33 -> 147.34), the
# squelch level, the VHF edit range (130-180 -> 136-174) and a byte no rule reads.
cp "$SAMPLE" "$T/b.dat"
"$PT" options "$T/b.dat" --set squelch=7 >/dev/null
printf '\x40' | dd of="$T/b.dat" bs=1 seek=$((0x11)) conv=notrunc status=none
printf '\x63' | dd of="$T/b.dat" bs=1 seek=$((0x1FF2)) conv=notrunc status=none
printf '\x11' | dd of="$T/b.dat" bs=1 seek=$((0x1500)) conv=notrunc status=none
case_ "diff equal" 0 "$PT" diff "$SAMPLE" "$SAMPLE"; out_has "the images are equal"
case_ "diff" 1 "$PT" diff "$SAMPLE" "$T/b.dat"
cp "$T/out" "$T/txt"
out_has "VHF: 130 - 180 -> 136 - 174"
out_has "Channel 1 changed: Rx Frequency 147.33000 -> 147.34000"
out_has "Option Squelch Level: 3 -> 7"
out_has "Bytes 0x1500: FF -> 11"
out_has "4 difference(s)"
grep -q UHF "$T/out" && fail "an equal UHF range is listed"
case_ "diff --json" 1 "$PT" diff "$SAMPLE" "$T/b.dat" --json
json_check "$T/out" '
assert d["equal"] is False and d["differences"] == 4 and d["model"] is None
assert d["ranges"] == [{"band": "VHF", "a": {"low": 130, "high": 180}, "b": {"low": 136, "high": 174}}]
[ch] = d["channels"]
assert (ch["channel"], ch["change"], ch["cells"]) == ("1", "changed", [{"column": "rx_frequency", "heading": "Rx Frequency", "a": "147.33000", "b": "147.34000"}])
assert [(o["key"], o["label"], o["a"], o["b"]) for o in d["options"]] == [("squelch", "Squelch Level", "3", "7")]
assert [(b["range"], b["a"], b["b"]) for b in d["bytes"]] == [("0x1500", "FF", "11")]
for line in ("%s: %s -> %s" % (d["options"][0]["label"], "3", "7"), "Bytes %s: FF -> 11" % d["bytes"][0]["range"]):
    assert line in txt, line'
case_ "diff --lang zh" 1 "$PT" diff "$SAMPLE" "$T/b.dat" --lang zh
out_has "信道 1 修改: 接收频率 147.33000 -> 147.34000"; out_has "选项 静噪电平: 3 -> 7"
case_ "diff missing file" 2 "$PT" diff "$SAMPLE" "$T/missing.dat"; err_has "$T/missing.dat"
case_ "diff one file" 2 "$PT" diff "$SAMPLE"; err_has "B.dat"
# Product Information's band record set where the sample has none, and a name
# byte that is no name code: the same differences, turned round, either way.
cp "$SAMPLE" "$T/rec.dat"
printf '\x13\x17\x63' | dd of="$T/rec.dat" bs=1 seek=$((0x0FF0)) conv=notrunc status=none
printf '\x55' | dd of="$T/rec.dat" bs=1 seek=$((0x0CF2)) conv=notrunc status=none
case_ "diff names an erased band record" 1 "$PT" diff "$SAMPLE" "$T/rec.dat"
out_has "Band record: none -> 136-174MHz"; cp "$T/out" "$T/ab"
case_ "diff the other way round" 1 "$PT" diff "$T/rec.dat" "$SAMPLE"
out_has "Band record: 136-174MHz -> none"
[[ $(tail -1 "$T/ab") == $(tail -1 "$T/out") ]] || fail "$(tail -1 "$T/ab") one way, $(tail -1 "$T/out") the other"

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
case_ "options --set help=" 0 "$PT" options "$T/opt.dat" --set help=
[[ $(grep -c '^  [a-z-]* ' "$T/out") -eq 19 ]] || fail "--set help= lists $(grep -c '^  [a-z-]* ' "$T/out") keys"
out_has "squelch            Squelch Level      0 to 9"; out_has "call-tone          Call Tone          Off, 1 to 8, 1750"
out_has "name               Power-on Name      up to 6 characters of 0-9, A-Z, - and _"
same_file "$T/opt.dat" "$T/opt-before.dat"
for bad in "AB,CD" "ÄB" $'A\x1b[2J'; do
  case_ "options --set name=$bad" 2 "$PT" options "$T/opt.dat" --set "name=$bad"; err_has "cannot hold"
  grep -q $'\x1b' "$T/err" && fail "a raw ESC reaches the terminal"
  same_file "$T/opt.dat" "$T/opt-before.dat"
done

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
err_has "bad.csv:4: rejected: Rx Frequency \"146.00650\": Error data Value, please input according the step value(6.25K/5k). Nearest accepted: 146.00625 or 146.00750 MHz."
err_has "bad.csv:5: rejected: CTCSS tone \"99.9\""
err_has "bad.csv:6: rejected: expected 9 fields, found 3"
err_has "bad.csv:7: rejected: Pr was already given on line 2"
err_has "bad.csv:8: rejected: Frequency \"146.94000Q\" is not a frequency: give megahertz with up to five decimals"
err_has "bad.csv:2: changed: name \"good\" is stored as \"GOOD\""
err_has "target.dat is unchanged"
same_file "$T/target.dat" "$SAMPLE"
case_ "import --skip-bad" 0 "$PT" import "$T/bad.csv" "$T/target.dat" --format chirp --skip-bad --force
out_has "imported 1 channel(s)"; out_has "6 rejected row(s) left out"
"$PT" show "$T/target.dat" >"$T/out"; out_has "1 channels used"; out_has "GOOD"
printf 'CH,Rx Frequency\n"Pr,146.52\n' >"$T/broken.csv"
case_ "import broken quoting" 1 "$PT" import "$T/broken.csv" "$T/target.dat"; err_has "broken.csv: line 2"
printf 'Pr,146.52\n' >"$T/nohead.csv"
case_ "import grid without headings" 1 "$PT" import "$T/nohead.csv" "$T/target.dat"; err_has "line 1"
# Files that would wipe the radio by mistake, and headings that cannot be told apart.
cp "$SAMPLE" "$T/keep14.dat"
printf 'Location,Name,Frequency\r\n' >"$T/cut.csv"
printf 'Location,Frequency\n0,146.52\n' >"$T/one.csv"
printf 'Location,Frequency,Name,FREQUENCY\n0,146.52,A,146.52\n' >"$T/twice.csv"
printf 'Name,Frequency\nA,146.52\n' >"$T/noloc.csv"
while IFS='|' read -r name want args expect; do
  case_ "$name" "$want" "$PT" import $args "$T/keep14.dat"; err_has "$expect"
  same_file "$T/keep14.dat" "$SAMPLE"
done <<EOF
import headings only|1|$T/cut.csv|the file holds the headings but no channel rows
import headings only, merged|0|$T/cut.csv --merge|imported  0
import emptying 13 of 14 channels|1|$T/one.csv|the import would empty 13 of the 14 channels in use (the file gives 1); $T/keep14.dat is unchanged (--force
import a heading given twice|1|$T/twice.csv|the heading "FREQUENCY" is given twice (columns 2 and 4)
import a channel list without Location|1|$T/noloc.csv|the header has no Location column
EOF
grep -q "grid headings" "$T/err" && fail "a channel list is told it is no grid"
case_ "import emptying most channels --force" 0 "$PT" import "$T/one.csv" "$T/keep14.dat" --force
"$PT" show "$T/keep14.dat" >"$T/out"; out_has "1 channels used"
case_ "import missing csv" 1 "$PT" import "$T/none.csv" "$T/target.dat"; err_has "$T/none.csv"
case_ "import into a missing file" 1 "$PT" import "$T/s-grid.csv" "$T/missing.dat"; err_has "$T/missing.dat"
case_ "import into a short file" 1 "$PT" import "$T/s-grid.csv" "$T/short.dat"; err_has "$T/short.dat"

# ---- import: channel lists as clubs and other programs publish them -------------
D="$SRC/tests/data/csv"
cp "$T/new.dat" "$T/club.dat"
case_ "club list as it is" 1 "$PT" import "$D/club-legacy.csv" "$T/club.dat" --format chirp
err_has "club-legacy.csv:17: rejected: Location \"400\" is not 0 to 199"
err_has "  refused   10: 10 location outside 0-199"
same_file "$T/club.dat" "$T/new.dat"
case_ "a channel list without --format" 1 "$PT" import "$D/club-legacy.csv" "$T/club.dat"
err_has "club-legacy.csv:17: rejected: Location \"400\" is not 0 to 199"
case_ "club list renumbered" 0 "$PT" import "$D/club-legacy.csv" "$T/club.dat" --format chirp --renumber --skip-bad
err_has "  imported  12"; err_has "  refused   4: 4 outside the radio's bands"
err_has "  renumbered: 12 row(s) on channels 1 to 12, in file order"; out_has "imported 12 channel(s)"
case_ "merged from channel 20" 0 "$PT" import "$D/bom-crlf.csv" "$T/club.dat" --format chirp --renumber 20 --merge
"$PT" show "$T/club.dat" >"$T/out"; out_has "16 channels used"; out_has " 23  462.56250"
case_ "--renumber past 199" 2 "$PT" import "$D/bom-crlf.csv" "$T/club.dat" --format chirp --renumber=200
err_has "--renumber takes a channel 0 to 199"
case_ "watts mapped once" 0 "$PT" import "$D/current-export.csv" "$T/club.dat" --format chirp --skip-bad
err_has "  power: 5.0W -> High, 2.5W -> Middle, 0.5W -> Low"; err_has "  changed   14: 14 power mapped from watts"

# ---- stock lists: every list of res/stock, listed and imported by name -----------
case_ "stock" 0 "$PT" stock; out_has "marine-vhf"; cp "$T/out" "$T/txt"
case_ "stock --json" 0 "$PT" stock --json
json_check "$T/out" '
import os
names = sorted(f[:-4] for f in os.listdir(os.path.join("'"$SRC"'", "res", "stock")) if f.endswith(".csv"))
assert [l["name"] for l in d["lists"]] == names, [l["name"] for l in d["lists"]]
for l in d["lists"]:
    assert l["ok"] and l["channels"] > 0 and l["refused"] == 0 and l["fits"], l
    assert l["comments"][0] == l["title"] and any(c.startswith("Licence: ") for c in l["comments"]), l["name"]
    assert "  %-18s %-4d %-14s %s" % (l["name"], l["channels"], ", ".join(l["fits"]), l["title"]) in txt, l["name"]
assert {l["name"]: l["receive_only"] == l["channels"] for l in d["lists"]}["noaa-weather"]'
cp "$T/new.dat" "$T/stock.dat"
case_ "import --stock" 0 "$PT" import --stock noaa-weather "$T/stock.dat"
out_has "imported 7 channel(s)"; err_has "noaa-weather: Licence: broadcasts for listening only"
"$PT" show "$T/stock.dat" >"$T/out"; out_has "  1  162.55000                   None"; out_has "7 channels used"
# A list made for the other radio type is refused as the window refuses it; --force takes it.
cp "$T/stock.dat" "$T/stock-before.dat"
case_ "import --stock for the other radio type" 1 "$PT" import --stock pmr446 "$T/stock.dat" --merge
err_has "pmr446 does not fit this radio type: 16 of its 16 channels lie outside the bands of the TR-5V"
same_file "$T/stock.dat" "$T/stock-before.dat"
case_ "import --stock takes import's options" 0 "$PT" import --stock pmr446 "$T/stock.dat" --merge --renumber 50 --force
"$PT" show "$T/stock.dat" >"$T/out"; out_has " 50  446.00625"; out_has "23 channels used"
cp "$T/stock.dat" "$T/stock-before.dat"
for bad in nope ../stock/pmr446 "$SRC/res/stock/pmr446.csv" ""; do
  case_ "import --stock \"$bad\"" 2 "$PT" import --stock "$bad" "$T/stock.dat"
  err_has "no stock list \"$bad\"; the lists are: frs-gmrs, ham-2m-arrl,"
done
case_ "import --stock with an IN.csv as well" 2 "$PT" import --stock pmr446 "$T/s-chirp.csv" "$T/stock.dat"
same_file "$T/stock.dat" "$T/stock-before.dat"
# A progtool without its stock folder says where it looked.
mkdir -p "$T/lone" && cp "$PT" "$T/lone/progtool"
case_ "stock without its folder" 1 "$T/lone/progtool" stock
err_has "no stock lists in $T/lib/tr5-programmer/stock (nor a folder \"stock\" beside progtool in $T/lone)"
case_ "stock --json without its folder" 1 "$T/lone/progtool" stock --json
json_check "$T/out" 'assert d["ok"] is False and "no stock lists" in d["error"], d'
case_ "export --power watts" 0 "$PT" export "$T/club.dat" --format chirp --power watts -o "$T/watts.csv"
grep -q ',2.0W,,' "$T/watts.csv" || fail "no 2.0W in the watts export"
cp "$T/new.dat" "$T/watts.dat"
case_ "import the watts export" 0 "$PT" import "$T/watts.csv" "$T/watts.dat" --format chirp
cmp -s <("$PT" export "$T/watts.dat" --format chirp) <("$PT" export "$T/club.dat" --format chirp) ||
  fail "the watts export does not import as the same channels"
case_ "--power with the grid layout" 2 "$PT" export "$T/club.dat" --power watts; err_has "--format chirp"

# Escape sequences in a CSV are shown escaped, never sent to the terminal.
printf 'Location,Name,Frequency\n0,A\033[31mB\302\233,146.52\n1,\377,146.52\n' >"$T/esc.csv"
case_ "import notes escape control bytes" 0 "$PT" import "$T/esc.csv" "$T/target.dat" --format chirp
err_has 'name "A\x1b[31mB\xc2\x9b" is stored as "A"'; err_has 'name "\xff" is stored as ""'
LC_ALL=C grep -q $'[\x1b\x9b\xff]' "$T/err" && fail "raw control bytes reach the terminal"

# Edit ranges a file may carry (VHF 0-1065 MHz) do not let in what a record cannot hold.
cp "$T/new.dat" "$T/wide.dat"
printf '\x00\xa6\x04' | dd of="$T/wide.dat" bs=1 seek=$((0x1FF0)) conv=notrunc status=none
printf ',Rx Frequency,Tx Frequency,Rx Tone,Tx Tone,Power,Cha Lock,Scan Add,Bandwidth,Cha Name\nPr,0,,,,,,,,\n1,5,,,,,,,,\n2,1000,,,,,,,,\n3,999.9975,9.9975,,,,,,,\n4,999.9975,,,,,,,,-AB\n' >"$T/wide.csv"
case_ "import refuses what a record cannot hold" 1 "$PT" import "$T/wide.csv" "$T/wide.dat"
for line in 2 3 4 5; do err_has "wide.csv:$line: rejected:"; done
err_has "a channel holds only 10.00000 to 999.99999 MHz"
case_ "import the storable rows" 0 "$PT" import "$T/wide.csv" "$T/wide.dat" --skip-bad; out_has "imported 1 channel(s)"
# Its own export, in both layouts, imports back to the same file.
for fmt in grid chirp; do
  "$PT" export "$T/wide.dat" --format $fmt -o "$T/wide-$fmt.csv"
  grep -q "'-AB" "$T/wide-$fmt.csv" || fail "$fmt export leaves \"-AB\" to be read as a formula"
  cp "$T/new.dat" "$T/wide-$fmt.dat"; printf '\x00\xa6\x04' | dd of="$T/wide-$fmt.dat" bs=1 seek=$((0x1FF0)) conv=notrunc status=none
  case_ "re-import own $fmt export" 0 "$PT" import "$T/wide-$fmt.csv" "$T/wide-$fmt.dat" --format $fmt
  same_file "$T/wide-$fmt.dat" "$T/wide.dat"
done

# ---- records read as they are, kept by what leaves them alone ---------------------
# Rx digits reading 1000 MHz and more, odd nibbles, power bits 11, an empty
# record with stray bytes and a hidden name.
cp "$T/new.dat" "$T/odd.dat"
put_odd() { printf "$2" | dd of="$T/odd.dat" bs=1 seek=$(($1)) conv=notrunc status=none; }
put_odd 0x00 '\x51\x43\x97\xfe\x00\x00\xa0\x99\x70\x06\x23\x80\x2e\x01\x02\x03'
put_odd 0x10 '\x00\x0a\x50\x14\xab\x00\x50\x14\xab\x12\xab\x80\xfd\xff\xff\xff'
put_odd 0x20 '\x00\x25\x51\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c'
put_odd 0xCA0 '\x0a\x0b\xff\xff\xff\xff\xff\xff\x0a\x25\x0b\xff\xff\xff\xff\xff\x0a\x0b\x0c'
channels_of() { head -c $((0x12E0)) "$1"; }
case_ "show reads records as they are" 0 "$PT" show "$T/odd.dat"
out_has "Pr   1649.74351    1000.00000    67.0"; out_has "145.01000     145.00111     131.1    D0111N"
out_has "2 channels used"
cp "$T/odd.dat" "$T/odd-opt.dat"
case_ "options --set keeps every channel byte" 0 "$PT" options "$T/odd-opt.dat" --set squelch=3
cmp -s <(channels_of "$T/odd-opt.dat") <(channels_of "$T/odd.dat") || fail "options --set changed the channels"
printf ',Rx Frequency,Tx Frequency,Rx Tone,Tx Tone,Power,Cha Lock,Scan Add,Bandwidth,Cha Name\n5,146.52,146.52,None,None,High,Lock,Yes,Wide,NEW\n' >"$T/one.csv"
cp "$T/odd.dat" "$T/odd-merge.dat"
case_ "import --merge keeps the rows it does not name" 0 "$PT" import "$T/one.csv" "$T/odd-merge.dat" --merge
cmp -s <(head -c $((0x50)) "$T/odd-merge.dat") <(head -c $((0x50)) "$T/odd.dat") || fail "import --merge changed records 0-4"
cmp -s <(channels_of "$T/odd-merge.dat" | tail -c +$((0xCA1)) | head -c 40) <(channels_of "$T/odd.dat" | tail -c +$((0xCA1)) | head -c 40) ||
  fail "import --merge changed names 0-4"
"$PT" show "$T/odd-merge.dat" >"$T/out"; out_has "3 channels used"; out_has "146.52000"
# Six runs changing one file at once: each holds it from its read to its save, none loses its change.
cp "$SAMPLE" "$T/par.dat"; par=()
for k in led=off step=5k name=ABC squelch=7 busy=off beep=off; do "$PT" options "$T/par.dat" --set $k >/dev/null & par+=($!); done
wait "${par[@]}"
case_ "six options --set at once" 0 "$PT" options "$T/par.dat"
for want in "LED: Off" "Step: 5k" "Power-on Name: ABC" "Squelch Level: 7" "Busy: Off" "Beep: Off"; do out_has "$want"; done
# A list saved with another separator or in UTF-16 is told as such, whatever the layout asked for.
printf 'Location;Name;Frequency\n1;A;145,5\n' >"$T/semi.csv"
printf '\xff\xfeL\x00o\x00c\x00,\x00' >"$T/u16.csv"
for f in "semi.csv uses ';' between fields; save it with commas" "u16.csv is UTF-16; save it as UTF-8"; do
  for fmt in "" "--format chirp"; do
    # shellcheck disable=SC2086
    case_ "import ${f%% *} $fmt" 1 "$PT" import "$T/${f%% *}" "$T/new.dat" $fmt; err_has "$T/$f"
  done
done
# File and port names reach the terminal escaped.
esc="$T/"$'\e[31mred'
case_ "show escapes the file name" 1 "$PT" show "$esc.dat"; err_has "$T/\\x1b[31mred.dat"
case_ "read escapes the port name" 1 "$PT" read --port "$esc" -o "$T/esc.dat"; err_has "$T/\\x1b[31mred:"
LC_ALL=C grep -q $'\x1b' "$T/err" && fail "raw control bytes reach the terminal"

# ---- transfers ------------------------------------------------------------------
start_radio radio --image "$SAMPLE" --save "$T/radio-saved.dat"
grep -q '^/dev/' "$T/radio.out" || fail "simulate does not print the device path"
case_ "read" 0 "$PT" read --port "$T/radio" -o "$T/read.dat" --trace "$T/read.trace"
same_file "$T/read.dat" "$SAMPLE"
backups=("$XDG_DATA_HOME"/tr5-programmer/backups/*-radio.dat)
[[ ${#backups[@]} -eq 1 ]] || fail "backups: ${backups[*]}"
same_file "${backups[0]}" "$SAMPLE"
case_ "decode the read's trace" 0 "$PT" trace "$T/read.trace"
out_has "1 entry code(s), 1024 read request(s), 1024 read reply(ies), 0 write frame(s), 0 unexpected"
out_has "read request 0x0108, 8 bytes"
case_ "read --no-backup" 0 "$PT" read --port "$T/radio" -o "$T/read2.dat" --no-backup
[[ $(ls "$XDG_DATA_HOME"/tr5-programmer/backups/*.dat | wc -l) -eq 1 ]] || fail "--no-backup kept a backup"
# A backup that could not be kept fails the run; the read's own file is saved all the same.
case_ "read with a backup folder that cannot be made" 1 env XDG_DATA_HOME="$SAMPLE" "$PT" read --port "$T/radio" -o "$T/read3.dat"
err_has "the backup in $SAMPLE/tr5-programmer/backups failed"; err_has "Not a directory"
err_has "the read is saved in $T/read3.dat, but no backup of it was kept"
same_file "$T/read3.dat" "$SAMPLE"
case_ "read --json with a backup that fails" 1 env XDG_DATA_HOME="$SAMPLE" "$PT" read --port "$T/radio" -o "$T/read3j.dat" --json
json_check "$T/out" 'r = d["radios"][0]
assert d["ok"] is False and r["output"].endswith("read3j.dat") and r["backup"] is None, d
assert (d["exit_status"], d["error"]) == (1, "1 backup(s) not kept"), d
assert "Not a directory" in r["backup_error"], r'
same_file "$T/read3j.dat" "$SAMPLE"
case_ "read --json names its backup" 0 "$PT" read --port "$T/radio" -o "$T/read3k.dat" --json
json_check "$T/out" 'import filecmp, os; b = d["radios"][0]["backup"]
assert d["ok"] and b.endswith("-radio.dat") and filecmp.cmp(b, os.path.dirname(sys.argv[1]) + "/read3k.dat"), d
assert (d["exit_status"], d["error"]) == (0, None), d'
# A trace goes to a regular file or /dev/null, never into the radio's own port or another device.
for t in "$T/radio" "$(readlink "$T/radio")" /dev/zero "$T"; do
  case_ "read --trace $t" 1 "$PT" read --port "$T/radio" -o "$T/read6.dat" --trace "$t" --no-backup
  err_has "--trace \"$t\" is"; err_has "a regular file (new, or existing and writable) or /dev/null"; absent "$T/read6.dat"
done
# A trace replaces only text: never a radio image someone named by mistake.
cp "$SAMPLE" "$T/keep.dat"
case_ "read --trace over an image" 1 "$PT" read --port "$T/radio" -o "$T/read7.dat" --trace "$T/keep.dat" --no-backup
err_has "holds other content than a serial trace"; same_file "$T/keep.dat" "$SAMPLE"; absent "$T/read7.dat"
# An output that is no radio image is replaced only with --force; "-" is no file name here.
printf 'Location,Name\n' >"$T/notes.csv"
case_ "read over a CSV" 1 "$PT" read --port "$T/radio" -o "$T/notes.csv" --no-backup; err_has "--force replaces it"
grep -qx 'Location,Name' "$T/notes.csv" || fail "read replaced the CSV"
for c in "read --port $T/radio -o -" "options $SAMPLE --set squelch=2 -o -" "new -" "print $SAMPLE --pdf -" \
  "simulate --save -"; do
  # shellcheck disable=SC2086
  case_ "${c%% -*} with -" 2 env -C "$T" "$PT" $c; err_has '"-" stands for standard output only with export -o -'
  absent "$T/-"
done
case_ "trace file that cannot be written" 1 "$PT" read --port "$T/radio" -o "$T/read4.dat" --trace "$T/nodir/t.trace"
err_has "$T/nodir/t.trace"; err_has "nothing was sent"
absent "$T/read4.dat"
printf '0.1 > 02\nnonsense\n' >"$T/bad.trace"
case_ "decode a broken trace" 1 "$PT" trace "$T/bad.trace"; err_has "$T/bad.trace: line 2"
# One long line is quoted in part: 200 characters, escaped.
{ printf '0.1 > 02\n\033'; head -c 100000 /dev/zero | tr '\0' x; printf '\n'; } >"$T/long.trace"
case_ "decode a trace with a long line" 1 "$PT" trace "$T/long.trace"
err_has ': "\x1bxxx'; err_has 'xxx"... (100001 characters in all)'
(( $(wc -c <"$T/err") < 400 )) || fail "a long trace line floods the message: $(wc -c <"$T/err") bytes"
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
# A lost trace fails the command; the transfer's own result is still told and kept.
# (a file limit of 16 kB, with SIGXFSZ ignored, fills up as a disk would)
full() { sh -c 'trap "" XFSZ; ulimit -f 16; exec "$0" "$@"' "$@"; }
case_ "a trace that cannot be written" 1 full "$PT" read --port "$T/radio" -o "$T/read5.dat" --trace "$T/t5" --no-backup
err_has "read the radio's memory on"; err_has "$T/t5: the serial trace could not be written"
cmp -s <(head -c $((0x1FF6)) "$T/read5.dat") <(head -c $((0x1FF6)) "$T/tail.dat") || fail "the read was not saved"
cp "$T/tail.dat" "$T/keep.dat"
case_ "a trace over the image it writes" 1 "$PT" write --port "$T/radio" "$T/keep.dat" --trace "$T/keep.dat"
same_file "$T/keep.dat" "$T/tail.dat"
case_ "write /dev/zero" 1 "$PT" write --port "$T/radio" /dev/zero; err_has "not a regular file"
# A file longer than an image is sent only with --force, and then its first 8192 bytes.
(cat "$T/tail.dat"; printf 'more') >"$T/long.dat"
case_ "write a longer file" 1 "$PT" write --port "$T/radio" "$T/long.dat"; err_has "probably not a radio image"
case_ "write --force a longer file" 0 "$PT" write --port "$T/radio" "$T/long.dat" --force --verify
err_has "is 8196 bytes long"; out_has "verify: 0x0000-0x1FF5 match"
case_ "diff with two ports" 2 "$PT" diff "$T/long.dat" --port "$T/radio" --port "$T/nothing"
err_has "give --port once"
# Output nobody reads does not stop a transfer: it finishes, exit status 3.
case_ "write with stderr full" 3 sh -c '"$0" "$@" 2>/dev/full' "$PT" write --port "$T/radio" "$T/tail.dat" --verify
out_has "verify: 0x0000-0x1FF5 match"
stop_radio radio
cmp -s <(head -c $((0x1FF6)) "$T/radio-saved.dat") <(head -c $((0x1FF6)) "$T/towrite.dat") || fail "radio memory after write"

# The COM names go through [Ports] of the Program.ini beside the program.
mkdir "$T/prog"
cp "$PT" "$T/prog/progtool"
start_radio com
printf '[Setup]\nLanguage=English\n[Ports]\nCOM1=%s\nCOM2=%s\nCOM3=%s\n' "$T/com" "$T/nothing" "$T/prog" >"$T/prog/Program.ini"
# The devices present come from a prepared tree: an adapter on the radio's line.
mkdir -p "$T/root/dev"
ln -s "$T/com" "$T/root/dev/ttyUSB0"
ln -s "$T/nothing" "$T/root/dev/ttyACM3"
cp "$T/prog/Program.ini" "$T/ini.before"
case_ "support-report -o the Program.ini it quotes" 1 "$T/prog/progtool" support-report -o "$T/prog/Program.ini" --force
err_has "$T/prog/Program.ini"; same_file "$T/prog/Program.ini" "$T/ini.before"
case_ "ports" 0 env PROG_DEVICE_ROOT="$T/root" "$T/prog/progtool" ports
grep -q "^COM1  $T/com .*can be opened" "$T/out" || fail "COM1 line: $(head -1 "$T/out")"
grep -q "^COM2  $T/nothing .*cannot be opened: .*No such file" "$T/out" || fail "COM2 line"
[[ $(grep "^COM3" "$T/out" | grep -o "Is a directory" | wc -l) -eq 1 ]] || fail "COM3 line: $(grep "^COM3" "$T/out")"
[[ $(grep -c "^COM" "$T/out") -eq 4 ]] || fail "ports lists $(grep -c "^COM" "$T/out") COM lines"
grep -q "^$T/root/dev/ttyUSB0  ttyUSB .*can be opened" "$T/out" || fail "ttyUSB0 line"
grep -q "^$T/root/dev/ttyACM3  ttyACM .*missing" "$T/out" || fail "ttyACM3 line"
cp "$T/out" "$T/txt"
case_ "ports --json" 0 env PROG_DEVICE_ROOT="$T/root" "$T/prog/progtool" ports --json
json_check "$T/out" '
lines = txt.splitlines()
for c, line in zip(d["com"], lines):
    assert line.startswith(c["name"] + "  " + c["device"]) and (("can be opened" in line) == c["openable"]), (c, line)
    assert c["openable"] or c["reason"] in line, c
assert [c["openable"] for c in d["com"]][:2] == [True, False]
assert all(set(x) >= {"path", "kind", "description", "openable", "reason"} for x in d["devices"])
assert [(x["kind"], x["state"]) for x in d["devices"]] == [("ttyUSB", "openable"), ("ttyACM", "missing")], d["devices"]'
case_ "read through COM1" 0 "$T/prog/progtool" read --port COM1 -o "$T/com1.dat"
case_ "unknown port" 1 "$T/prog/progtool" read --port COM2 -o "$T/com2.dat"
err_has "COM2 ($T/nothing): Could not Open the Port"; err_has "No such file"
absent "$T/com2.dat"
for cmd in "write --port COM5 $SAMPLE" "write --port COM12 --port COM1 $SAMPLE"; do
  # shellcheck disable=SC2086
  case_ "${cmd% *}: a COM name beyond the four" 1 env PROG_DEVICE_ROOT="$T/root" "$T/prog/progtool" $cmd
  err_has "only COM1 to COM4 are mapped (by [Ports] in Program.ini)"; err_has "serial devices present: $T/root/dev/ttyUSB0"
done
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
err_has "Program Interrupt"; err_has "stopped after 100 of 1024 frames"
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

start_radio diffradio --image "$SAMPLE"
case_ "diff against the radio, equal" 0 "$PT" diff "$SAMPLE" --port "$T/diffradio"; out_has "+++ the radio on $T/diffradio"
case_ "diff against the radio" 1 "$PT" diff "$T/b.dat" --port "$T/diffradio" --json
json_check "$T/out" 'assert d["b"] == {"port": "'"$T/diffradio"'", "device": "'"$T/diffradio"'"} and d["differences"] == 4'
stop_radio diffradio
case_ "diff against a missing port" 2 "$PT" diff "$SAMPLE" --port "$T/nothing"; err_has "$T/nothing"
# A port that cannot be opened is the doctor's to explain: each such failure names it.
for args in "read --port $T/nothing -o $T/n.dat" "write --port $T/nothing $SAMPLE" \
  "read --port $T/nothing --port $T/nothing2 -o $T/" "diff $SAMPLE --port $T/nothing"; do
  # shellcheck disable=SC2086
  case_ "$args names the doctor" "$([[ $args == diff* ]] && echo 2 || echo 1)" "$PT" $args
  err_has "$T/nothing"; err_has "; check the connection with: progtool doctor --port $T/nothing"
done

start_radio silent --fault silent
# Another program holding the port open without a lock is named (the simulated
# radio, the pseudo-terminal's other end, is not).
sleep 60 <"$T/silent" &
holder=$!
start=$(date +%s)
case_ "silent radio" 1 "$PT" read --port "$T/silent" -o "$T/silent.dat"
err_has "Communication Error"; err_has "15 handshake attempts); the port is in use by sleep (pid $holder)"
grep -q "in use by progtool" "$T/err" && fail "the simulated radio is taken for a program holding its port"
kill "$holder"; wait "$holder" 2>/dev/null
absent "$T/silent.dat"
(( $(date +%s) - start < 30 )) || fail "the silent radio took too long"
stop_radio silent
# The support report after it: the failed read and its kept trace, decoded;
# the home folder never named, no channel data unless a document is given.
case_ "support-report after a failed read" 0 env HOME="$T" "$PT" support-report
out_has "read  ~/silent  failed: Communication Error"; out_has 'entry code "TANAGR"'; out_has "15 entry code(s)"
out_has "progtool: ~/silent: Communication Error"
grep -qF "$T/" "$T/out" && fail "the report names the home folder"
grep -q "RPT-N" "$T/out" && fail "channel data without --include-document"
# A path typed with a doubled slash or a "..": still the home folder, hidden.
"$PT" show "$(dirname "$T")//$(basename "$T")/spelled.dat" >/dev/null 2>&1; "$PT" show "$T/../$(basename "$T")/dotted.dat" >/dev/null 2>&1
case_ "support-report hides the home folder however it is spelled" 0 env HOME="$T" "$PT" support-report
out_has '"~/spelled.dat"'; out_has '"~/dotted.dat"'
grep -qF "$(basename "$T")" "$T/out" && fail "the report names the home folder: $(grep -F "$(basename "$T")" "$T/out" | head -1)"
case_ "support-report with the document" 0 "$PT" support-report --include-document "$SAMPLE"
out_has "RPT-N"; out_has "1FF0  "
case_ "support-report -o" 0 "$PT" support-report -o "$T/report.txt"
out_has "support report written to $T/report.txt"; out_has "Serial ports"
grep -qF "== Last transfer ==" "$T/report.txt" || fail "the saved report lacks its sections"
cp "$T/report.txt" "$T/report.before"
case_ "support-report -o an existing file" 1 "$PT" support-report -o "$T/report.txt" --json
err_has "$T/report.txt exists; --force replaces it"; same_file "$T/report.txt" "$T/report.before"
json_check "$T/out" 'assert d["command"] == "support-report" and not d["ok"]'
case_ "support-report -o --force --json" 0 "$PT" support-report -o "$T/report.txt" --force --json
json_check "$T/out" 'assert d["output"] == "'"$T/report.txt"'" and [s["key"] for s in d["sections"]] == ["program", "settings", "ports", "transfer", "trace", "messages"]'
cp "$SAMPLE" "$T/doc.dat"
case_ "support-report -o its own document" 1 "$PT" support-report --include-document "$T/doc.dat" -o "$T/doc.dat" --force
err_has "$T/doc.dat"; same_file "$T/doc.dat" "$SAMPLE"
case_ "support-report a CSV as the document" 1 "$PT" support-report --include-document "$SRC/res/samples/sample-channels.csv"
err_has "sample-channels.csv: --include-document takes a radio image (FILE.dat)"
# A radio that fails the end of the handshake is asked once, and the message says so;
# --retries asks again, saying so.
start_radio nofinal --fault no-final-ack
case_ "radio without the closing acknowledgement" 1 "$PT" read --port "$T/nofinal" -o "$T/nofinal.dat" --retries 1
err_has "did not acknowledge the end of the handshake (1 handshake attempt); trying again (0 more series left)"
err_has "did not acknowledge the end of the handshake (2 handshake attempts)"
grep -q "15 handshake attempts" "$T/err" && fail "claims 15 attempts after one"
grep -q "in use by" "$T/err" && fail "a port nobody else holds is said to be in use"
stop_radio nofinal
# ---- many radios at once -------------------------------------------------------
# wait_for FILE TEXT [N]: until FILE holds TEXT on N lines (default 1; at most 20 s).
wait_for() {
  for _ in $(seq 200); do (( $(grep -cF -- "$2" "$1" 2>/dev/null) >= ${3:-1} )) && return 0; sleep 0.1; done
  fail "$1 never showed \"$2\" ${3:-1} time(s)"; return 1
}
same_written() { cmp -s <(head -c $((0x1FF6)) "$1") <(head -c $((0x1FF6)) "$2") || fail "$1 does not hold $2"; }
F="$T/towrite.dat"
start_radio pw --fault wrong-ack@3
case_ "a write cut short" 1 "$PT" write --port "$T/pw" "$F"; err_has "of 1023 frames; the radio is left partly written"
stop_radio pw
for n in 1 2 3; do start_radio "f$n" --save "$T/f$n.saved"; done
start_radio f4 --save "$T/f4.saved" --fault short-reply@100
case_ "fleet write of 4, one faulty" 1 "$PT" write --port "$T/f1" --port "$T/f2" --ports "$T/f3,$T/f4" "$F" --verify
cp "$T/out" "$T/txt"
for n in 1 2 3; do out_has "$T/f$n: verified in"; done
out_has "$T/f4: failed: Program Interrupt, Please reset the radio and try again; stopped after 100 of 1024 frames of the read-back; the write itself completed"
out_has "4 radio(s): 3 succeeded, 1 failed"
err_has "$T/f1: writing"
case_ "fleet write --json" 1 "$PT" write --ports "$T/f1,$T/f2,$T/f3,$T/f4" "$F" --verify --json
json_check "$T/out" '
rs = d["radios"]
assert [r["port"].rsplit("/", 1)[1] for r in rs] == ["f1", "f2", "f3", "f4"], rs
assert [r["result"] for r in rs] == ["verified"] * 3 + ["failed"], rs
bad = rs[3]
assert (bad["stage"], bad["message_id"], bad["frames"], bad["partly_written"]) == ("verify", 61454, 100, False), bad
assert "%s: failed: %s" % (bad["port"], bad["message"]) in txt
assert d["summary"] == {"radios": 4, "succeeded": 3, "failed": 1, "cancelled": 0, "skipped": 0, "partly_written": []}, d["summary"]
assert d["ok"] is False and d["verify"] is True'
for n in 1 2 3 4; do stop_radio "f$n"; done
for n in 1 2 3 4; do same_written "$T/f$n.saved" "$F"; done
# A radio that acknowledges a frame and does not keep it: the verify names the channel.
start_radio h1; start_radio h2 --fault lose-write@2
case_ "fleet verify names what a radio lost" 1 "$PT" write --port "$T/h1" --port "$T/h2" "$F" --verify --json
json_check "$T/out" '
[good, lost] = d["radios"]
assert good["result"] == "verified" and lost["result"] == "failed", d["radios"]
assert lost["mismatches"] == [{"where": "channel 1: Rx Frequency, Tx Frequency", "ranges": "0x0010-0x0017"}], lost'
stop_radio h1; stop_radio h2

# ---- audit: radios against a plan ------------------------------------------
"$PT" options "$SAMPLE" --set squelch=7 -o "$T/own.dat" >/dev/null
start_radio a1 --image "$SAMPLE"; start_radio a2 --image "$T/own.dat" --save "$T/a2.saved"
for c in "--port $T/a1|--plan" "--plan $SAMPLE|--port" "--plan $SAMPLE --port $T/a1 --reconcile some|some" \
         "--plan $SAMPLE --port $T/a1 --port $T/a1|named twice" "--plan $SAMPLE --port $T/a1 extra|extra"; do
  IFS='|' read -r args says <<<"$c"
  # shellcheck disable=SC2086
  case_ "audit $args" 2 "$PT" audit $args; err_has "$says"
done
case_ "audit --help" 0 "$PT" audit --help; out_has "usage: progtool audit"
case_ "audit: a plan that is no image" 1 "$PT" audit --plan /dev/null --port "$T/a1" --json; err_has "/dev/null"
json_check "$T/out" 'assert (d["command"], d["ok"], d["exit_status"]) == ("audit", False, 1), d'
case_ "audit finds the radio that drifted" 1 "$PT" audit --plan "$SAMPLE" --port "$T/a1" --port "$T/a2"
out_has "$T/a1: matches the plan"; out_has "  Option Squelch Level: 3 -> 7"; out_has "2 radio(s): 1 match, 1 differ, 0 failed"
case_ "audit --json" 1 "$PT" audit --plan "$SAMPLE" --ports "$T/a1,$T/a2" --json
json_check "$T/out" '
[a1, a2] = d["radios"]
assert (a1["outcome"], a2["outcome"], a1["diff"]["equal"]) == ("match", "differs", True), d["radios"]
assert a2["diff"]["options"] == [{"key": "squelch", "label": "Squelch Level", "a": "3", "b": "7"}], a2["diff"]
assert a2["read"]["backup"] and not a2["written"] and d["summary"]["differ"] == 1, a2
assert (d["ok"], d["exit_status"], d["error"]) == (False, 1, "1 differ from the plan"), d'
# Only the options differ: the channels are the plan's already, nothing is written.
case_ "audit --reconcile channels keeps the options" 0 "$PT" audit --plan "$SAMPLE" --ports "$T/a1,$T/a2" --reconcile channels --json
json_check "$T/out" '
a2 = d["radios"][1]
assert (a2["reconciled"], a2["written"], d["summary"]["written"], d["ok"]) == (True, False, 0, True), d'
case_ "audit --reconcile all" 0 "$PT" audit --plan "$SAMPLE" --ports "$T/a1,$T/a2" --reconcile all
out_has "$T/a2: reconciled and verified in"; out_has "reconcile: 1 written and verified"
case_ "audit after the reconcile" 0 "$PT" audit --plan "$SAMPLE" --ports "$T/a1,$T/a2" --lang zh; out_has "2 台电台: 2 台一致"
stop_radio a1; stop_radio a2
same_written "$T/a2.saved" "$SAMPLE"
# A radio that differs only in 0x1FF6-0x1FFF, which no write sends, matches
# its plan whether the audit reconciles or not.
cp "$SAMPLE" "$T/own-tail.dat"
printf '\x42' | dd of="$T/own-tail.dat" bs=1 seek=$((0x1FFA)) conv=notrunc status=none
start_radio a3 --image "$T/own-tail.dat"
for opt in "" "--reconcile all"; do
  # shellcheck disable=SC2086
  case_ "audit $opt: bytes a write never sends" 0 "$PT" audit --plan "$SAMPLE" --port "$T/a3" $opt
  out_has "$T/a3: matches the plan"; out_has "1 radio(s): 1 match, 0 differ, 0 failed"
done
stop_radio a3

for n in 1 2 3; do start_radio "g$n" --image "$([[ $n == 2 ]] && echo "$T/new.dat" || echo "$SAMPLE")"; done
mkdir "$T/reads"
case_ "fleet read of 3" 0 "$PT" read --port "$T/g1" --port "$T/g2" --port "$T/g3" -o "$T/reads/" --quiet
[[ ! -s "$T/out" && ! -s "$T/err" ]] || fail "--quiet printed something"
same_file "$T/reads/g1.dat" "$SAMPLE"; same_file "$T/reads/g2.dat" "$T/new.dat"; same_file "$T/reads/g3.dat" "$SAMPLE"
for n in 1 2 3; do ls "$XDG_DATA_HOME"/tr5-programmer/backups/*-g$n.dat >/dev/null 2>&1 || fail "no backup of the fleet read of g$n"; done
case_ "fleet read --trace of two ports" 2 "$PT" read --port "$T/g1" --port "$T/g3" -o "$T/reads/" --trace "$T/two.trace"
err_has "one port"
case_ "read into a directory --trace --no-backup" 0 "$PT" read --port "$T/g3" -o "$T/reads/" --trace "$T/g3.trace" --no-backup --quiet --force
case_ "the fleet's trace decodes" 0 "$PT" trace "$T/g3.trace"; out_has "0x1FF8"
case_ "read of 1 into a directory --json" 0 "$PT" read --port "$T/g2" -o "$T/reads" --json --progress=json --force
json_check "$T/out" '
[r] = d["radios"]
assert (r["result"], r["output"], r["frames"]) == ("completed", "'"$T/reads/g2.dat"'", 1024), r
assert d["directory"] == "'"$T/reads"'" and d["ok"] is True'
python3 -c '
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
assert lines and all(l["schema"] == 1 for l in lines)
assert lines[-1]["event"] == "result" and lines[-1]["radio"]["result"] == "completed", lines[-1]
progress = [l for l in lines if l["event"] == "progress"]
assert progress and (progress[-1]["state"], progress[-1]["percent"]) == ("done", 100), progress
assert [(p["frames"], p["frames_total"]) for p in progress if p["state"] == "done"] == [(1024, 1024)], progress' "$T/err" ||
  fail "progress lines"

# One port into a file stays a read into that file, whatever the options.
for opt in --quiet --progress=json --skip-busy --json; do
  rm -f "$T/one.dat"
  case_ "read -o FILE $opt" 0 "$PT" read --port "$T/g1" -o "$T/one.dat" "$opt" --no-backup
  same_file "$T/one.dat" "$SAMPLE"
done
json_check "$T/out" 'assert d["directory"] is None and d["radios"][0]["output"] == "'"$T/one.dat"'", d'
printf 'x' | dd of="$T/one.dat" bs=1 seek=100 conv=notrunc status=none
cp "$T/one.dat" "$T/one.kept"
case_ "read -o FILE --quiet over an existing file" 1 "$PT" read --port "$T/g1" -o "$T/one.dat" --quiet --no-backup
err_has "$T/one.dat: the file exists (--force replaces it); nothing was read"; same_file "$T/one.dat" "$T/one.kept"
# Two ports whose files would share a name: refused before any transfer. A
# port's file that exists is replaced only with --force.
mkdir -p "$T/a/b" "$T/a_b" "$T/names"; ln -s "$T/g1" "$T/a/b/r1"; ln -s "$T/g2" "$T/a_b/r1"
case_ "two ports, one file name" 1 "$PT" read --port "$T/a/b/r1" --port "$T/a_b/r1" -o "$T/names/"
err_has "$T/a/b/r1 and $T/a_b/r1 would both be saved as"; [[ -z "$(ls -A "$T/names")" ]] || fail "$(ls "$T/names")"
cp "$T/new.dat" "$T/names/g1.dat"
case_ "a port's file exists" 1 "$PT" read --port "$T/g1" --port "$T/g2" -o "$T/names/"
err_has "$T/names/g1.dat: the file exists"; same_file "$T/names/g1.dat" "$T/new.dat"; absent "$T/names/g2.dat"
case_ "fleet: a trace that cannot be written" 1 full "$PT" read --port "$T/g1" -o "$T/names/" --force --trace "$T/t6" --json
json_check "$T/out" 'assert d["ok"] is False and d["trace_error"] and d["radios"][0]["result"] == "completed", d
assert d["error"] == "the serial trace is incomplete", d'
case_ "fleet: backups that cannot be kept" 1 env XDG_DATA_HOME="$SAMPLE" "$PT" read --port "$T/g1" --port "$T/g2" -o "$T/names/" --force
out_has "2 radio(s): 2 succeeded, 2 backup(s) not kept"; same_file "$T/names/g2.dat" "$T/new.dat"

# Faults found before anything starts.
case_ "the same port twice" 2 "$PT" read --port "$T/g1" --port "$(readlink "$T/g1")" -o "$T/reads"
err_has "is named twice"; err_has "$T/g1"
case_ "a missing port" 1 "$PT" write --port "$T/g1" --port "$T/nothing" "$SAMPLE"
err_has "$T/nothing: No such file"; err_has "nothing was started"
case_ "a missing output directory" 1 "$PT" read --port "$T/g1" --port "$T/g2" -o "$T/nodir/"
err_has "$T/nodir/: no such directory"
if [[ $(id -u) -ne 0 ]]; then
  mkdir "$T/ro" && chmod 555 "$T/ro"
  case_ "an unwritable output directory" 1 "$PT" read --port "$T/g1" --port "$T/g2" -o "$T/ro"; err_has "not writable"
fi
hold_port "$T/g3"
case_ "a busy port" 1 "$PT" read --ports "$T/g1,$T/g3" -o "$T/reads"
err_has "$T/g3"; err_has "--skip-busy"
# --json: one document on stdout also when the run fails before (or without) a transfer.
for c in "1 read --json --ports $T/g1,$T/g3 -o $T/reads" "1 write --json --port $T/g1 $T/missing.dat" \
  "2 diff --json $SAMPLE $T/missing.dat" "2 diff --json $SAMPLE --port $T/nothing" "2 show --json $SAMPLE --bogus"; do
  # shellcheck disable=SC2086
  case_ "${c#* }" "${c%% *}" "$PT" ${c#* }
  json_check "$T/out" 'assert (d["ok"], d["exit_status"]) == (False, '"${c%% *}"') and d["error"], d'
done
rm -f "$T/reads"/*
case_ "a busy port skipped is no success" 1 "$PT" read --ports "$T/g1,$T/g3" -o "$T/reads" --skip-busy
out_has "$T/g3: skipped, busy: Device or resource busy"; out_has "1 radio(s): 1 succeeded, 1 skipped"
absent "$T/reads/g3.dat"
kill "$holder"; wait "$holder" 2>/dev/null
for n in 1 2 3; do stop_radio "g$n"; done

# Ctrl+C: every transfer stops, the partly written radios are named, no partial file.
for n in 1 2; do start_radio "c$n" --pace; done
for cmd in write read; do
  mkdir -p "$T/cut"
  args=(write "$F"); [[ $cmd == read ]] && args=(read -o "$T/cut")
  "$PT" "${args[@]}" --ports "$T/c1,$T/c2" >"$T/out" 2>"$T/err" &
  pid=$!
  word=$([[ $cmd == write ]] && echo writing || echo reading)
  wait_for "$T/err" "c1: $word" && wait_for "$T/err" "c2: $word"
  sleep 0.5
  kill -INT "$pid"; wait "$pid"; rc=$?
  current="Ctrl+C mid-fleet-$cmd"
  [[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
  out_has "0 succeeded, 2 cancelled"
  if [[ $cmd == write ]]; then out_has "left partly written: $T/c1, $T/c2"
  else out_has "no partial file was written"; [[ -z "$(ls -A "$T/cut")" ]] || fail "files after Ctrl+C: $(ls "$T/cut")"; fi
done
for n in 1 2; do stop_radio "c$n"; done

# --watch: radios that arrive after the start, each programmed once.
"$PT" write --watch --port "$T/w1" --port "$T/w2" "$F" --verify >"$T/watch.out" 2>"$T/watch.err" &
watcher=$!
wait_for "$T/watch.err" "w1: no radio"
start_radio w1 --save "$T/w1a.saved"
wait_for "$T/watch.err" "radio 1: $T/w1"
stop_radio w1
wait_for "$T/watch.err" "w1: no radio" 2
start_radio w1 --save "$T/w1b.saved"
start_radio w2 --save "$T/w2.saved"
wait_for "$T/watch.err" "radio 3: " && sleep 1
grep -c "^radio [0-9]" "$T/watch.err" | grep -qx 3 || fail "a radio was programmed twice: $(cat "$T/watch.err")"
kill -INT "$watcher"; wait "$watcher"; rc=$?
current="--watch"
[[ $rc -eq 0 ]] && passed=$((passed + 1)) || fail "exit $rc"
grep -qF "3 radio(s): 3 succeeded" "$T/watch.out" || fail "watch summary: $(cat "$T/watch.out")"
for n in w1 w2; do stop_radio $n; done
for f in w1a w1b w2; do same_written "$T/$f.saved" "$F"; done
# A radio the watch could not program is never logged as programmed.
start_radio v1 --fault wrong-ack@3
"$PT" write --watch --port "$T/v1" "$F" >"$T/watch.out" 2>"$T/watch.err" &
watcher=$!
wait_for "$T/watch.err" "$T/v1: not programmed"
# The next radio on the port is programmed: the radio left partly written is named, not the port.
stop_radio v1; wait_for "$T/watch.err" "v1: no radio"
start_radio v1; wait_for "$T/watch.err" "radio 2: $T/v1"
kill -INT "$watcher"; wait "$watcher"; rc=$?
grep -qF "left partly written: radio 1 on $T/v1" "$T/watch.out" || fail "partly written radio: $(cat "$T/watch.out")"
grep -qF "partly written: $T/v1" "$T/watch.out" && fail "the port is named partly written: $(cat "$T/watch.out")"
current="--watch with a radio that fails"
[[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
sed '/v1: no radio/q' "$T/watch.err" | grep -q ": programmed" && fail "a failed radio logged as programmed: $(cat "$T/watch.err")"
stop_radio v1

# A closed pipe: every transfer still finishes (written and verified), exit status 3,
# and the radios answer the next handshake.
for n in 1 2; do start_radio "p$n" --save "$T/p$n.saved"; done
"$PT" write --port "$T/p1" --port "$T/p2" "$F" --verify 2>&1 | head -1 >/dev/null
rc=${PIPESTATUS[0]}; current="fleet write --verify into a closed pipe"
[[ $rc -eq 3 ]] && passed=$((passed + 1)) || fail "exit $rc"
case_ "a radio after a closed pipe" 0 "$PT" read --port "$T/p1" -o "$T/p1.dat" --no-backup
for n in 1 2; do stop_radio "p$n"; same_written "$T/p$n.saved" "$F"; done

# --ports all: the devices a radio answers on, COM1..COM4 of Program.ini among them.
# A silent radio and a port another program holds are left out.
start_radio a1; start_radio a2; start_radio a3 --fault silent; start_radio a4
printf '[Ports]\nCOM1=%s\nCOM2=%s\nCOM3=%s\nCOM4=%s\n' "$T/a1" "$T/a3" "$T/a2" "$T/a4" >"$T/prog/Program.ini"
hold_port "$T/a4"
mkdir "$T/all"
case_ "--ports all" 0 "$T/prog/progtool" read --ports all -o "$T/all"
out_has "COM1 ($T/a1): completed"; out_has "COM3 ($T/a2): completed"; out_has "2 radio(s): 2 succeeded"
kill "$holder"; wait "$holder" 2>/dev/null
for n in 1 2 3 4; do stop_radio "a$n"; done

case_ "simulate with a missing image" 1 "$PT" simulate --image "$T/missing.dat"; err_has "$T/missing.dat"
# Where the memory would be saved at the stop is checked at the start.
for f in "$T/nodir/sim.dat" "$T/notes.csv"; do
  case_ "simulate --save $f" 1 timeout 10 "$PT" simulate --save "$f" --link "$T/sim-save"
  err_has "the simulated radio was not started"; absent "$T/sim-save"
done
grep -qx 'Location,Name' "$T/notes.csv" || fail "simulate replaced the CSV"

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
if command -v pdftotext >/dev/null; then
  # The text layer reads as printed: a face of another region would give Kangxi radicals ("提⽰⾳").
  pdftotext "$T/report-zh.pdf" "$T/report-zh.txt"
  grep -q "提示音" "$T/report-zh.txt" || fail "the Chinese report's text lacks 提示音"
  LC_ALL=C.UTF-8 grep -qP '[\x{2E80}-\x{2FDF}]' "$T/report-zh.txt" && fail "the Chinese report's text holds radicals"
fi
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

# ---- files the user names: links, special and read-only files, full output ----
S="$T/sv"
mkdir -p "$S/real"
cp "$SAMPLE" "$S/real/radio.dat"
"$PT" export "$SAMPLE" -o "$S/in.csv" >/dev/null
ln -s real/radio.dat "$S/link.dat"
for n in new.dat out.csv out.pdf; do ln -s "real/$n" "$S/link-$n"; done
case_ "import through a link" 0 "$PT" import "$S/in.csv" "$S/link.dat"
case_ "options --set through a link" 0 "$PT" options "$S/link.dat" --set squelch=5
case_ "new --force through a link" 0 "$PT" new "$S/link-new.dat" --force
case_ "export -o through a link" 0 "$PT" export "$SAMPLE" -o "$S/link-out.csv"
(umask 022; case_ "print --pdf through a link" 0 "$PT" print "$SAMPLE" --pdf "$S/link-out.pdf"; echo "$passed $failed" >"$T/sub")
read -r passed failed <"$T/sub"
current="saves through links"
for l in link.dat link-new.dat link-out.csv link-out.pdf; do [[ -L "$S/$l" ]] || fail "$l is no longer a link"; done
cmp -s "$S/real/radio.dat" "$SAMPLE" && fail "the link's target was not changed"
same_file "$S/real/new.dat" "$("$PT" new "$T/fresh.dat" >/dev/null; echo "$T/fresh.dat")"
same_file "$S/real/out.csv" "$S/in.csv"
[[ "$(stat -c %a "$S/real/out.pdf")" == 644 ]] || fail "PDF created $(stat -c %a "$S/real/out.pdf"), not 644 by the umask"
[[ -z "$(ls -A "$S" | grep -v -e '^real$' -e '^link' -e '^in.csv$')" ]] || fail "left in $S: $(ls -A "$S")"
# An output that is the input (also through a link or a hard link) is refused; an
# existing file of another kind is replaced only with --force.
cp "$SAMPLE" "$S/own.dat"; ln -s own.dat "$S/own-link"; ln "$S/own.dat" "$S/own-hard"; cp "$T/new.dat" "$S/other.dat"
for c in "export $S/own.dat -o $S/own.dat" "export $S/own-link -o $S/own-hard" "print $S/own.dat --pdf $S/own-link" \
  "export $S/own.dat -o $S/other.dat" "print $S/own.dat --pdf $S/in.csv"; do
  # shellcheck disable=SC2086
  case_ "$c" 1 "$PT" $c; err_has "Cannot save"
done
same_file "$S/own.dat" "$SAMPLE"; same_file "$S/other.dat" "$T/new.dat"; same_file "$S/real/out.csv" "$S/in.csv"
case_ "export --force over an image" 0 "$PT" export "$S/own.dat" -o "$S/other.dat" --force

cp "$SAMPLE" "$S/ro.dat"; chmod 444 "$S/ro.dat"
mkfifo "$S/fifo"
ln -s /dev/null "$S/device"
mkdir "$S/folder"
case_ "import into a read-only file" 1 "$PT" import "$S/in.csv" "$S/ro.dat"; err_has "$S/ro.dat"; err_has "read-only"
case_ "options --set on a read-only file" 1 "$PT" options "$S/ro.dat" --set squelch=5; err_has "read-only"
# A longer file is read with a warning; saved back in place only with --force, as its image.
(cat "$SAMPLE"; printf 'x') >"$S/long.dat"
case_ "options --set on a longer file" 1 "$PT" options "$S/long.dat" --set squelch=5; err_has "would lose the 1 byte(s)"
case_ "options --set -o from a longer file" 0 "$PT" options "$S/long.dat" --set squelch=5 -o "$S/short.dat"
err_has "only its first 8192 bytes are the radio's memory"; same_file "$S/long.dat" <(cat "$SAMPLE"; printf 'x')
case_ "options --set --force on a longer file" 0 "$PT" options "$S/long.dat" --set squelch=5 --force
same_file "$S/long.dat" "$S/short.dat"
same_file "$S/ro.dat" "$SAMPLE"
case_ "export -o into a FIFO" 1 timeout 10 "$PT" export "$SAMPLE" -o "$S/fifo"; err_has "not a regular file"
case_ "new --force over a device" 1 "$PT" new "$S/device" --force; err_has "not a regular file"
case_ "print --pdf onto a FIFO" 1 timeout 20 "$PT" print "$SAMPLE" --pdf "$S/fifo"; err_has "not a regular file"
[[ -p "$S/fifo" && -L "$S/device" ]] || fail "a FIFO or device link was replaced"
# A save killed before its rename leaves its temporary file; the next save of that file removes it.
touch "$S/real/.radio.dat.tr5-saving-Ab12Cd" "$S/real/.radio.dat.other"
case_ "a later save removes a killed save's temporary file" 0 "$PT" options "$S/link.dat" --set squelch=6
absent "$S/real/.radio.dat.tr5-saving-Ab12Cd"; [[ -e "$S/real/.radio.dat.other" ]] || fail "another file was removed"
if [[ $(id -u) -eq 0 ]]; then
  # As an ordinary user: the folder is what cannot be written.
  mkdir "$S/closed"; chmod 755 "$S/closed"; chmod 755 "$T" "$S"
  case_ "new in a folder that cannot be written" 1 setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$PT" new "$S/closed/x.dat"
  err_has "the folder \"$S/closed\" is not writable"
  chmod 700 "$T"
fi

# Text inputs: only regular files, at most 16 MB.
cp "$SAMPLE" "$S/target.dat"
truncate -s 17M "$S/big.csv"
mkfifo "$S/in.fifo"
case_ "import /dev/zero" 1 timeout 10 "$PT" import /dev/zero "$S/target.dat"; err_has "not a regular file"
case_ "import a FIFO" 1 timeout 10 "$PT" import "$S/in.fifo" "$S/target.dat"; err_has "not a regular file"
case_ "import a directory" 1 "$PT" import "$S/folder" "$S/target.dat"; err_has "is a directory"
case_ "import 17 MB" 1 "$PT" import "$S/big.csv" "$S/target.dat"; err_has "at most 16 MB"
case_ "trace a directory" 1 "$PT" trace "$S/folder"; err_has "is a directory"
same_file "$S/target.dat" "$SAMPLE"
# A FIFO as Program.ini does not hold up the tool: refused with the reason.
mkdir "$S/fifoprog"; cp "$PT" "$S/fifoprog/progtool"; mkfifo "$S/fifoprog/Program.ini"
case_ "Program.ini is a FIFO" 0 timeout 10 "$S/fifoprog/progtool" show "$SAMPLE"; err_has "Program.ini"
err_has "not a regular file"

# The report's text is drawn without ligatures: a search for "Off" or "fi" finds it.
if command -v pdftotext >/dev/null; then
  mkdir "$S/ligprog"; cp "$PT" "$S/ligprog/progtool"
  printf '[Setup]\nLanguage=English\n[English]\nCopyrights Owner=Offield fine\n' >"$S/ligprog/Program.ini"
  case_ "print without ligatures" 0 "$S/ligprog/progtool" print "$SAMPLE" --pdf "$S/lig.pdf"
  pdftotext "$S/lig.pdf" "$S/lig.txt"
  grep -qF "Offield fine" "$S/lig.txt" || fail "the footer does not read \"Offield fine\""
  grep -qw "Off" "$S/lig.txt" || fail "the options page does not read \"Off\""
  grep -q $'\xef\xac[\x80-\x84]' "$S/lig.txt" && fail "ligatures in the report's text"
fi

# Data that cannot be written to standard output fails the command, with the reason.
for cmd in "show $SAMPLE" "show $SAMPLE --csv" "show $SAMPLE --json" "options $SAMPLE" "options $SAMPLE --json" \
  "export $SAMPLE" "export $SAMPLE --format chirp" "ports" "ports --json" "diff $SAMPLE $S/real/radio.dat" \
  "diff $SAMPLE $SAMPLE --json" "trace $T/read.trace" "--help"; do
  want=1; [[ $cmd == diff* ]] && want=2
  # shellcheck disable=SC2086
  case_ "$cmd > /dev/full" "$want" sh -c '"$0" "$@" >/dev/full' "$PT" $cmd
  err_has "standard output could not be written: No space left on device"
done

# read checks -o before the transfer.
start_radio fr
case_ "read into a missing folder" 1 "$PT" read --port "$T/fr" -o "$T/nodir/r.dat"
err_has "the folder \"$T/nodir\" does not exist"; err_has "nothing was read"
case_ "read over a read-only file" 1 "$PT" read --port "$T/fr" -o "$S/ro.dat"; err_has "read-only"
mkdir -p "$S/multi/fr.dat"
case_ "read into a folder where the port's file is a folder" 1 "$PT" read --port "$T/fr" -o "$S/multi/"
err_has "is a directory"; err_has "nothing was read"
grep -q "read the radio\|reading" "$T/err" && fail "the radio was read before the output was checked"
stop_radio fr

# simulate --link replaces only a link it left itself (to a pseudo-terminal that is gone).
ln -s "$S/real/radio.dat" "$S/mylink"
case_ "simulate --link over the user's link" 1 timeout 10 "$PT" simulate --link "$S/mylink"; err_has "not replaced"
[[ "$(readlink "$S/mylink")" == "$S/real/radio.dat" ]] || fail "the user's link was changed"
ln -s /dev/pts/987654 "$T/stale"
"$PT" simulate --link "$T/stale" >"$T/stale.out" 2>"$T/stale.err" &
stale_pid=$!; pids+=("$stale_pid")
for _ in $(seq 50); do [[ "$(readlink "$T/stale")" == /dev/pts/987654 ]] || break; sleep 0.1; done
current="simulate --link over a stale link of its own"
[[ "$(readlink "$T/stale")" == "$(head -1 "$T/stale.out")" ]] || fail "the stale link was not replaced: $(cat "$T/stale.err")"
stop_radio stale
absent "$T/stale"

# Closing the terminal (SIGHUP) stops a read as Ctrl+C does: no partial file.
start_radio hup --pace
for how in single fleet; do
  mkdir -p "$T/hupdir"
  out="$T/hup.dat"; [[ $how == fleet ]] && out="$T/hupdir/"
  "$PT" read --port "$T/hup" -o "$out" >"$T/out" 2>"$T/err" &
  pid=$!
  sleep 2
  kill -HUP "$pid"; wait "$pid"; rc=$?
  current="SIGHUP mid-read ($how)"
  [[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
  if [[ $how == single ]]; then err_has "cancelled after"; absent "$T/hup.dat"
  else out_has "no partial file was written"; [[ -z "$(ls -A "$T/hupdir")" ]] || fail "files: $(ls "$T/hupdir")"; fi
done
stop_radio hup

# A fleet write with --quiet: a failed radio fails the command, and only its failure is told.
start_radio q1; start_radio q2 --fault wrong-ack@5
case_ "fleet write --quiet, one faulty" 1 "$PT" write --port "$T/q1" --port "$T/q2" "$SAMPLE" --quiet
[[ ! -s "$T/out" ]] || fail "--quiet printed on stdout: $(head -3 "$T/out")"
err_has "$T/q2: failed"
grep -qF "$T/q1" "$T/err" && fail "--quiet told of the radio that succeeded"

# A trace into the file standard output goes to would garble both; a read over a
# binary file of another length (a program) replaces it only with --force.
current="--trace /dev/stdout into a file"
rc=0; "$PT" write --port "$T/q1" "$SAMPLE" --json --trace /dev/stdout >"$T/own.json" 2>"$T/err" || rc=$?
[[ $rc -eq 1 ]] || fail "exit status $rc for --trace /dev/stdout"
json_check "$T/own.json" 'assert d["ok"] is False and "standard output goes to" in d["error"], d'
cp "$PT" "$T/a-program"
case_ "read over a program" 1 "$PT" read --port "$T/q1" -o "$T/a-program" --no-backup
err_has "bytes of binary data, not the 8192 bytes saved here"; same_file "$T/a-program" "$PT"

# In CI nothing is left out for want of a tool: the report's text needs pdftotext.
current="pdftotext for the report checks"
[[ -n "${CI:-}" ]] && ! command -v pdftotext >/dev/null && fail "pdftotext (poppler-utils) is missing"
# The permission checks that ran as one user only run here as the other.
if [[ $(id -u) -eq 0 ]]; then
  mkdir "$T/ro" && chmod 555 "$T/ro" && chmod 755 "$T"
  chmod o+rw "$(readlink "$T/q1")" "$(readlink "$T/q2")"  # the test's own pseudo-terminals
  case_ "an unwritable output directory (as nobody)" 1 setpriv --reuid=65534 --regid=65534 --clear-groups \
    "$PT" read --port "$T/q1" --port "$T/q2" -o "$T/ro"
  err_has "not writable"
  chmod 700 "$T"
else
  mkdir "$S/closed" && chmod 555 "$S/closed"
  case_ "new in a folder that cannot be written" 1 "$PT" new "$S/closed/x.dat"
  err_has "the folder \"$S/closed\" is not writable"
fi
stop_radio q1; stop_radio q2

echo "cli tests: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
