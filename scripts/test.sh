#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine (starting Xvfb when there is no display).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export OP_BUILD_DIR=${OP_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
source "$root/scripts/wine-env.sh"
source "$root/scripts/xvfb.sh"
# A wineserver left from an earlier run may hold a display that is gone: start afresh.
wineserver -k 2>/dev/null || true
bash "$root/scripts/wine-prefix.sh"
wineserver -p60
cd "$OP_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" "$@"
