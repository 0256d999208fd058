#!/usr/bin/env bash
# Builds the program (only its exe, not the tests) and launches it under Wine. On the first
# launch (no settings.json beside the exe) it points the program at a small demo folder. Without
# a display it runs under Xvfb, saves a screenshot to $OP_BUILD_DIR/screenshots/run.png, closes
# the window and exits.
source "$(dirname "$0")/common.sh"
op_build OrvanePallisto

exe="$OP_BUILD_DIR/app/OrvanePallisto.exe"
settings="$OP_BUILD_DIR/app/settings.json"
if [ ! -f "$settings" ]; then
  demo=$(bash "$root/scripts/make-demo.sh" "$OP_BUILD_DIR/demo")
  # Wine maps the Unix root to drive Z:. JSON needs each backslash doubled.
  json_path="Z:$(printf '%s' "$demo" | sed 's|/|\\\\|g')"
  # A numbered prefix, so the preview shows new names at once.
  printf '{\n  "inputDir": "%s",\n  "prefixType": 1,\n  "prefixSep": "_"\n}\n' "$json_path" >"$settings"
  echo "First launch: demo files in $demo"
fi

# On the caller's display: just launch it.
shown=${DISPLAY:-}
if [ -n "$shown" ]; then
  op_wine
  exec wine "$exe"
fi
# A server left by test.sh (kept alive a minute) holds a display that is gone: end it first.
op_wine fresh

wine "$exe" >/dev/null 2>&1 &
app=$!
window=""
for _ in $(seq 1 150); do
  window=$(xdotool search --name '^Orvane Pallisto$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
if [ -z "$window" ]; then
  echo "The main window did not appear." >&2
  kill "$app" 2>/dev/null || true
  exit 1
fi
sleep 2  # let the first paint finish
mkdir -p "$OP_BUILD_DIR/screenshots"
shot="$OP_BUILD_DIR/screenshots/run.png"
import -display "$DISPLAY" -window root "$shot"
echo "Screenshot: $shot"

# Alt+F4 reaches the window procedure as a normal close (which saves settings.json).
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt+F4 2>/dev/null || true
for _ in $(seq 1 50); do
  kill -0 "$app" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$app" 2>/dev/null; then
  echo "The window did not close; stopping it." >&2
  wineserver -k || true
fi
wait "$app" 2>/dev/null || true
wineserver -w || true
