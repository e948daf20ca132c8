#!/usr/bin/env bash
# Brings translations/nupew_en.ts up to date with the texts in src/: new texts
# come in unfinished, vanished ones are marked obsolete. Translate them with
# Qt Linguist (linguist) or in the file itself; the build compiles it.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate-qt6 || command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -silent -no-obsolete -locations relative -source-language ja -target-language en src \
  -ts translations/nupew_en.ts
