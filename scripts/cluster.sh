#!/usr/bin/env bash
# A local trial of several order servers behind HAProxy: a throwaway
# PostgreSQL, N server instances (each with its own data directory, sharing
# only the database) and HAProxy in TCP mode with health checks, all on
# loopback. Customers connect to HAProxy's port; HAProxy tells each instance
# the customer's address in a PROXY header (version 2), health checks too.
# Usage: scripts/cluster.sh [--instances N] [--port P|auto] [--build DIR] [COMMAND...]
#   Without COMMAND it runs until Ctrl-C; with one, it runs the command with
#   VINTARO_CLUSTER_PORT (HAProxy) and VINTARO_CLUSTER_PIDS (the instances)
#   set, then stops everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/ports.sh"

instances=2
port=63000
build=${VINTARO_BUILD_DIR:-$root/build}
while [ $# -gt 0 ]; do
    case "$1" in
        --instances) instances=$2; shift 2 ;;
        --port) port=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        *) break ;;
    esac
done

# PostgreSQL first: this script runs again inside with-postgres.sh.
if [ -z "${VINTARO_TEST_PG_URL:-}" ]; then
    exec "$root/scripts/with-postgres.sh" "$0" --instances "$instances" --port "$port" --build "$build" "$@"
fi

server="$build/bin/vintaro-server"
[ -x "$server" ] || { echo "cluster: $server is not built" >&2; exit 1; }
haproxy=$(command -v haproxy || echo /usr/sbin/haproxy)
[ -x "$haproxy" ] || { echo "cluster: HAProxy is not installed (apt-get install haproxy)" >&2; exit 1; }

work=$(mktemp -d /tmp/vintaro-cluster.XXXXXX)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The schema and the first account are made once, before the instances race.
"$server" --data-dir "$work/setup" --db "$VINTARO_TEST_PG_URL" --list-accounts >/dev/null
backends=""
server_pids=""
for i in $(seq 1 "$instances"); do
    # Port 0: the instance takes whatever port is free and says which.
    "$server" --listen 127.0.0.1 --port 0 --data-dir "$work/instance$i" --db "$VINTARO_TEST_PG_URL" --quiet --proxy-protocol \
        >"$work/instance$i.log" 2>&1 &
    pids+=($!)
    server_pids="$server_pids $!"
    for _ in $(seq 1 100); do
        grep -q 'listening on' "$work/instance$i.log" && break
        sleep 0.1
    done
    grep -q 'listening on' "$work/instance$i.log" || { cat "$work/instance$i.log" >&2; exit 1; }
    p=$(sed -n 's/.*listening on [^ ]*:\([0-9]*\),.*/\1/p' "$work/instance$i.log" | head -n 1)
    backends="$backends    server vintaro$i 127.0.0.1:$p send-proxy-v2 check check-send-proxy inter 500ms fall 2 rise 1"$'\n'
    echo "cluster: instance $i (pid $!) on 127.0.0.1:$p"
done

write_haproxy_cfg() {
    cat >"$work/haproxy.cfg" <<CFG
global
    maxconn 4000
defaults
    mode tcp
    timeout connect 3s
    # Customers sit idle between requests for as long as they like.
    timeout client 2h
    timeout server 2h
    retries 3
    option redispatch
frontend customers
    bind 127.0.0.1:$port
    default_backend servers
backend servers
    balance leastconn
$backends
CFG
}

# With --port auto a free port is picked; another program may take it before
# HAProxy binds (HAProxy then exits), so it tries anew.
want_port=$port
for attempt in 1 2 3 4 5; do
    [ "$want_port" = auto ] && port=$(free_port)
    write_haproxy_cfg
    "$haproxy" -db -f "$work/haproxy.cfg" >"$work/haproxy.log" 2>&1 &
    haproxy_pid=$!
    up=""
    for _ in $(seq 1 100); do
        kill -0 "$haproxy_pid" 2>/dev/null || break
        if (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null; then
            sleep 0.3
            kill -0 "$haproxy_pid" 2>/dev/null && up=yes
            break
        fi
        sleep 0.1
    done
    if [ -n "$up" ]; then
        pids+=("$haproxy_pid")
        break
    fi
    kill "$haproxy_pid" 2>/dev/null || true
    wait "$haproxy_pid" 2>/dev/null || true
    if [ "$want_port" != auto ] || [ "$attempt" = 5 ]; then
        cat "$work/haproxy.log" >&2
        exit 1
    fi
done
echo "cluster: HAProxy on 127.0.0.1:$port, store $VINTARO_TEST_PG_URL"

if [ $# -eq 0 ]; then
    echo "cluster: running; Ctrl-C stops it (logs in $work)"
    wait
    exit 0
fi
export VINTARO_CLUSTER_PORT=$port VINTARO_CLUSTER_PIDS=${server_pids# }
set +e
"$@"
status=$?
set -e
exit $status
