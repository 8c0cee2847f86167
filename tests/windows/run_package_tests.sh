#!/usr/bin/env bash
# The Windows packages: the zip holds exactly what the programs load and read
# (the DLLs checked against what the executables import, objdump -p); the
# installer installs silently under Wine, its Program.exe starts and shows its
# window, its progtool.exe reads the Program.ini beside it, the .dat type and
# the Start menu shortcut are there; the uninstaller takes its own files and
# keys away and leaves the user's.
# Usage: run_package_tests.sh BUILD_WIN SOURCE_DIR   (WINEPREFIX, a wineserver and DISPLAY come from scripts/windows.sh)
set -u
build="$1"
root="$2"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

packages=$(cd "$root" && scripts/package.sh --windows) || { echo "FAIL: scripts/package.sh --windows"; exit 1; }
zip=$(grep '\.zip$' <<<"$packages")
installer=$(grep '\.exe$' <<<"$packages")
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$unpacked"
top=$(find "$unpacked" -mindepth 1 -maxdepth 1 -type d)

# Every file of the zip, but for the help pages and translations named in bulk.
listed=$(cd "$top" && find . -type f | sed 's|^\./||' | grep -v '^[a-z][a-z]Help/\|^stock/' | sort | tr '\n' ' ')
want="Chinese.qm English.qm LICENSE.txt Program.exe Program.ini Qt6Core.dll Qt6Gui.dll Qt6PrintSupport.dll \
Qt6Widgets.dll README.md imageformats/qico.dll libgcc_s_seh-1.dll libssp-0.dll libstdc++-6.dll libwinpthread-1.dll \
platforms/qwindows.dll progtool.exe qtbase_zh_CN.qm sample.dat styles/qwindowsvistastyle.dll "
[[ "$listed" == "$want" ]] || fail "the zip holds: $listed"$'\n'"    wanted:        $want"
for f in stock/$(cd "$root/res/stock" && ls *.csv | head -1) enHelp/enHelp.qhp chHelp/chHelp.qhp \
  enHelp/index.html chHelp/troubleshooting.md; do
  [[ -s "$top/$f" ]] || fail "the zip lacks $f"
done

# The DLLs: each one shipped is loaded by something shipped, and every DLL a
# shipped executable or DLL imports is shipped or is Windows' own.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: \(.*\)/\1/p'; }
declare -A shipped=() used=()
while IFS= read -r f; do shipped[$(basename "${f,,}")]=1; done < <(find "$top" -name '*.dll')
while IFS= read -r f; do
  for d in $(imports "$f"); do
    d=${d,,}
    used[$d]=1
    if [[ -z "${shipped[$d]:-}" ]] && [[ ! -e "$WINEPREFIX/drive_c/windows/system32/$d" ]] &&
      [[ "$d" != api-ms-win-* ]]; then
      fail "$(basename "$f") imports $d, which is neither shipped nor Windows' own"
    fi
  done
done < <(find "$top" -name '*.exe' -o -name '*.dll')
for d in "${!shipped[@]}"; do
  # Plugins are loaded by name, not imported.
  [[ -n "${used[$d]:-}" || "$d" == qwindows.dll || "$d" == qwindowsvistastyle.dll || "$d" == qico.dll ]] ||
    fail "$d is shipped but nothing loads it"
done
# Stripped: no debugging sections left in what is shipped.
if find "$top" -name '*.dll' -o -name '*.exe' | xargs x86_64-w64-mingw32-objdump -h 2>/dev/null | grep -q '\.debug_'; then
  fail "the zip's programs or DLLs carry debugging information"
fi

# Installed silently (no window) into C:\tr5, then run from there.
dir="$WINEPREFIX/drive_c/tr5"
rm -rf "$dir"
# An earlier run's install, its folder gone, would make the installer stop to
# uninstall it first.
wine reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\tr5-programmer' /f >/dev/null 2>&1 || true
timeout 120 wine "$installer" /S '/D=C:\tr5' </dev/null || true
for _ in $(seq 100); do [[ -f "$dir/Program.exe" && -f "$dir/Program.ini" ]] && break; sleep 0.2; done
if [[ ! -f "$dir/Program.exe" ]]; then
  echo "FAIL: the installer put nothing in C:\\tr5"
  exit 1
fi
regval() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"; }
regdef() { wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'; }
classes='HKLM\Software\Classes'
[[ "$(regdef "$classes\\tr5-programmer.dat")" == "TR-5 radio image" ]] || fail "no .dat file type \"TR-5 radio image\""
regdef "$classes\\tr5-programmer.dat\\shell\\open\\command" | grep -qi 'C:\\tr5\\Program.exe" "%1"' ||
  fail ".dat files do not open in the installed Program.exe"
[[ -n "$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -iname 'TR-5 Programming Tool.lnk' 2>/dev/null)" ]] ||
  fail "no Start menu shortcut"

sed -i 's/^Language=.*/Language=Chinese/' "$dir/Program.ini"
if (cd "$dir" && timeout 60 wine 'C:\tr5\progtool.exe' show "Z:${root//\//\\}\\res\\samples\\sample.dat") \
  2>&1 | grep -q "接收频率"; then
  echo "installed progtool.exe runs from C:\\tr5 and reads its Program.ini"
else
  fail "the installed progtool.exe did not show the sample in its Program.ini's language"
fi
sed -i 's/^Language=.*/Language=English/' "$dir/Program.ini"

# The installed window program opens a .dat as Explorer would start it.
(cd "$dir" && timeout 120 wine 'C:\tr5\Program.exe' 'C:\tr5\sample.dat' >/dev/null 2>&1) &
program=$!
shown=""
for _ in $(seq 120); do
  shown=$(xdotool search --onlyvisible --name '^TR-5 Programming Tool$' 2>/dev/null | head -1)
  [[ -n "$shown" ]] && break
  sleep 0.5
done
if [[ -n "$shown" ]]; then
  echo "the installed Program.exe started and shows \"$(xdotool getwindowname "$shown")\""
  import -window root "$build/screenshots/installed.png" 2>/dev/null || true
else
  fail "the installed Program.exe showed no window"
fi
wine taskkill /f /im Program.exe >/dev/null 2>&1 || true
kill "$program" 2>/dev/null
wait "$program" 2>/dev/null

# A file of the user's in the program's folder, and the user's settings: both stay.
echo "mine" >"$dir/club.dat"
wine reg add 'HKCU\Software\TanagerProgram' /v com /t REG_DWORD /d 3 /f >/dev/null 2>&1
timeout 60 wine 'C:\tr5\Uninstall.exe' /S </dev/null || true
# It runs on from a copy of itself: its files go one by one.
for _ in $(seq 150); do [[ ! -e "$dir/Program.exe" && ! -e "$dir/Qt6Core.dll" && ! -e "$dir/enHelp" ]] && break; sleep 0.2; done
left=$(cd "$dir" && find . -mindepth 1 ! -name club.dat | head -5 | tr '\n' ' ')
[[ -z "$left" ]] || fail "the uninstaller left its files: $left"
[[ -f "$dir/club.dat" ]] || fail "the uninstaller removed the user's club.dat"
[[ -z "$(regdef "$classes\\tr5-programmer.dat")" ]] || fail "the uninstaller left the .dat file type"
wine reg query 'HKCU\Software\TanagerProgram' /v com >/dev/null 2>&1 || fail "the uninstaller removed the user's settings"
((failed)) || echo "the uninstaller took its files away and left the user's"
rm -rf "$dir"
exit "$failed"
