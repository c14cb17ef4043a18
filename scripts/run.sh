#!/usr/bin/env bash
# Builds Vemo, makes a sample data folder (once) and starts the program in it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVEMO_BUILD_TESTS=OFF
cmake --build build-release -j "$(nproc)"

# VEMO_DATA names another data folder, relative to this folder or absolute.
root=$(pwd)
data=${VEMO_DATA:-sample-data}
if [ ! -f "$data/personnel.mdb" ]; then
    "$root/build-release/tools/vemo-init/vemo-init" "$data"
fi
cd "$data"
# Returns only when the program is closed.
exec "$root/build-release/src/vemo"
