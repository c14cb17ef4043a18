#!/usr/bin/env bash
# Builds Vemo, makes a sample data folder (once) and starts the program in it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVEMO_BUILD_TESTS=OFF
cmake --build build-release -j "$(nproc)"

data=${VEMO_DATA:-sample-data}
if [ ! -f "$data/personnel.mdb" ]; then
    ./build-release/tools/vemo-init/vemo-init "$data"
fi
cd "$data"
exec ../build-release/src/vemo
