#!/usr/bin/env bash
# Renders every window in a known state to PNG files (default: build/shots),
# for the README and for looking at what we build.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/shots}"
cmake -S . -B build -G Ninja -DNUPEW_TOOLS=ON >/dev/null
cmake --build build --target nupew_shots
QT_QPA_PLATFORM=offscreen build/tools/nupew_shots "$out"
rm -rf "$out/work"
ls -1 "$out"
