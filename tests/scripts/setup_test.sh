#!/usr/bin/env bash
# scripts/setup.sh as a newcomer meets it, with stand-ins for dpkg-query, id, sudo and apt-get
# on a PATH of their own: what it prints with a package missing, as a user without sudo and as
# root, and that it says what it installs before apt-get runs.
set -u
setup=$(cd "$(dirname "$0")/../../scripts" && pwd)/setup.sh
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
for tool in grep cat; do ln -s "$(command -v $tool)" "$fake/$tool"; done
printf '#!/bin/sh\n[ "$3" = xvfb ] && exit 1\necho "install ok installed"\n' >"$fake/dpkg-query"
printf '#!/bin/sh\necho "$OP_FAKE_UID"\n' >"$fake/id"
printf '#!/bin/sh\necho "apt-get $*" >>"%s/log"\n' "$fake" >"$fake/apt-get"
chmod +x "$fake"/dpkg-query "$fake"/id "$fake"/apt-get
failed=0
expect() {  # name, expected, actual
  if [ "$2" != "$3" ]; then
    printf 'FAILED %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    failed=1
  fi
}

out=$(OP_FAKE_UID=1000 PATH="$fake" /bin/bash "$setup" 2>&1; echo "exit $?")
expect "user without sudo" "Missing packages: xvfb. Install them as root, then run this again:
  apt-get install --no-install-recommends xvfb
exit 1" "$out"

out=$(OP_FAKE_UID=0 PATH="$fake" /bin/bash "$setup" 2>&1 && cat "$fake/log"; echo "exit $?")
expect "root" "Installing the build and test packages with apt-get (takes a minute or so): xvfb
apt-get update -qq
apt-get install -y -qq --no-install-recommends xvfb
exit 0" "$out"
[ $failed = 0 ] && echo "setup.sh: both cases pass"
exit $failed
