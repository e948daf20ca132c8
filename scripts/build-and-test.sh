#!/usr/bin/env bash
# Sets up the Debian packages, builds Nupew and runs every test.
# Usage: scripts/build-and-test.sh [build-folder] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
build="${1:-build}"
shift || true
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure
