#!/bin/sh
# Installs what is missing, builds, and runs every test.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VINTARO_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
# The proxy tests need an address Qt does not treat as loopback (Qt never
# proxies loopback connections); give the machine one if it has none.
if [ "$(id -u)" -eq 0 ] && ! ip -4 addr show scope global 2>/dev/null | grep -q inet; then
    ip addr add 198.18.0.1/32 dev lo 2>/dev/null || true
fi
cd "$build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j "$(nproc)" </dev/null

# The server suites again, this time against a throwaway PostgreSQL.
"$root/scripts/with-postgres.sh" ctest -R '^tst_server' --output-on-failure </dev/null

# A short soak against one server, and through HAProxy.
"$root/scripts/soak.sh" 20 </dev/null && "$root/scripts/soak.sh" 20 --haproxy </dev/null

# Every fuzz target briefly, so the targets keep building and the corpus passes.
"$root/scripts/fuzz.sh" 15 </dev/null

# Both Debian packages: built, checked, installed, run and removed again.
"$root/tests/package/run.sh" </dev/null
