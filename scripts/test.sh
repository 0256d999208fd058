#!/usr/bin/env bash
# Sets up, builds everything and runs every test under Wine (starting Xvfb when there is no
# display). Arguments go to ctest, e.g. -R engine.
source "$(dirname "$0")/common.sh"
op_build
op_wine fresh
wineserver -p60 2>/dev/null || true  # already running: keep it
cd "$OP_BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" "$@"
