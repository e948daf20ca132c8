#!/usr/bin/env bash
# Installs the Debian packages Nupew needs for one purpose:
#   scripts/setup-debian.sh play      build and play (the default)
#   scripts/setup-debian.sh test      the above, and what the tests, sanitizers and fuzzers use
#   scripts/setup-debian.sh package   the above for play, and the Debian packaging tools
# Safe to run again: it asks apt only for what is missing, and updates the
# package lists only when something has to be installed.
set -euo pipefail

purpose="${1:-play}"

# Building and running the game: compiler, Qt (with Qt Charts, which needs the
# OpenGL module, and the SQLite driver of Qt SQL for the answer history), its
# Japanese texts, window-system and image plugins, and the fonts the windows are drawn in.
play=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libvulkan-dev
  qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
  qt6-qpa-plugins qt6-translations-l10n qt6-image-formats-plugins
  fonts-ipafont-mincho fonts-ipafont-gothic fontconfig
)
# The tests render printed pages to PNG; the sanitizer and fuzz builds use clang;
# screenshots run under Xvfb.
test=(clang libclang-rt-14-dev poppler-utils xvfb xauth x11-utils)
# Building and checking the .deb.
package=(dpkg-dev file lintian appstream desktop-file-utils man-db binutils)

case "$purpose" in
  play) packages=("${play[@]}") ;;
  test) packages=("${play[@]}" "${test[@]}") ;;
  package) packages=("${play[@]}" "${package[@]}") ;;
  *) echo "setup: unknown purpose '$purpose' (play, test or package)" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all packages for $purpose present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  # sudo drops the environment; pass the frontend through explicitly.
  sudo=(sudo DEBIAN_FRONTEND=noninteractive)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
