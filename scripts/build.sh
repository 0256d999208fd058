#!/usr/bin/env bash
# Configures and builds everything (exe, tests, benchmarks) into build/ (or $OP_BUILD_DIR).
source "$(dirname "$0")/common.sh"
op_build
