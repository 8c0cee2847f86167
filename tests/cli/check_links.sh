#!/usr/bin/env bash
# progtool prints through the report module and never loads the window's
# widget library (libQt6Widgets, which Qt Print Support would bring along).
# Usage: check_links.sh PROGTOOL
set -u
libs="$(ldd "$1")" || { echo "FAIL: ldd $1 failed"; exit 1; }
# Without Qt Gui resolved the check below would prove nothing.
grep -q 'libQt6Gui' <<<"$libs" || { echo "FAIL: ldd lists no libQt6Gui for $1:"; echo "$libs"; exit 1; }
if grep 'libQt6Widgets\|libQt6PrintSupport' <<<"$libs"; then
  echo "FAIL: $1 loads the library above"
  exit 1
fi
echo "progtool loads Qt Gui but no widget library"
