#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, test and package the
# program (rsvg-convert draws the icons; man, lintian, appstreamcli and
# desktop-file-validate check the installed tree and the .deb; clang, its
# sanitizer and libFuzzer runtime and llvm-symbolizer build and run the fuzz
# targets; clang-format checks the sources' format; MinGW-w64, Wine and NSIS
# cross-build Qt for Windows, the window, progtool and their tests and run
# them; Wine draws text with fonts-wine and fonts-liberation; Xvfb, xdotool
# and ImageMagick drive the Windows window and picture it; ccache keeps
# compiled objects between runs).
# With --screenshots it also installs the CJK fonts and X tools that
# scripts/screenshot.sh needs besides (the tests never need them).
set -euo pipefail

packages=(
  build-essential cmake g++ pkg-config
  clang clang-format libclang-rt-14-dev llvm
  libgtest-dev googletest
  qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools
  libgl-dev
  qt6-translations-l10n
  poppler-utils fonts-dejavu-core fonts-wqy-microhei
  librsvg2-bin man-db dpkg-dev lintian appstream desktop-file-utils
  g++-mingw-w64-x86-64-posix wine wine64 nsis fonts-wine fonts-liberation ninja-build
  xvfb xauth xdotool imagemagick ccache
)
if [[ "${1:-}" == "--screenshots" ]]; then
  packages+=(x11-apps fonts-noto-cjk)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  SUDO="sudo"
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
