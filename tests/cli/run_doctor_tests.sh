#!/usr/bin/env bash
# progtool doctor against the simulated radio and real conditions, one case per
# verdict: the verdict and its advice, in time, --json, and the radio's memory
# untouched; a read or write right after it; --find with a device appearing;
# and the handshake failures of read and write naming the doctor and keeping
# their serial trace.
# Usage: run_doctor_tests.sh PROGTOOL SOURCE_DIR
set -u
PT="$1"
SRC="$2"
SAMPLE="$SRC/res/samples/sample.dat"
T="$(mktemp -d)"
export XDG_DATA_HOME="$T/xdg-data" XDG_CONFIG_HOME="$T/xdg-config"
KEPT="$XDG_DATA_HOME/tr5-programmer/last-failed-handshake.trace"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$T"
}
trap cleanup EXIT

# shellcheck source=tests/support/cases.sh
source "$(dirname "$0")/../support/cases.sh"

# A simulated radio holding the sample: start_radio NAME [ARGS...]; its link is
# $T/NAME, its memory is saved to $T/NAME.mem on request (memory_of NAME).
start_radio() {
  local name="$1"; shift
  "$PT" simulate --link "$T/$name" --image "$SAMPLE" --save "$T/$name.mem" "$@" >/dev/null 2>"$T/$name.err" &
  pids+=($!)
  eval "${name}_pid=$!"
  for _ in $(seq 50); do [[ -L "$T/$name" ]] && return 0; sleep 0.1; done
  fail "simulated radio $name did not start"; cat "$T/$name.err"
}
# The radio's memory must still be the sample's (simulate saves it on SIGUSR1).
memory_unchanged() {
  local pid n; eval "pid=\$${1}_pid"
  n=$(grep -c "saved the radio" "$T/$1.err")
  kill -USR1 "$pid"
  for _ in $(seq 50); do (( $(grep -c "saved the radio" "$T/$1.err") > n )) && break; sleep 0.1; done
  cmp -s "$T/$1.mem" "$SAMPLE" || fail "the memory of radio $1 changed"
}
# json_check PYTHON: runs PYTHON with d = the JSON document of $T/out.
json_check() {
  python3 - "$T/out" <<PY || fail "JSON check"
import json, sys
d = json.load(open(sys.argv[1], encoding="utf-8"))
assert d["schema"] == 1 and d["command"] in ("doctor", "read"), d
$1
PY
}
# doctor NAME WANT SECONDS ARGS...: a case that must end within SECONDS.
doctor() {
  local name="$1" want="$2" limit="$3"; shift 3
  local t0; t0=$(date +%s%N)
  case_ "$name" "$want" "$@"
  local ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  (( ms <= limit * 1000 )) || fail "took $ms ms, more than $limit s"
}

# ---- one case per verdict of the handshake, each radio's memory untouched ------------
# name | fault | verdict | what the advice says | limit in s
while IFS='|' read -r -u 3 name fault verdict says limit; do
  # shellcheck disable=SC2086
  start_radio "$name" $fault
  doctor "doctor: $name" "$([[ $verdict == answers ]] && echo 0 || echo 1)" "$limit" "$PT" doctor --port "$T/$name"
  out_has "$T/$name"; out_has "$says"
  doctor "doctor --json: $name" "$([[ $verdict == answers ]] && echo 0 || echo 1)" "$limit" \
    "$PT" doctor --port "$T/$name" --json
  json_check '[p] = d["ports"]
assert (p["verdict"], d["ok"], d["mode"]) == ("'"$verdict"'", "'"$verdict"'" == "answers", "check"), p
assert p["port"] == "'"$T/$name"'" and d["exit_status"] == (0 if d["ok"] else 1), d
assert p["power_cycle"] == ("'"$verdict"'" == "partial"), p'
  memory_unchanged "$name"
done 3<<'TABLE'
answers||answers|ready to read or write|3
echo|--fault echo|echo|the cable is connected but the radio is not answering|3
garbage|--fault garbage|garbage|first bytes|3
noident|--fault no-ident|partial|identification|3
nofinal|--fault no-final-ack|partial|acknowledg|3
silent|--fault silent|silent|switched on|30
late|--fault slow@500|partial|too late|3
TABLE
# A radio that answers late, however late: "answers too late", with the delay
# measured (4 s: after the doctor stops listening, its acknowledgement is taken
# for the next code's and the identification request goes unanswered).
for ms in 200 400 600 900 1500 2500 4000; do
  start_radio "slow$ms" --fault "slow@$ms"
  doctor "doctor: answers $ms ms late" 1 8 "$PT" doctor --port "$T/slow$ms" --json
  json_check '[p] = d["ports"]
assert (p["verdict"], p["power_cycle"]) == ("partial", True), p
assert '"$ms"' <= p["late_ms"] < '"$ms"' + 300 and p["headline"].count("answers too late"), p
assert not p["identification"] or p["identification"] == "54 52 35 56 00 01 02 03", p'
  memory_unchanged "slow$ms"
done
# The identification as the radio sent it, in hex; each step's round-trip time.
case_ "doctor --json: the identification" 0 "$PT" doctor --port "$T/answers" --json
json_check '[p] = d["ports"]
assert len(bytes.fromhex(p["identification"].replace(" ", ""))) == 8, p["identification"]
assert [s["step"] for s in p["steps"]] == ["open", "holders", "entry-code", "identification", "closing-ack"], p["steps"]'
grep -qi "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["ports"][0]["identification"])' "$T/out")" \
  <("$PT" doctor --port "$T/answers") || fail "the text lacks the identification's hex"
case_ "doctor --lang zh: answers" 0 "$PT" doctor --port "$T/answers" --lang zh
LC_ALL=C grep -qP '[\x80-\xff]' "$T/out" || fail "no Chinese in the advice"

# A read and a write right after a check work.
start_radio after
"$PT" doctor --port "$T/after" >/dev/null 2>&1
case_ "read after the doctor" 0 "$PT" read --port "$T/after" -o "$T/after.dat" --no-backup
same_file "$T/after.dat" "$SAMPLE"
cp "$SAMPLE" "$T/towrite.dat"
"$PT" options "$T/towrite.dat" --set squelch=7 >/dev/null
"$PT" doctor --port "$T/after" >/dev/null 2>&1
case_ "write after the doctor" 0 "$PT" write --port "$T/after" "$T/towrite.dat" --verify
out_has "verify: 0x0000-0x1FF5 match"

# ---- verdicts before the handshake ------------------------------------------------
mkdir -p "$T/root/dev/serial/by-id"
ln -s "$T/answers" "$T/root/dev/ttyUSB0"
doctor "doctor: no such device" 1 3 env PROG_DEVICE_ROOT="$T/root" "$PT" doctor --port "$T/nothing"
out_has "$T/nothing"; out_has "$T/root/dev/ttyUSB0"
doctor "doctor --json: no such device" 1 3 env PROG_DEVICE_ROOT="$T/root" "$PT" doctor --port "$T/nothing" --json
json_check '[p] = d["ports"]
assert p["verdict"] == "no-device" and [x["path"] for x in p["present"]] == ["'"$T/root/dev/ttyUSB0"'"], p
assert p["recent"] == ["'"$T/root/dev/ttyUSB0"'"], p["recent"]'
# Busy: another program holds the device open (without a lock).
pty=$(readlink "$T/answers")
sleep 30 <>"$pty" &
holder=$!
pids+=("$holder")
doctor "doctor: busy" 1 3 "$PT" doctor --port "$T/answers"
out_has "sleep (pid $holder)"
doctor "doctor --json: busy" 1 3 "$PT" doctor --port "$T/answers" --json
json_check '[p] = d["ports"]
assert p["verdict"] == "busy" and {"pid": '"$holder"', "name": "sleep"} in p["holders"], p'
kill "$holder"; wait "$holder" 2>/dev/null
# Permission denied: the group that owns the device is named.
group=$(stat -c %G "$pty")
mkdir "$T/pub"; ln -s "$pty" "$T/pub/radio"
if [[ $(id -u) -eq 0 ]]; then
  chmod 711 "$T"; chmod 755 "$T/pub"
  as_user() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
else
  chmod 000 "$pty"
  as_user() { "$@"; }
fi
doctor "doctor: permission denied" 1 3 as_user "$PT" doctor --port "$T/pub/radio"
out_has "permission denied"; out_has "the group \"$group\""
doctor "doctor --json: permission denied" 1 3 as_user "$PT" doctor --port "$T/pub/radio" --json
json_check '[p] = d["ports"]
assert (p["verdict"], p["group"]) == ("permission-denied", "'"$group"'"), p'
chmod 700 "$T"; chmod 620 "$pty"
memory_unchanged answers

# ---- every device present, and none ---------------------------------------------------
# A by-id link and the device it leads to are one cable: checked once, by the link.
ln -s ../../ttyUSB0 "$T/root/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0"
case_ "doctor without --port" 0 env PROG_DEVICE_ROOT="$T/root" "$PT" doctor --json
json_check 'assert [p["port"] for p in d["ports"]] == ["'"$T/root/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0"'"], d["ports"]
assert d["ports"][0]["verdict"] == "answers" and d["ok"], d'
mkdir -p "$T/empty/dev"
case_ "doctor without a device" 1 env PROG_DEVICE_ROOT="$T/empty" "$PT" doctor
out_has "no serial device is present"; out_has "progtool doctor --find"
case_ "doctor --json without a device" 1 env PROG_DEVICE_ROOT="$T/empty" "$PT" doctor --json
json_check 'assert (d["ok"], d["ports"], d["error"]) == (False, [], "no serial device is present"), d'

# ---- usage, Ctrl+C ------------------------------------------------------------------
for bad in "--timeout 5" "--find --port $T/answers" "--port $T/answers --port $T/answers" "--find --timeout 0" \
  "extra"; do
  # shellcheck disable=SC2086
  case_ "doctor $bad" 2 "$PT" doctor $bad --json
  json_check 'assert (d["ok"], d["exit_status"]) == (False, 2) and d["error"], d'
done
for json in "" --json; do
  # shellcheck disable=SC2086
  "$PT" doctor --port "$T/silent" --port "$T/answers" $json >"$T/out" 2>"$T/err" &
  pid=$!
  sleep 0.5; kill -INT "$pid"; wait "$pid"; rc=$?
  current="Ctrl+C during a check $json"
  [[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
  # Stopped at its next step: the port checked so far has no verdict or a whole one.
  if [[ -n $json ]]; then
    json_check 'assert (d["ok"], d["interrupted"], d["not_checked"][-1]) == (False, True, "'"$T/answers"'"), d
assert [p["verdict"] for p in d["ports"]] in ([], ["silent"], ["interrupted"]), d
assert d["error"].startswith("interrupted"), d'
  else
    err_has "interrupted: not checked: "; grep -q "answers$" "$T/err" || fail "$T/answers was checked"
  fi
done
# Interrupted once the radio took the code: what ran is told, and that it must be switched off and on.
start_radio slowish --fault slow@300
"$PT" doctor --port "$T/slowish" --json >"$T/out" 2>"$T/err" &
pid=$!
sleep 0.6; kill -INT "$pid"; wait "$pid"; rc=$?
current="Ctrl+C after the entry code was taken"
[[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
json_check '[p] = d["ports"]
took = any(s["step"] == "entry-code" and s["ok"] for s in p["steps"])
assert (p["verdict"], p["cancelled"], d["interrupted"]) == ("interrupted", True, True), p
assert took and p["power_cycle"] and "switch it off and on" in " ".join(p["todo"]), p'
memory_unchanged slowish
case_ "the radio answers after an interrupted check" 1 "$PT" doctor --port "$T/silent" --port "$T/answers" --json \
  --trace "$T/doctor.trace"
json_check 'assert [p["verdict"] for p in d["ports"]] == ["silent", "answers"] and not d["ok"], d'
case_ "the doctor's trace decodes" 0 "$PT" trace "$T/doctor.trace"; out_has "entry code"
memory_unchanged silent

# ---- find my cable --------------------------------------------------------------------
mkdir -p "$T/find/dev/serial/by-id"
ln -s "$T/echo" "$T/find/dev/ttyUSB0"
PROG_DEVICE_ROOT="$T/find" "$PT" doctor --find --timeout 20 >"$T/find.out" 2>"$T/find.err" &
pid=$!
wait_out() { for _ in $(seq 100); do grep -qF -- "$2" "$1" && return 0; sleep 0.1; done; fail "$1 lacks \"$2\""; }
current="doctor --find"
wait_out "$T/find.out" "unplug the cable now"
grep -qF "$T/find/dev/ttyUSB0" "$T/find.out" || fail "the devices present are not listed"
rm "$T/find/dev/ttyUSB0"
wait_out "$T/find.out" "$T/find/dev/ttyUSB0 went away: now plug the cable in"
ln -s ../../ttyUSB1 "$T/find/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B2-if00-port0"
ln -s "$T/answers" "$T/find/dev/ttyUSB1"
wait "$pid"; rc=$?
[[ $rc -eq 0 ]] && passed=$((passed + 1)) || fail "exit $rc: $(cat "$T/find.err")"
grep -qF "progtool read --port $T/find/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B2-if00-port0" "$T/find.out" ||
  fail "the --port to use is not named: $(cat "$T/find.out")"
doctor "doctor --find --json times out" 1 4 env PROG_DEVICE_ROOT="$T/find" "$PT" doctor --find --timeout 1 --json
json_check 'assert (d["mode"], d["result"], d["ok"], d["device"], d["port"]) == ("find", "timed-out", False, None, None), d
assert len(d["present"]) == 2, d["present"]
open(sys.argv[1] + ".text", "w").write(d["text"])'
case_ "doctor --find times out" 1 env PROG_DEVICE_ROOT="$T/find" "$PT" doctor --find --timeout 1
err_has "$(cat "$T/out.text")"
env PROG_DEVICE_ROOT="$T/find" "$PT" doctor --find --json >"$T/out" 2>"$T/err" &
pid=$!
sleep 1; kill -INT "$pid"; wait "$pid"; rc=$?
current="doctor --find, Ctrl+C"
[[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
json_check 'assert (d["result"], d["ok"]) == ("cancelled", False), d'
# Only a serial device is the cable: a link to /dev/zero and a FIFO that come are not.
mkdir -p "$T/find2/dev"
PROG_DEVICE_ROOT="$T/find2" "$PT" doctor --find --timeout 2 --json >"$T/out" 2>"$T/err" &
pid=$!
sleep 0.5; ln -s /dev/zero "$T/find2/dev/ttyUSB5"; mkfifo "$T/find2/dev/ttyUSB6"
wait "$pid"; rc=$?
current="doctor --find: what comes is no serial device"
[[ $rc -eq 1 ]] && passed=$((passed + 1)) || fail "exit $rc"
err_has "$T/find2/dev/ttyUSB5 appeared, but is not a serial device: not the cable"
json_check 'assert (d["result"], d["ok"], d["device"]) == ("timed-out", False, None), d
assert [x["path"] for x in d["not_serial"]] == ["'"$T/find2/dev/ttyUSB5"'", "'"$T/find2/dev/ttyUSB6"'"], d'

# ---- a transfer's failed handshake names the doctor and keeps its trace ----------------
case_ "read: handshake fails" 1 "$PT" read --port "$T/nofinal" -o "$T/x.dat" --trace "$T/read.trace"
err_has "check the connection with: progtool doctor --port $T/nofinal"
err_has "the serial trace of the failed handshake is kept in $KEPT"
cmp -s <(grep -v '^#' "$KEPT") <(grep -v '^#' "$T/read.trace") || fail "the kept trace is not the --trace file's"
case_ "the kept trace decodes" 0 "$PT" trace "$KEPT"; out_has "1 entry code(s)"
ln -s "$T/nofinal" "$T/a radio"
case_ "write --lang zh: handshake fails" 1 "$PT" write --port "$T/a radio" "$SAMPLE" --lang zh
err_has "请用以下命令检查连接: progtool doctor --port '$T/a radio'"
# A control byte in the name is spelled so that the command still names the device.
ln -s "$T/nofinal" "$T/esc"$'\e'"x"
case_ "read: a port named with ESC" 1 "$PT" read --port "$T/esc"$'\e'"x" -o "$T/x.dat"
word=$(sed -n 's/.*progtool doctor --port //p' "$T/err" | head -1)
[[ $word == "\$'$T/esc\\x1Bx'" ]] || fail "the port is spelled $word"
[[ -L $(eval "printf %s $word") ]] || fail "$word names no device"
mkdir "$T/two"
case_ "read of two radios: one fails its handshake" 1 "$PT" read --port "$T/answers" --port "$T/nofinal" \
  -o "$T/two/" --no-backup --json
json_check 'a, b = d["radios"]
assert (a["ok"], a["kept_trace"]) == (True, None), a
assert b["kept_trace"] == "'"$KEPT"'" and b["message"].endswith("progtool doctor --port '"$T/nofinal"'"), b'
grep -qF "open $T/nofinal" "$KEPT" || fail "the kept trace is not the failed radio's"
# A trace that cannot be kept (its folder's place is a file) is a warning: the same status and document.
for as in "" --json; do
  # shellcheck disable=SC2086
  case_ "read: the trace cannot be kept $as" 1 env XDG_DATA_HOME="$SAMPLE" "$PT" read --port "$T/nofinal" \
    -o "$T/y.dat" $as
  err_has "warning: the serial trace of the failed handshake could not be kept"
done
json_check '[r] = d["radios"]
assert r["kept_trace"] is None and r["message"].endswith("progtool doctor --port '"$T/nofinal"'") and d["exit_status"] == 1, d'
for r in answers silent nofinal; do memory_unchanged "$r"; done

echo "doctor tests: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
