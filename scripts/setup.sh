#!/usr/bin/env bash
# Installs the build and test dependencies from Debian's packages when any is missing.
set -eu
pkgs="cmake make mingw-w64 g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth imagemagick xdotool googletest"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing" >&2
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
