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
# Japanese texts, the Linguist tools that compile our English translation,
# window-system and image plugins, the fonts the windows are drawn in,
# and for reading aloud the speech synthesizer with its dictionary and the
# PulseAudio client library (PulseAudio or PipeWire plays it) and FLAC, which
# packs the rendered verses in their cache.
play=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-l10n-tools libgl-dev libvulkan-dev
  qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite
  qt6-qpa-plugins qt6-translations-l10n qt6-image-formats-plugins
  fonts-ipafont-mincho fonts-ipafont-gothic fontconfig
  libpulse-dev libflac-dev open-jtalk open-jtalk-mecab-naist-jdic
)
# The voice that reads the verses aloud lives in Debian's contrib component,
# which many machines do not list; it is fetched through a private source list
# (see install_voice below) and never by editing /etc/apt.
voice=hts-voice-nitech-jp-atr503-m001
# The tests render printed pages to PNG; the sanitizer and fuzz builds use clang;
# CI checks the layout with clang-format; screenshots run under Xvfb.
# The voice tests play through a private PulseAudio server with a null sink and
# record what reached it.
test=(clang clang-format libclang-rt-14-dev poppler-utils xvfb xauth x11-utils pulseaudio pulseaudio-utils)
# Building and checking the .deb.
package=(dpkg-dev file lintian appstream desktop-file-utils man-db binutils)

case "$purpose" in
  play) packages=("${play[@]}") ;;
  test) packages=("${play[@]}" "${test[@]}") ;;
  package) packages=("${play[@]}" "${package[@]}") ;;
  *) echo "setup: unknown purpose '$purpose' (play, test or package)" >&2; exit 2 ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ] && installed "$voice"; then
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

export DEBIAN_FRONTEND=noninteractive
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The system's own Debian archive: address, release and key of the first entry
# for the main suite (not -updates or -security), from either source format.
debian_archive() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -r "$f" ] || continue
    awk '
      function flush() {
        if (uri != "" && suite != "" && !done) { print uri, suite, key; done = 1 }
        uri = ""; suite = ""; key = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^URIs:/ { for (i = 2; i <= NF; i++) if ($i ~ /debian\/?$/ && $i !~ /security/) { uri = $i; break } }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i !~ /-/) { suite = $i; break } }
      /^Signed-By:/ { key = $2 }
      END { flush() }
    ' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -r "$f" ] || continue
    awk '$1 == "deb" {
      i = 2; opts = ""
      if ($i ~ /^\[/) { while ($i !~ /\]$/) { opts = opts " " $i; i++ } opts = opts " " $i; i++ }
      if ($i ~ /debian\/?$/ && $i !~ /security/ && $(i + 1) !~ /-/) {
        key = ""
        if (match(opts, /signed-by=[^] ]+/)) key = substr(opts, RSTART + 10, RLENGTH - 10)
        print $i, $(i + 1), key
      }
    }' "$f"
  done
}

if ! installed "$voice"; then
  read -r uri suite key < <(debian_archive | head -n 1) || true
  if [ -z "${uri:-}" ]; then
    echo "setup: no Debian archive found in /etc/apt; reading aloud needs the package $voice (contrib)" >&2
    exit 1
  fi
  private=$(mktemp -d)
  trap 'rm -rf "$private"' EXIT
  mkdir -p "$private/lists/partial"
  if [ -n "${key:-}" ]; then
    echo "deb [signed-by=$key] $uri $suite main contrib" >"$private/sources.list"
  else
    echo "deb $uri $suite main contrib" >"$private/sources.list"
  fi
  chmod -R a+rX "$private"
  apt_private=(-o "Dir::Etc::SourceList=$private/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o "Dir::State::Lists=$private/lists")
  echo "setup: installing $voice from $uri $suite contrib (a private source list; /etc/apt is left as it is)"
  "${sudo[@]}" apt-get "${apt_private[@]}" update -qq
  "${sudo[@]}" apt-get "${apt_private[@]}" install -y -qq --no-install-recommends "$voice"
fi
