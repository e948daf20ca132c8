#!/usr/bin/env bash
# Sets up the Debian packages, builds Nupew and starts the game in the folder
# given (default: ./play), where it keeps its settings and records.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNUPEW_TESTS=OFF
cmake --build build --target nupew
folder="${1:-play}"
mkdir -p "$folder"
cp -n assets/ichirun.txt "$folder/" 2>/dev/null || true
cd "$folder"
exec "$OLDPWD/build/src/app/nupew"
