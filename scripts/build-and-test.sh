#!/usr/bin/env bash
# Sets up the Debian packages, builds Nupew with its tests and runs every test.
# Usage: scripts/build-and-test.sh [build-folder] [extra cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh test
build="${1:-build}"
shift || true
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUPEW_TESTS=ON "$@"
cmake --build "$build"
# A build without tests must fail here, not pass with nothing run.
ctest --test-dir "$build" --output-on-failure --no-tests=error
