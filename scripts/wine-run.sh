#!/usr/bin/env bash
# Runs a Windows executable under Wine with the project's hermetic prefix.
# CTest uses it as the cross-compiling emulator; the scripts use it too.
# The prefix lives in the build folder: OP_BUILD_DIR, or the folder above the
# executable that holds CMakeCache.txt.
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${OP_BUILD_DIR:-}" ]; then
  d=$(cd "$(dirname "$1")" && pwd)
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  [ -f "$d/CMakeCache.txt" ] || d="$here/../build"
  OP_BUILD_DIR=$d
fi
export OP_BUILD_DIR
source "$here/wine-env.sh"
bash "$here/wine-prefix.sh" >/dev/null || exit 1
out=$(mktemp)
# Output goes to a file, not a pipe: a wineserver started here would hold a pipe open.
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
# A crash can still end with status 0 under Wine: its report counts as a failure.
if grep -q "wine: Unhandled" "$out" && [ "$rc" = 0 ]; then rc=99; fi
rm -f "$out"
exit "$rc"
