#!/usr/bin/env bash
# Installs what is missing, builds, and shows the program working without a
# radio: a simulated radio holding res/samples/sample.dat runs on a
# pseudo-terminal, and COM1 points at it through a Program.ini beside a copy
# of the program in build/demo/bin (BUILD_DIR picks another build directory).
#  - With a display the window starts (arguments go to the program: a .dat
#    file to open). Program, Read (Ctrl+R) reads the sample's channels; edit
#    them; Program, Write (Ctrl+W) writes them back. The radio's memory is
#    saved to build/demo/radio-after.dat when the window closes.
#  - Without a display (or with --headless) progtool runs the same round trip:
#    read, show, export, edit, import, write --verify, print to PDF.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

headless=0
if [[ "${1:-}" == "--headless" ]]; then
  headless=1
  shift
fi
[[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]] && headless=1

scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target Program progtool prog_resources

demo="$root/$build/demo"
rm -rf "$demo"
mkdir -p "$demo/bin"
# The copy reads the Program.ini beside it, so its COM1 can be the simulated radio.
cp "$build"/bin/Program "$build"/bin/progtool "$build"/bin/*.qm "$demo/bin/"
cp -r "$build"/bin/enHelp "$build"/bin/chHelp "$demo/bin/" 2>/dev/null || true
sed "s|^COM1=.*|COM1=$demo/radio|" "$build/bin/Program.ini" >"$demo/bin/Program.ini"
pt="$demo/bin/progtool"

"$pt" simulate --image res/samples/sample.dat --link "$demo/radio" --save "$demo/radio-after.dat" \
  >"$demo/simulate.out" 2>"$demo/simulate.log" &
radio=$!
stop_radio() {
  if kill -0 "$radio" 2>/dev/null; then
    kill -INT "$radio"
    wait "$radio" || true
  fi
}
trap stop_radio EXIT
for _ in $(seq 50); do [[ -L "$demo/radio" ]] && break; sleep 0.1; done
echo "Simulated radio on $(head -1 "$demo/simulate.out"), COM1 -> $demo/radio"

if [[ $headless -eq 0 ]]; then
  echo "Starting the window. Program > Read (Ctrl+R) reads the simulated radio on COM1."
  "$demo/bin/Program" "$@"
  stop_radio
  echo "The radio's memory after the session: $demo/radio-after.dat"
  exit 0
fi

# Qt's PDF writer wants a private runtime directory; a session without a desktop has none.
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
step() { echo; echo "\$ progtool $*"; "$pt" "$@"; }
cd "$demo"
echo "No display: running the round trip with progtool in $demo"
step ports
step read --port COM1 -o radio.dat
step show radio.dat
step export radio.dat --format chirp -o channels.csv
# A dealer's edit: one more channel at location 20, a UHF simplex with DCS.
echo '20,PARK,446.031250,,0.000000,DTCS,88.5,88.5,131,NN,131,Tone->Tone,NFM,6.25,,Low,,,,,' >>channels.csv
step import channels.csv radio.dat --format chirp
step show radio.dat
step write --port COM1 radio.dat --verify
step print radio.dat --pdf report.pdf
step export radio.dat --format grid -o grid.csv
stop_radio
echo
echo "Outputs in $demo:"
echo "  radio.dat        the radio's memory as read, with the imported channel"
echo "  channels.csv     the channel list (Location,Name,Frequency,... layout)"
echo "  grid.csv         every cell of the channel grid"
echo "  report.pdf       the printed report"
echo "  radio-after.dat  the simulated radio's memory after the write"
