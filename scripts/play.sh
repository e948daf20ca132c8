#!/usr/bin/env bash
# Sets up the Debian packages, builds Nupew and starts the game in the folder
# given (default: ./play), where it keeps its settings and records.
# Playing has a build folder of its own, so it never changes the test build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh play
cmake -S . -B build-play -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUPEW_TESTS=OFF
cmake --build build-play --target nupew nupew_pictures
folder="${1:-play}"
mkdir -p "$folder"
cp -n assets/ichirun.txt "$folder/" 2>/dev/null || true
cd "$folder"
exec "$OLDPWD/build-play/src/app/nupew"
