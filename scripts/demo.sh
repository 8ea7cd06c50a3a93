#!/bin/sh
# Installs what is missing, builds, starts a local order server with a demo
# account and opens the client against it. The server stops with the client.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VINTARO_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

data=${VINTARO_DEMO_DATA:-$root/.demo-data}
mkdir -p "$data"
"$build/bin/vintaro-server" --listen 127.0.0.1 --port 63000 --data-dir "$data" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT INT TERM
sleep 1
echo "Demo account: user 'demo', password 'demo123'"
echo "Mail (documents, requests to the order desk) is written as .eml files to $data/mail"
"$build/bin/vintaro" --host 127.0.0.1 --port 63000
