#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (MinGW-w64, shared DLLs) from Debian's own
# qtbase source package, the same version as the host's Qt, and installs it in
# a cache folder outside the checkout. A cache that is complete makes this a
# no-op, so scripts/test.sh can call it every run.
#   scripts/build-qt-windows.sh            # build when needed; prints the prefix last
#   scripts/build-qt-windows.sh --prefix   # prints the prefix it would use, builds nothing
# The cache is ${PROG_QT_WIN_CACHE:-${XDG_CACHE_HOME:-~/.cache}/tr5-programmer},
# keyed by Qt's version and the options below. The modules built: Core, Gui,
# Widgets, PrintSupport and Test (the window tests run for Windows too).
set -euo pipefail

version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  { echo "build-qt-windows: qt6-base-dev is not installed (scripts/install-deps.sh)" >&2; exit 1; }
qtver=${version%%+*}  # 6.4.2+dfsg-10 -> 6.4.2

# Debian's repack removes src/3rdparty/wintab and sqlite: no tablet events and no
# SQL. Direct2D stays on: without it Qt6PrintSupport.dll does not link in 6.4.
# The program reads only PNG and ICO images: no JPEG or GIF readers to compile.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_sql=OFF -DFEATURE_testlib=ON
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
)
# Qt is built with the MinGW-w64 posix compilers and a shared runtime, which the
# program's DLLs then share (cmake/mingw-w64-qt.cmake builds the program).
toolchain='set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)'
key=$(printf '%s\n' "$version" "${options[@]}" "$toolchain" | sha256sum | cut -c1-12)
cache=${PROG_QT_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tr5-programmer}
prefix="$cache/qt-$qtver-mingw-$key"

if [[ "${1:-}" == "--prefix" ]]; then
  echo "$prefix"
  exit 0
fi
if [[ -f "$prefix/.complete" ]]; then
  echo "$prefix"
  exit 0
fi

started=$(date +%s)
work="$cache/work-$qtver-$key"
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/sources"

# A private apt state whose deb-src entries are the machine's own deb entries:
# the machine's sources, lists and caches stay as they are.
for f in /etc/apt/sources.list.d/*.sources; do
  [[ -f "$f" ]] || continue
  sed 's/^Types:.*/Types: deb-src/' "$f" >"$work/apt/sources/$(basename "$f")"
done
if [[ -f /etc/apt/sources.list ]]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$work/apt/sources/list.list"
fi
[[ -n "$(ls "$work/apt/sources")" ]] || { echo "build-qt-windows: no apt sources to derive deb-src from" >&2; exit 1; }
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources"
  -o Dir::State::Lists="$work/apt/lists" -o Dir::Cache="$work/apt/cache" -o Debug::NoLocking=1)
mkdir -p "$work/apt/cache/archives/partial"
echo "== qtbase $version source (apt-get source qt6-base)"
apt-get "${apt_opts[@]}" -q update >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
(cd "$work" && apt-get "${apt_opts[@]}" -q source "qt6-base=$version" >>"$work/apt.log" 2>&1) ||
  { cat "$work/apt.log"; exit 1; }
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
[[ -d "$src" ]] || { echo "build-qt-windows: the source did not unpack (see $work/apt.log)" >&2; exit 1; }

echo "== configure (the host's Qt tools in /usr)"
printf '%s\n' "$toolchain" >"$work/toolchain.cmake"
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
  "${options[@]}" >"$work/configure.log" 2>&1 || { tail -40 "$work/configure.log"; exit 1; }

echo "== build (about 950 files; 20-30 minutes on two cores)"
# GCC prints thousands of harmless dllimport warnings: only a failure is shown.
if ! cmake --build "$work/build" -j"${PROG_JOBS:-2}" >"$work/build.log" 2>&1; then
  grep -A20 '^FAILED:' "$work/build.log" | head -60 || tail -40 "$work/build.log"
  exit 1
fi
cmake --install "$work/build" >"$work/install.log" 2>&1 || { tail -20 "$work/install.log"; exit 1; }
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport Qt6Test; do
  [[ -f "$prefix/bin/$dll.dll" ]] || { echo "build-qt-windows: $dll.dll was not built" >&2; exit 1; }
done
[[ -f "$prefix/plugins/platforms/qwindows.dll" ]] || { echo "build-qt-windows: no Windows platform plugin" >&2; exit 1; }
echo "$version" >"$prefix/.complete"
rm -rf "$work"
echo "== Qt $qtver for Windows built in $(($(date +%s) - started)) s"
echo "$prefix"
