#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses what a user gets: the
# installed progtool (help, manual page, completion, a read and a write against
# the simulated radio with ports from the user's Program.ini) and the installed
# window program (--help, --version, an offscreen start, and tst_install's
# language change into the user's copy), all as a user who cannot write to the
# program's folder: as root the programs run as "nobody".
# usage: check_install.sh BUILD_DIR TST_INSTALL
set -u
build=$1 tst=$2
p=tr5-programmer
T=$(mktemp -d)
chmod 755 "$T"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  chmod -R u+w "$T" 2>/dev/null; rm -rf "$T"
}
trap cleanup EXIT
passed=0 failed=0
ok() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { if "${@:2}"; then ok; else fail "$1"; fi; }

prefix=$T/prefix progdir=$T/prefix/lib/$p
cmake --install "$build" --prefix "$prefix" >"$T/install.log" 2>&1 || { cat "$T/install.log"; fail "cmake --install"; exit 1; }
chmod -R a-w "$progdir"
mkdir -p "$T/home" "$T/config" "$T/work"
as_user=(env -u XDG_CONFIG_HOME HOME="$T/home" XDG_CONFIG_HOME="$T/config" XDG_CACHE_HOME="$T/home/.cache")
if [[ $(id -u) -eq 0 ]]; then
  chown -R 65534:65534 "$T/home" "$T/config" "$T/work"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_user[@]}")
fi
run() { (cd "$T/work" && "${as_user[@]}" "$@"); }
PT=$prefix/bin/progtool
user_ini=$T/config/$p/Program.ini

# ---- the desktop files -------------------------------------------------------------
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate" desktop-file-validate "$prefix/share/applications/com.tanagerradioworks.tr5programmer.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate-tree --no-net "$prefix" >"$T/appstream.txt" 2>&1 || { cat "$T/appstream.txt"; fail "appstreamcli validate-tree"; }
fi
if command -v update-mime-database >/dev/null; then
  # The file type is known by its name only, at a weight any other *.dat type beats.
  cp -r "$prefix/share/mime" "$T/mime" && update-mime-database "$T/mime" 2>/dev/null
  check "*.dat is a radio image by name" grep -q "^10:application/x-tr5-radio-image:\*\.dat$" "$T/mime/globs2"
  check "no magic for radio images" bash -c '! grep -q x-tr5 "$1"' _ "$T/mime/magic"
fi

# ---- progtool: help, the manual page, completion -------------------------------
commands=$(run "$PT" --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on { print $1 }')
check "progtool --help lists commands" test -n "$commands"
MANWIDTH=200 man --warnings -l "$prefix/share/man/man1/progtool.1.gz" >"$T/man.txt" 2>"$T/man.err"
check "man -l progtool.1 renders" test -s "$T/man.txt"
check "man -l progtool.1 gives no warnings" test ! -s "$T/man.err"
for c in $commands; do
  grep -qE "^   $c\$" "$T/man.txt" || fail "the manual page lacks the command $c"
  # Every option the command's help names is in the page.
  for o in $(run "$PT" "$c" --help | grep -oE -- "(^|[[ (])--?[a-zA-Z][a-zA-Z0-9-]*" | sed -E 's/^[[ (]//' | sort -u); do
    grep -qF -- "$o" "$T/man.txt" && ok || fail "the manual page lacks $c $o"
  done
done
for page in man1/$p.1.gz zh_CN/man1/$p.1.gz; do
  LANG=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/$page" >"$T/page.txt" 2>"$T/page.err"
  check "man -l $page renders without warnings" test -s "$T/page.txt" -a ! -s "$T/page.err"
done

complete_() {  # complete_ WORDS...: what Tab offers after the last word
  PATH=$prefix/bin:$PATH bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _progtool
                                  echo "${COMPREPLY[*]}"' _ "$prefix/share/bash-completion/completions/progtool" "$@"
}
check "completion of commands" test "$(complete_ progtool '')" = "$(echo $commands) --help --version"
check "completion of sh" test "$(complete_ progtool sh)" = "show"
check "completion of --f" test "$(complete_ progtool export x.dat --f)" = "--force --format"
check "completion of --format's values" test "$(complete_ progtool export x.dat --format '')" = "grid chirp"
check "completion of --power's values" test "$(complete_ progtool export x.dat --power '')" = "words watts"
check "completion of ports" test "$(complete_ progtool read --port '')" = "COM1 COM2 COM3 COM4"
check "completion of --stock's lists" grep -qw marine-vhf <<<"$(complete_ progtool import --stock '')"
run "$PT" stock >"$T/stock.txt" 2>&1
check "progtool in bin/ finds the stock lists under lib/" grep -qF "stock lists in $progdir/stock:" "$T/stock.txt"

# ---- progtool: ports from the user's copy, a read and a write ------------------
run "$PT" ports >"$T/ports.txt" 2>&1
check "without a user copy COM1 is the installed one" grep -q "^COM1  /dev/ttyUSB0 " "$T/ports.txt"
sample=$prefix/share/$p/sample.dat
"${as_user[@]}" "$PT" simulate --image "$sample" --save "$T/work/after.dat" --link "$T/work/radio" >"$T/radio.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -L "$T/work/radio" ]] && break; sleep 0.1; done
mkdir -p "$T/config/$p"
sed -e "s|^COM1=.*|COM1=$T/work/radio|" "$progdir/Program.ini" >"$user_ini"
[[ $(id -u) -eq 0 ]] && chown -R 65534:65534 "$T/config"
run "$PT" read --port COM1 -o "$T/work/read.dat" >"$T/read.txt" 2>&1
check "read through COM1 of the user's copy" grep -q "COM1 ($T/work/radio)" "$T/read.txt"
check "read gives the radio's image" cmp -s "$T/work/read.dat" "$sample"
run "$PT" new "$T/work/new.dat" >/dev/null 2>&1
run "$PT" write --port COM1 "$T/work/new.dat" --verify >"$T/write.txt" 2>&1
check "write --verify" grep -q "verify: 0x0000-0x1FF5 match" "$T/write.txt"
kill -INT "${pids[0]}"; wait "${pids[0]}"; pids=()
check "the radio holds the written image" cmp -s <(head -c $((0x1FF6)) "$T/work/after.dat") <(head -c $((0x1FF6)) "$T/work/new.dat")
rm -f "$user_ini"

# ---- the window program ----------------------------------------------------------
# No display is needed for --version and --help.
run env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$p" --version >"$T/version.txt" 2>&1
check "$p --version names $p" grep -qx "$p [0-9.]*" "$T/version.txt"
run env QT_QPA_PLATFORM=offscreen "$prefix/bin/$p" --colour "$T/work/x.dat" >"$T/unknown.txt" 2>&1
status=$?
check "$p refuses an unknown option (status $status)" test $status -eq 2
check "$p tells the unknown option and its usage" grep -qF -e 'unknown option "--colour"' "$T/unknown.txt"
check "$p --colour prints the usage" grep -qF "usage: $p [OPTION] [FILE.dat]" "$T/unknown.txt"
run env -u DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$p" --help >"$T/help.txt" 2>&1
check "Program --help names the installed profile" grep -qF "read from $progdir/Program.ini" "$T/help.txt"
check "Program --help names the user's copy" grep -qF "saved to $user_ini" "$T/help.txt"
# Started from the launcher it runs from its own folder until stopped.
run env QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/$p" "$sample" >"$T/start.txt" 2>&1
status=$?
check "the installed window starts and keeps running (status $status)" test $status -eq 124
check "the window reports nothing on start" bash -c '! grep -q "^Program:" "$1"' _ "$T/start.txt"
check "the program's folder is unchanged" test "$(find "$progdir" -newer "$T/install.log" | wc -l)" -eq 0

cp "$tst" "$T/work/tst_install"
run env QT_QPA_PLATFORM=offscreen PROG_INSTALLED_DIR="$progdir" ./tst_install >"$T/tst.txt" 2>&1
check "tst_install" grep -q "^Totals: .* 0 failed" "$T/tst.txt" || cat "$T/tst.txt"
grep -q "^Totals:" "$T/tst.txt" && grep "^Totals:" "$T/tst.txt"

echo "$passed passed, $failed failed"
((failed == 0))
