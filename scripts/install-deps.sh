#!/bin/sh
# Installs the Debian packages the build, the tests and the demo need.
# Every file in scripts/deps.d lists packages, one per line.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
pkgs=$(cat "$here"/deps.d/*.txt | sed 's/#.*//' | tr -s ' \n' '\n' | grep -v '^$' | sort -u)

missing=""
for p in $pkgs; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
echo "Installing:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing </dev/null
