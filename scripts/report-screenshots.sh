#!/usr/bin/env bash
# Renders the printed report of the sample document (res/samples/sample.dat,
# printed by progtool as File > Print prints it) into PNG images for the docs:
# the option page and the first channel page in English, and the first channel
# page in Chinese. Needs poppler-utils (pdftoppm); scripts/install-deps.sh installs it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$root/docs/screenshots

command -v pdftoppm >/dev/null || { echo "pdftoppm is missing: run scripts/install-deps.sh" >&2; exit 1; }
[[ -f $build/CMakeCache.txt ]] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target progtool

pdfs=$(mktemp -d)
trap 'rm -rf "$pdfs"' EXIT
# Qt's PDF writer wants a private runtime directory; a session without a desktop has none.
export XDG_RUNTIME_DIR=$pdfs QT_QPA_PLATFORM=offscreen
for lang in en zh; do
  "$build/bin/progtool" print "$root/res/samples/sample.dat" --pdf "$pdfs/report_$lang.pdf" --lang "$lang" >/dev/null
done

mkdir -p "$out"
page() {  # pdf page name
  pdftoppm -png -r 60 -singlefile -f "$2" -l "$2" "$pdfs/$1" "$out/$3"
  echo "wrote docs/screenshots/$3.png"
}
page report_en.pdf 1 report_options_en
page report_en.pdf 2 report_channels_en
page report_zh.pdf 2 report_channels_zh
