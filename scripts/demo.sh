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

# A local authority and a server certificate for this machine, made once, so
# the demo runs encrypted like a real installation.
tls=$data/tls
if [ ! -s "$tls/server.pem" ] || [ ! -s "$tls/server.key" ] || [ ! -s "$tls/ca.pem" ]; then
    mkdir -p "$tls"
    (
        umask 077
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Vintaro demo CA" \
            -keyout "$tls/ca.key" -out "$tls/ca.pem" 2>/dev/null
        openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
            -keyout "$tls/server.key" -out "$tls/server.csr" 2>/dev/null
        printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\n' > "$tls/server.ext"
        openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.pem" -CAkey "$tls/ca.key" -CAcreateserial \
            -days 825 -extfile "$tls/server.ext" -out "$tls/server.pem" 2>/dev/null
    )
    echo "Made a demo certificate authority and server certificate in $tls"
fi

"$build/bin/vintaro-server" --listen 127.0.0.1 --port 63000 --data-dir "$data" \
    --tls-cert "$tls/server.pem" --tls-key "$tls/server.key" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT INT TERM
sleep 1
echo "Demo account: user 'demo', password 'demo123'"
echo "Mail (documents, requests to the order desk) is written as .eml files to $data/mail"
"$build/bin/vintaro" --host 127.0.0.1 --port 63000 --tls --ca "$tls/ca.pem"
