#!/bin/sh
# Builds the Debian packages vintaro (the client) and vintaro-server into
# OUTDIR (default build-package/debs) and prints their paths.
#   scripts/package.sh [OUTDIR]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VINTARO_PACKAGE_BUILD_DIR:-$root/build-package}
out=${1:-$build/debs}
for tool in cpack dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
# Same compiler flags as the build for development, so ccache serves both.
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DVINTARO_BUILD_TESTS=OFF -DVINTARO_SERVER_CONF=/etc/vintaro-server/server.conf -DVINTARO_SERVER_DATA_DIR=/usr/share/vintaro-server \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro -Wl,-z,now" >/dev/null
cmake --build "$build" -j "$(nproc)"
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -rf "$build/_CPack_Packages"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/vintaro_*.deb "$out"/vintaro-server_*.deb
