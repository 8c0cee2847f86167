#!/usr/bin/env bash
# Builds res/samples/sample.dat: fourteen named channels across VHF and UHF
# (repeaters with offsets, CTCSS and DCS tones, a receive-only channel, a
# cross-tone pair) from res/samples/sample-channels.csv, and a set of options,
# using progtool itself so the sample is exactly what the tool would produce.
# Usage: scripts/make-sample.sh [PROGTOOL] [OUT.dat]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
progtool="${1:-$root/build/bin/progtool}"
out="${2:-$root/res/samples/sample.dat}"
if [[ ! -x "$progtool" ]]; then
  echo "make-sample.sh: $progtool not found; build first (cmake --build build --target progtool)" >&2
  exit 1
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$progtool" new "$tmp/sample.dat" >/dev/null
"$progtool" import "$root/res/samples/sample-channels.csv" "$tmp/sample.dat" --format chirp >/dev/null
"$progtool" options "$tmp/sample.dat" \
  --set squelch=3 --set step=12.5k --set time-out-timer=3 --set led=On \
  --set keypad-lock=Auto --set voice-sensitivity=4 --set priority-scan=On \
  --set channel-display=On --set pri-scanning-time=5s --set battery-saver=0.4 \
  --set call-tone=1750 --set scan-mode=TO --set busy=On --set mode=Channel \
  --set v-sql-adjust=28 --set u-sql-adjust=22 --set name=TR-5V --set beep=on >/dev/null
mv "$tmp/sample.dat" "$out"
echo "wrote $out"
