#!/usr/bin/env bash
# Makes the packages with scripts/package.sh and checks them: the .deb and the
# .tar.gz hold the installed tree, the .deb's control file names the Qt runtime
# packages, and lintian (where installed) reports no error.
# usage: check_package.sh SOURCE_DIR BUILD_DIR
set -uo pipefail
src=$1 build=$2
fails=0 passes=0
check() {  # check WHAT COMMAND...: one line per check
  if "${@:2}"; then passes=$((passes + 1)); else echo "FAIL: $1"; fails=$((fails + 1)); fi
}

"$src/scripts/package.sh" "$build" >/dev/null || { echo "FAIL: scripts/package.sh"; exit 1; }
deb=$(ls "$build"/packages/*.deb) tgz=$(ls "$build"/packages/*.tar.gz)
echo "packages: $deb $tgz"

deb_files=$(dpkg-deb -c "$deb" | awk '{ print $6 ($7 == "->" ? " -> " $8 : "") }' | sed 's|^\./usr/||')
tgz_files=$(tar tzf "$tgz" | sed 's|^[^/]*/||')
p=tr5-programmer id=com.tanagerradioworks.tr5programmer
expected=(
  "bin/progtool" "bin/$p -> ../lib/$p/Program"
  "lib/$p/Program" "lib/$p/Program.ini" "lib/$p/English.qm" "lib/$p/Chinese.qm"
  "lib/$p/enHelp/enHelp.qhp" "lib/$p/enHelp/index.html" "lib/$p/enHelp/troubleshooting.md"
  "lib/$p/chHelp/chHelp.qhp" "lib/$p/chHelp/index.html" "lib/$p/chHelp/troubleshooting.md"
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  "share/mime/packages/$p.xml" "share/icons/hicolor/scalable/apps/$p.svg"
  "share/man/man1/progtool.1.gz" "share/man/man1/$p.1.gz" "share/man/zh_CN/man1/$p.1.gz"
  "share/bash-completion/completions/progtool" "share/$p/sample.dat"
  "lib/$p/stock/marine-vhf.csv" "lib/$p/stock/noaa-weather.csv"
  "share/doc/$p/copyright" "share/doc/$p/changelog.gz" "share/doc/$p/README.md"
  "share/doc/$p/docs/TROUBLESHOOTING.md" "share/doc/$p/docs/JSON.md"
)
for size in 16 22 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/$p.png"); done
for f in "${expected[@]}"; do
  check ".deb holds $f" grep -qxF "$f" <<<"$deb_files"
  check ".tar.gz holds ${f%% -> *}" grep -qxF "${f%% -> *}" <<<"$tgz_files"
done
# Only the launcher and the tool are commands; tests and benchmarks stay out.
check "bin/ holds only progtool and $p" test "$(grep -c '^bin/.' <<<"$deb_files")" -eq 2
check "no test or benchmark is packaged" bash -c '! grep -qE "(tst_|core_tests|bench_)" <<<"$1"' _ "$deb_files"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6; do
  check "Depends names $lib" grep -qE "(^|, )$lib( |,|$)" <<<"$depends"
done
check "the package is named $p" test "$(dpkg-deb -f "$deb" Package)" = "$p"

check "Recommends names fonts-wqy-microhei" grep -q "fonts-wqy-microhei" <<<"$(dpkg-deb -f "$deb" Recommends)"

# The menu entry and the AppStream metainfo: one reverse-DNS id, both valid.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
metainfo=$unpacked/usr/share/metainfo/$id.metainfo.xml
check "the metainfo's id is $id" grep -qF "<id>$id</id>" "$metainfo"
check "the metainfo launches $id.desktop" grep -qF ">$id.desktop</launchable>" "$metainfo"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$metainfo" >"$unpacked/appstream.txt" 2>&1
  check "appstreamcli validate: no issue" bash -c '! grep -qE "^[EWIP]: " "$1"' _ "$unpacked/appstream.txt" ||
    cat "$unpacked/appstream.txt"
fi
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate $id.desktop" desktop-file-validate "$unpacked/usr/share/applications/$id.desktop"
fi

if command -v lintian >/dev/null; then
  echo "lintian:"
  lintian --fail-on error -I "$deb" 2>&1 | grep -v 'running with root privileges' | sed 's/^/  /' >"$unpacked/lintian.txt"
  check "lintian reports no error" test "${PIPESTATUS[0]}" -eq 0
  cat "$unpacked/lintian.txt"
  # Built with the hardening flags: bind now, fortified libc calls, stack protector.
  check "lintian reports no hardening tag" bash -c '! grep -q "hardening-" "$1"' _ "$unpacked/lintian.txt"
else
  echo "lintian is not installed: skipped"
fi

echo "$passes passed, $fails failed"
((fails == 0))
