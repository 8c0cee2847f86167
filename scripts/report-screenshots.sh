#!/usr/bin/env bash
# Renders the printed report of the sample document (the PDFs tst_print
# prints offscreen) into PNG images for the README: the option page and a
# channel page in English, and a channel page in Chinese.
# Needs poppler-utils (pdftoppm); scripts/install-deps.sh installs it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$root/docs/screenshots

command -v pdftoppm >/dev/null || { echo "pdftoppm is missing: run scripts/install-deps.sh" >&2; exit 1; }
[[ -f $build/CMakeCache.txt ]] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j2 --target tst_print

pdfs=$(mktemp -d)
trap 'rm -rf "$pdfs"' EXIT
PROG_REPORT_PDF_DIR=$pdfs QT_QPA_PLATFORM=offscreen \
  "$build/bin/tst_print" englishReportOfEightChannels chineseReport >/dev/null

mkdir -p "$out"
page() {  # pdf page name
  pdftoppm -png -r 60 -singlefile -f "$2" -l "$2" "$pdfs/$1" "$out/$3"
  echo "wrote docs/screenshots/$3.png"
}
page report_en.pdf 1 report_options_en
page report_en.pdf 2 report_channels_en
page report_zh.pdf 2 report_channels_zh
