#!/usr/bin/env bash
# Builds the Debian package of Nupew into build-package/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DNUPEW_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-package
(cd build-package && cpack)
ls -1 build-package/*.deb
