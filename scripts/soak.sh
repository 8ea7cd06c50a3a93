#!/usr/bin/env bash
# Customers ordering and uploading for SECONDS against one server, or through
# HAProxy (scripts/cluster.sh); prints the server's memory after warm-up and
# at the end.
# Usage: scripts/soak.sh [SECONDS] [--haproxy] [--customers N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VINTARO_BUILD_DIR:-$root/build}
seconds=${1:-60}
[ $# -gt 0 ] && shift
haproxy=no
customers=100
while [ $# -gt 0 ]; do
    case "$1" in
        --haproxy) haproxy=yes; shift ;;
        --customers) customers=$2; shift 2 ;;
        *) echo "usage: $0 [SECONDS] [--haproxy] [--customers N]" >&2; exit 2 ;;
    esac
done
soak="$build/bin/bench_soak"
[ -x "$soak" ] || { echo "soak: $soak is not built" >&2; exit 1; }

if [ "$haproxy" = yes ]; then
    exec env VINTARO_BUILD_DIR="$build" "$root/scripts/cluster.sh" --instances 1 --port auto \
        sh -c 'exec "$0" --port "$VINTARO_CLUSTER_PORT" --pids "$VINTARO_CLUSTER_PIDS" --db "$VINTARO_TEST_PG_URL" --seconds "$1" --customers "$2"' \
        "$soak" "$seconds" "$customers"
fi

work=$(mktemp -d /tmp/vintaro-soak.XXXXXX)
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
"$build/bin/vintaro-server" --data-dir "$work/data" --port 0 --quiet >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do
    grep -q 'listening on' "$work/server.log" && break
    sleep 0.1
done
port=$(sed -n 's/.*listening on [0-9.]*:\([0-9]*\),.*/\1/p' "$work/server.log")
[ -n "$port" ] || { cat "$work/server.log" >&2; exit 1; }
"$soak" --port "$port" --pids "$server_pid" --data-dir "$work/data" --seconds "$seconds" --customers "$customers"
