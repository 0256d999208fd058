#!/usr/bin/env bash
# Runs screen_tests.exe, which starts the built program, on screens of other sizes and DPIs:
# each on its own Xvfb display as large as the work area a 48 dp taskbar leaves, in a Wine prefix
# of its own whose DPI (LogPixels) is set before the program starts. The prefix is made once.
# Runs alone (RUN_SERIAL): the prefix is shared by the set-ups in turn.
# Usage: screen_setups_test.sh <screen_tests.exe>
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=$1

d=$(cd "$(dirname "$exe")" && pwd)
while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
export OP_BUILD_DIR=${OP_BUILD_DIR:-$d}
export WINEPREFIX="$OP_BUILD_DIR/wineprefix-screens"
source "$root/scripts/wine-env.sh"
unset DISPLAY

start_display() {  # WxH
  local file
  file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do [ -s "$file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$file")"
  rm -f "$file"
}

status=0
# work area, DPI, font size, list rows
for setup in "1366x708 120 12 8" "1920x1008 144 15 8"; do
  read -r area dpi font rows <<<"$setup"
  echo "== $area at $dpi DPI, $font pt"
  start_display "$area"
  bash "$root/scripts/wine-prefix.sh" >/dev/null || exit 1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wineserver -w
  out=$(mktemp)
  OP_SCREEN_FONT=$font OP_SCREEN_ROWS=$rows wine "$exe" --gtest_brief=1 >"$out" 2>&1
  rc=$?
  cat "$out"
  if [ "$rc" != 0 ] || grep -q "wine: Unhandled" "$out"; then status=1; fi
  rm -f "$out"
  wineserver -w
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
done
exit $status
