#!/usr/bin/env bash
# Exports the ranking of a sample exam as the score query's 导出Excel does, converts the
# workbook to CSV with LibreOffice (headless) and compares it with the list as the screen
# showed it, cell for cell (LibreOffice quotes text and leaves numbers bare, so a score
# that came through as text would show):
#   bash tools/check-xlsx-export.sh [OUTDIR]      (default /tmp/vemo-xlsx-export)
# Takes libreoffice-calc-nogui; not part of the test run, since a LibreOffice start alone
# takes longer than a test should.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-/tmp/vemo-xlsx-export}")
build=$(realpath -m "${BUILD_DIR:-build}")
mkdir -p "$out"
rm -f "$out/ranking.xlsx" "$out/ranking.csv" "$out/converted/ranking.csv"
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target vemo_results_preview -j2 >/dev/null

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
VEMO_PREVIEW_OUT="$out" QT_QPA_PLATFORM=offscreen "$build/tests/vemo_results_preview" xlsx 0
# Comma-separated, text not quoted, UTF-8 (76).
soffice --headless -env:UserInstallation="file://$profile" \
    --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' \
    --outdir "$out/converted" "$out/ranking.xlsx" >/dev/null
if diff -u "$out/ranking.csv" "$out/converted/ranking.csv"; then
    echo "LibreOffice reads $out/ranking.xlsx as the list shown ($(wc -l <"$out/ranking.csv") lines)"
else
    echo "LibreOffice reads $out/ranking.xlsx differently from the list shown" >&2
    exit 1
fi
