#!/usr/bin/env bash
# Builds the program and makes its packages: a .deb (dependencies read off the
# binaries by dpkg-shlibdeps) and a .tar.gz of the installed tree, both in
# BUILD/packages/. usage: scripts/package.sh [BUILD]   (default: build)
# With --windows: progtool cross-built for Windows (build-win, MinGW-w64) as a
# .zip and an NSIS installer in build-win/packages/.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ "${1:-}" == "--windows" ]]; then
  build=$(realpath -m build-win)
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
  cmake --build "$build" -j2 --target progtool
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
