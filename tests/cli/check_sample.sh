#!/usr/bin/env bash
# The committed sample must be what scripts/make-sample.sh makes today.
set -euo pipefail
progtool="$1"; src="$2"
tmp="$(mktemp -d)"; trap 'rm -rf "$tmp"' EXIT
"$src/scripts/make-sample.sh" "$progtool" "$tmp/sample.dat" >/dev/null
if ! cmp "$tmp/sample.dat" "$src/res/samples/sample.dat"; then
  echo "res/samples/sample.dat is stale: run scripts/make-sample.sh" >&2
  exit 1
fi
echo "sample is up to date"
