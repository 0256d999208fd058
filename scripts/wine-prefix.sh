#!/usr/bin/env bash
# Creates the project's Wine prefix once (in OP_BUILD_DIR/wineprefix) and sets it up for
# headless use: no window manager, so hidden windows must not wait for one.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
[ -f "$WINEPREFIX/.op-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.op-ready" ] && exit 0
echo "Creating Wine prefix $WINEPREFIX" >&2
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.op-ready"
