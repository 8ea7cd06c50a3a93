#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 20),
# printing executions, crashes and peak memory per target.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# VINTARO_FUZZ_RUNS=N ends each target after N inputs instead (SECONDS still caps it).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VINTARO_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-20}
[ $# -gt 0 ] && shift
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
# Qt's own event dispatcher: the glib one costs a fifth of the executions.
export QT_NO_GLIB=1

targets="$*"
if [ -z "$targets" ]; then
    targets="fuzz_login_reply fuzz_client_replies fuzz_reply_items fuzz_request_decoder fuzz_upload_headers fuzz_proxy_header"
    [ -f "$root/fuzz/fuzz_server_requests.cpp" ] && targets="$targets fuzz_server_requests"
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVINTARO_FUZZ=ON -DVINTARO_BUILD_TESTS=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j "$(nproc)" --target $targets

# Runs at the same time need output folders of their own (VINTARO_FUZZ_OUT).
out=${VINTARO_FUZZ_OUT:-$root/.fuzz-out}
mkdir -p "$out"
status=0
printf '%-24s %14s %8s %10s\n' target executions crashes peak_MB
for t in $targets; do
    seeds="$root/fuzz/corpus/${t#fuzz_}"
    work="$out/$t-corpus"
    mkdir -p "$work" "$out/$t-artifacts"
    log="$out/$t.log"
    set +e
    # -detect_leaks=0: with leak checks off in ASan, libFuzzer would still run
    # every input that keeps memory (the window's dialogs do) a second time.
    "$build/bin/$t" -max_total_time="$seconds" ${VINTARO_FUZZ_RUNS:+-runs=$VINTARO_FUZZ_RUNS} -print_final_stats=1 -rss_limit_mb=2048 -detect_leaks=0 \
        -artifact_prefix="$out/$t-artifacts/" "$work" "$seeds" >"$log" 2>&1
    rc=$?
    set -e
    execs=$(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    peak=$(grep -ao 'stat::peak_rss_mb: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo ?)
    # A slow unit is reported too; on a busy machine it is only a stall.
    crashes=$(ls "$out/$t-artifacts" | grep -cE '^(crash|leak|oom|timeout)-' || true)
    printf '%-24s %14s %8s %10s\n' "$t" "${execs:-0}" "$crashes" "$peak"
    if [ $rc -ne 0 ] || [ "$crashes" -ne 0 ] || [ "${execs:-0}" -eq 0 ]; then
        status=1
        tail -40 "$log"
    fi
done
exit $status
