#!/usr/bin/env bash
# Fuzzes both workbook readers and the XML scanner under the .xlsx reader for a fixed
# number of executions each, with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer. Not part of the tests.
#
# Usage: scripts/fuzz.sh [RUNS]      (default 100000 executions per target;
#                                    READERS="xls" runs only that target)
#
# The corpus starts from the test workbooks; for the .xlsx reader also from copies
# stored without compression, for the scanner from the XML parts of the workbooks (a
# changed byte inside a zip mostly fails its checksum before any XML is read). Inputs
# that crash or trip a sanitizer are left in build-fuzz/ as crash-* files and the
# script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS="${1:-100000}"

bash scripts/install-deps.sh
if ! command -v clang++ >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends clang
fi

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVEMO_BUILD_FUZZERS=ON -DVEMO_BUILD_TESTS=OFF
cmake --build build-fuzz -j "$(nproc)" --target vemo_fuzz_xlsx vemo_fuzz_xls vemo_fuzz_xml

corpus=build-fuzz/corpus
mkdir -p "$corpus/xlsx" "$corpus/xls" "$corpus/xml"
cp tests/data/*.xlsx "$corpus/xlsx/"
cp tests/data/*.xls tests/data/examinees.xlsx "$corpus/xls/"
if command -v python3 >/dev/null; then
    python3 - "$corpus/xlsx" "$corpus/xml" <<'PY'
import pathlib, sys, zipfile
folder, parts = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
for source in sorted(folder.glob("*.xlsx")):
    if source.name.startswith("stored-"):
        continue
    with zipfile.ZipFile(source) as packed, \
         zipfile.ZipFile(folder / ("stored-" + source.name), "w", zipfile.ZIP_STORED) as stored:
        for item in packed.infolist():
            stored.writestr(item.filename, packed.read(item))
            if item.filename.endswith(".xml") and item.file_size <= 65536:
                name = source.stem + "-" + item.filename.replace("/", "-")
                (parts / name).write_bytes(packed.read(item))
PY
fi

# Faults inside the system's FreeXL, which this project cannot mend, are silenced (see the files).
export ASAN_OPTIONS="suppressions=$PWD/fuzz/freexl-asan.supp"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/freexl-lsan.supp"
cd build-fuzz
for reader in ${READERS:-xlsx xls xml}; do
    echo "== $reader: $RUNS executions"
    "./fuzz/vemo_fuzz_$reader" -runs="$RUNS" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "corpus/$reader"
done
