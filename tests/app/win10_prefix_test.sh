#!/usr/bin/env bash
# Runs the start-up and launch tests again in a second Wine prefix set to Windows 10
# (build 18362): there the dark-mode ordinals would be looked up by build number alone, yet
# Wine's uxtheme lacks 133 and 135 and its 104 is another function. The prefix is made once.
# Usage: win10_prefix_test.sh <startup_tests.exe> <main_tests.exe>
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
d=$(cd "$(dirname "$1")" && pwd)
while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
export OP_BUILD_DIR=${OP_BUILD_DIR:-$d}
export WINEPREFIX="$OP_BUILD_DIR/wineprefix-win10"
source "$root/scripts/wine-env.sh"
[ -n "${DISPLAY:-}" ] || source "$root/scripts/xvfb.sh"

mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.op-win10" ]; then
    echo "Creating Windows 10 Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine winecfg /v win10 >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.op-win10"
  fi
) 9>"$WINEPREFIX.lock"

status=0
for exe in "$@"; do
  out=$(mktemp)
  OP_EXPECT_BUILD=18362 wine "$exe" --gtest_brief=1 >"$out" 2>&1
  rc=$?
  cat "$out"
  if [ "$rc" != 0 ] || grep -q "wine: Unhandled" "$out"; then status=1; fi
  rm -f "$out"
done
wineserver -w
exit $status
