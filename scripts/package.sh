#!/usr/bin/env bash
# Builds the program and makes its packages: a .deb (dependencies read off the
# binaries by dpkg-shlibdeps) and a .tar.gz of the installed tree, both in
# BUILD/packages/. usage: scripts/package.sh [BUILD]   (default: build)
# With --windows: the window program and progtool cross-built for Windows
# (build-win, MinGW-w64, Qt from scripts/build-qt-windows.sh) as a .zip and an
# NSIS installer in build-win/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == "--windows" ]]; then
  build=$(realpath -m build-win)
  qt=$(scripts/build-qt-windows.sh | tail -1)
  if [[ -f "$build/CMakeCache.txt" ]] && ! grep -q 'mingw-w64-qt.cmake' "$build/CMakeCache.txt"; then
    rm -rf "$build"
  fi
  [[ -f "$build/CMakeCache.txt" ]] ||
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-qt.cmake" -DPROG_QT_WINDOWS="$qt" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2
  rm -rf "$build/packages"
  (cd "$build" && cpack --config CPackConfig.cmake -B "$build/packages" >/dev/null)
  rm -rf "$build/packages/_CPack_Packages"
  ls -1 "$build"/packages/*.zip "$build"/packages/*.exe
  exit 0
fi
build=$(realpath -m "${1:-build}")

[[ -f "$build/CMakeCache.txt" ]] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2
rm -rf "$build/packages"
# cpack reads the configuration the build tree was given; its staging stays in packages/.
(cd "$build" && cpack --config CPackConfig.cmake -B "$build/packages" >/dev/null)
rm -rf "$build/packages/_CPack_Packages"
ls -1 "$build"/packages/*.deb "$build"/packages/*.tar.gz
