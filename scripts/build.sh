#!/bin/sh
# Configures and builds everything into ./build (or $VINTARO_BUILD_DIR).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VINTARO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${VINTARO_BUILD_TYPE:-RelWithDebInfo} >/dev/null
cmake --build "$build" -j "$(nproc)"
