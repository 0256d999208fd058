#!/usr/bin/env bash
# Creates the project's Wine prefix once (in OP_BUILD_DIR/wineprefix) and sets it up for
# headless use: no window manager, so hidden windows must not wait for one.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
# Wine draws the caption buttons with its Marlett font, which this Wine build does not load from
# fonts-wine by itself (the buttons show "0 1 r"): the prefix gets its own copy.
add_marlett() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d "$fonts" ] && [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
}
if [ -f "$WINEPREFIX/.op-ready" ]; then
  add_marlett
  exit 0
fi
mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.op-ready" ] && exit 0
echo "Creating Wine prefix $WINEPREFIX" >&2
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
add_marlett
touch "$WINEPREFIX/.op-ready"
