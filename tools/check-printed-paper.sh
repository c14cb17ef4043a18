#!/usr/bin/env bash
# Writes the sample paper's document, converts it to PDF with LibreOffice (headless) and
# renders its first page to PNG, to look at what a printer would get:
#   bash tools/check-printed-paper.sh [OUTDIR]      (default /tmp/vemo-printed-paper)
# Takes libreoffice-writer-nogui and poppler-utils; not part of the test run, since a
# LibreOffice start alone takes longer than a test should.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-/tmp/vemo-printed-paper}")
build=$(realpath -m "${BUILD_DIR:-build}")
mkdir -p "$out"
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target vemo_wordpaper_preview vemo-init -j2 >/dev/null

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/tools/vemo-init/vemo-init" "$data/sample" >/dev/null
document=$(cd "$data/sample" && QT_QPA_PLATFORM=offscreen \
    "$build/tests/vemo_wordpaper_preview" --write "$out")
soffice --headless -env:UserInstallation="file://$data/lo-profile" \
    --convert-to pdf --outdir "$out" "$document" >/dev/null
pdf="${document%.docx}.pdf"
pdftoppm -png -r 80 -f 1 -l 1 "$pdf" "$out/page"
echo "document: $document"
echo "pdf:      $pdf ($(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}') pages)"
echo "page 1:   $(ls "$out"/page*1.png)"
