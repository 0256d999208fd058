#!/usr/bin/env bash
# Takes the README screenshots: the real program under Wine on its own Xvfb display, opened on
# the demo folder with a numbered prefix and a few conflicts, once in the light and once in the
# dark theme. Writes docs/screenshot-light.png and docs/screenshot-dark.png.
source "$(dirname "$0")/common.sh"
op_build OrvanePallisto >/dev/null
exe="$OP_BUILD_DIR/app/OrvanePallisto.exe"

# A private display, so the shots never depend on (or disturb) the caller's screen.
unset DISPLAY
op_wine

# A short fixed folder, because its path shows in the directory edits and the Target column.
stage=/tmp/orvane-demo
rm -rf "$stage"
mkdir -p "$stage"
trap 'rm -rf "$stage"; [ -n "${_op_xvfb:-}" ] && kill "$_op_xvfb" 2>/dev/null || true' EXIT
bash "$root/scripts/make-demo.sh" "$stage/demo" >/dev/null
mkdir -p "$stage/renamed"
# Wine maps the Unix root to drive Z:; JSON needs each backslash doubled.
json_path() { printf 'Z:%s' "$1" | sed 's|/|\\\\|g'; }

write_settings() {  # folder, dark (true/false)
  cat >"$1/settings.json" <<EOF
{
  "inputDir": "$(json_path "$stage/demo")",
  "outputDir": "$(json_path "$stage/renamed")",
  "sameAsInput": false,
  "mode": 1,
  "prefixType": 1,
  "prefixStart": 1,
  "prefixStep": 1,
  "prefixPad": 3,
  "prefixSep": " - ",
  "search": "_",
  "replace": ":",
  "darkTheme": $2,
  "fontPt": 9,
  "autoSave": false,
  "winW": 1180,
  "winH": 760
}
EOF
}

shoot() {  # theme name, dark (true/false)
  local run="$stage/run-$1"
  mkdir -p "$run"
  cp "$exe" "$run/"
  write_settings "$run" "$2"
  wine "$run/OrvanePallisto.exe" >/dev/null 2>&1 &
  local pid=$! id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name '^Orvane Pallisto$' 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "screenshots: the main window did not appear" >&2; kill "$pid"; exit 1; }
  sleep 2  # let the scan, the preview and the first paint finish
  mkdir -p "$root/docs"
  import -display "$DISPLAY" -window "$id" "$root/docs/screenshot-$1.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  # The next instance must not find this one's window (single instance).
  for _ in $(seq 1 50); do
    [ -z "$(xdotool search --name '^Orvane Pallisto$' 2>/dev/null || true)" ] && break
    sleep 0.2
  done
  echo "docs/screenshot-$1.png"
}

# Conflicts to show: Copy & Rename into a folder that already holds two of the planned names
# ("Target exists", rows 2 and 9 of the name-sorted demo), and a search/replace that puts a ':'
# into every name with a '_' ("Invalid name").
: >"$stage/renamed/002 - Budget 2025.xlsx"
: >"$stage/renamed/009 - meeting notes.txt"

shoot light false
shoot dark true
