#!/usr/bin/env bash
# Installs the build and test dependencies from Debian's packages when any is missing: the
# x86-64 posix-thread mingw-w64 g++ only (the mingw-w64 metapackage would add the i686 and
# win32-thread toolchains too), Wine with its own fonts, Xvfb, GoogleTest's sources and the
# Boost headers (Boost.Regex is header-only).
set -eu
pkgs="cmake make g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xauth imagemagick xdotool googletest libboost1.81-dev"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
if [ "$(id -u)" != 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO=sudo; else
    echo "Missing packages:$missing. Install them as root, then run this again:" >&2
    echo "  apt-get install --no-install-recommends$missing" >&2
    exit 1
  fi
fi
echo "Installing the build and test packages with apt-get (takes a minute or so):$missing" >&2
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
