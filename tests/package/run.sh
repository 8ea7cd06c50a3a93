#!/bin/sh
# Builds the two Debian packages and checks them (lintian, desktop-file-validate,
# systemd-analyze verify), installs them on this machine, runs the installed
# server the way its systemd unit does, logs in, and removes the packages
# again: data kept on remove, gone on purge. Leaves the machine as it was.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
say() { echo "package test: $*"; }
skip() { say "SKIPPED: $*"; exit 0; }
fail() { say "FAILED: $*" >&2; exit 1; }

command -v cpack >/dev/null || skip "cpack is missing"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps (dpkg-dev) is missing"
SUDO=
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || skip "installing packages needs root"
    SUDO=sudo
fi
for p in vintaro vintaro-server; do
    case $(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true) in
        ""|un*) ;;
        *) skip "$p is already installed here (or its configuration is left); not touching it" ;;
    esac
done
[ -e /var/lib/vintaro-server ] && skip "/var/lib/vintaro-server exists; not touching it"

apt() { $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=900 "$@" </dev/null >/dev/null; }
# Purges whichever of the two packages dpkg still knows (a removed client,
# having no settings, is gone already).
purge() {
    known=""
    for p in vintaro vintaro-server; do
        case $(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true) in
            ""|un*) ;;
            *) known="$known $p" ;;
        esac
    done
    # shellcheck disable=SC2086
    [ -z "$known" ] || apt purge $known
}
work=$(mktemp -d /tmp/vintaro-package.XXXXXX)
server=""
had_user=$(getent passwd vintaro-server >/dev/null && echo yes || echo no)
cleanup() {
    [ -n "$server" ] && { $SUDO kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
    purge || true
    if [ "$had_user" = no ] && getent passwd vintaro-server >/dev/null; then
        $SUDO userdel vintaro-server 2>/dev/null || true
        $SUDO groupdel vintaro-server 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$root/scripts/package.sh" "$work/debs" >/dev/null
client_deb=$(ls "$work"/debs/vintaro_*.deb)
server_deb=$(ls "$work"/debs/vintaro-server_*.deb)
version=$(dpkg-deb -f "$client_deb" Version)
say "built $(basename "$client_deb") and $(basename "$server_deb")"

if command -v lintian >/dev/null; then
    lintian --fail-on error "$client_deb" "$server_deb" || fail "lintian reports errors"
    say "lintian: no errors"
else
    say "lintian is missing; not run"
fi
dpkg-deb -x "$client_deb" "$work/client"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$work/client/usr/share/applications/vintaro.desktop" || fail "desktop entry"
    say "desktop entry valid"
fi
# Customers read the menu in Russian: the entry's name and comment must be.
for key in Name Comment; do
    LC_ALL=C.UTF-8 grep -qP "^$key=.*\p{Cyrillic}" "$work/client/usr/share/applications/vintaro.desktop" \
        || fail "desktop entry: $key is not Russian"
done
for size in 16 22 24 32 48 64 128 256; do
    icon="$work/client/usr/share/icons/hicolor/${size}x${size}/apps/vintaro.png"
    [ -s "$icon" ] || fail "no ${size}px icon"
    # Width and height from the PNG header.
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$icon" | tr -s ' ')" = " $size $size" ] || fail "$icon is not ${size}x${size}"
done

apt install --no-install-recommends "$client_deb" "$server_deb"
say "installed"
unit=$(dpkg -L vintaro-server | grep '/vintaro-server\.service$')
for key in User=vintaro-server StateDirectory=vintaro-server NoNewPrivileges=yes ProtectSystem=strict ProtectHome=yes \
    PrivateTmp=yes Restart=on-failure; do
    grep -qx "$key" "$unit" || fail "the unit lacks $key"
done
if command -v systemd-analyze >/dev/null; then
    systemd-analyze verify "$unit" || fail "systemd-analyze verify $unit"
    say "unit verified"
fi

for prog in vintaro vintaro-server vintaro-designate; do
    got=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prog" --version)
    [ "$got" = "$prog $version" ] || fail "$prog --version printed '$got'"
done
getent passwd vintaro-server >/dev/null || fail "no vintaro-server user"
[ "$(stat -c '%U %a' /var/lib/vintaro-server)" = "vintaro-server 750" ] || fail "/var/lib/vintaro-server"
[ "$(stat -c '%U:%G %a' /etc/vintaro-server/server.conf)" = "root:vintaro-server 640" ] || fail "server.conf permissions"

# The operator adds the first account as root, with the installed defaults.
$SUDO vintaro-server --add-user first pw1first | grep -q "account first added" || fail "--add-user"
[ "$(stat -c %U /var/lib/vintaro-server/vintaro.sqlite)" = vintaro-server ] || fail "store not owned by the service"

# The unit's command line, as the unit's user, with the packaged settings.
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
user=$(sed -n 's/^User=//p' "$unit")
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# shellcheck disable=SC2086
(cd / && exec $SUDO setpriv --reuid="$user" --regid="$user" --init-groups --no-new-privs -- \
    $exec_start --port "$port") >"$work/server.log" 2>&1 &
server=$!
i=0
until grep -q "listening on 127.0.0.1:$port, data in /var/lib/vintaro-server" "$work/server.log"; do
    i=$((i + 1))
    [ $i -lt 150 ] && kill -0 "$server" 2>/dev/null || { cat "$work/server.log" >&2; fail "the server did not start"; }
    sleep 0.2
done
if [ -z "$SUDO" ]; then
    [ "$(ps -o uid= -p "$server" | tr -d ' ')" = "$(id -u "$user")" ] || fail "the server does not run as $user"
fi
say "server running as $user on port $port"
/usr/bin/python3 "$root/tests/package/login.py" "$port" first pw1first || fail "login as the first account"
if /usr/bin/python3 "$root/tests/package/login.py" "$port" demo demo123; then fail "a demo account exists"; fi

# Operator commands of the installed program, with the installed settings, on
# the data the running service uses: as the service user and as root.
as_user() { (cd / && $SUDO setpriv --reuid="$user" --regid="$user" --init-groups -- "$@"); }
for cmd in --list-accounts --list-applications --list-orders --list-questionnaires --list-mail; do
    as_user vintaro-server "$cmd" >"$work/cmd.out" 2>&1 || { cat "$work/cmd.out" >&2; fail "$cmd as $user"; }
done
$SUDO vintaro-server --set-email first first@example.com >/dev/null || fail "--set-email"
as_user vintaro-server --list-accounts | grep -q "	first	SNP,PUTG,PUTGm	first@example.com$" || fail "--list-accounts"
as_user vintaro-server --disable-user first >/dev/null || fail "--disable-user as $user"
if /usr/bin/python3 "$root/tests/package/login.py" "$port" first pw1first; then fail "a disabled account logs in"; fi
$SUDO vintaro-server --enable-user first >/dev/null || fail "--enable-user"
/usr/bin/python3 "$root/tests/package/login.py" "$port" first pw1first || fail "login after --enable-user"
say "operator commands work as $user and as root"
$SUDO kill "$server"
wait "$server" || true
server=""

apt remove vintaro vintaro-server
[ ! -e /usr/bin/vintaro-server ] || fail "program left after remove"
[ -f /var/lib/vintaro-server/vintaro.sqlite ] || fail "data gone on remove"
[ -f /etc/vintaro-server/server.conf ] || fail "settings gone on remove"
purge
[ ! -e /var/lib/vintaro-server ] || fail "data left after purge"
[ ! -e /etc/vintaro-server ] || fail "settings left after purge"
say "passed"
