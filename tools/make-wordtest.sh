#!/usr/bin/env bash
# Remakes the printed-paper template tools/wordtest/wordtest.docx from its parts in
# tools/wordtest/parts (edit those, then run this and commit both).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target make-wordtest -j2
"$build/tools/wordtest/make-wordtest" tools/wordtest/parts tools/wordtest/wordtest.docx
echo "tools/wordtest/wordtest.docx written"
