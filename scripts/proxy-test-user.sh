#!/bin/sh
# Creates (or resets the password of) the system account that the SOCKS5
# username test logs in with: dante checks SOCKS user names against the
# system's own accounts. Needs root; exits 77 otherwise.
set -eu
name=${1:?user name}
pass=${2:?password}
if [ "$(id -u)" != 0 ]; then
    echo "proxy-test-user: creating the system user '$name' needs root" >&2
    exit 77
fi
if ! id "$name" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$name"
fi
echo "$name:$pass" | chpasswd
