#!/usr/bin/env bash
# Builds the Debian package of Nupew into build-package/ and checks it: lintian
# must report no error and no warning, the AppStream metadata and the desktop
# entry must validate.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh package
# Debian's hardening flags (fortify, stack protector, relro, bindnow).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DNUPEW_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DNUPEW_INSTALL_BINDIR=games
cmake --build build-package
rm -f build-package/*.deb
(cd build-package && cpack)
deb=$(ls -1 build-package/*.deb)
echo "== lintian =="
lintian --fail-on error,warning --info "$deb"
echo "== appstreamcli =="
appstreamcli validate --no-net packaging/org.nupew.Nupew.metainfo.xml
echo "== desktop-file-validate =="
desktop-file-validate build-package/packaging/org.nupew.Nupew.desktop
echo "$deb"
