# Sourced by the scripts that start servers on loopback for a trial or a test.
#
# free_port prints a loopback port nobody listens on. It picks below the
# kernel's ephemeral range: a port taken from inside it can be held by some
# outgoing connection between the check and the bind, which a connect test
# does not see. Two scripts can still pick the same port at the same moment,
# so whoever binds should retry on "address in use" (see retry_on_port).
free_port() {
    local lo=32768 hi p i
    read -r lo hi </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || true
    [ "$lo" -gt 12000 ] || lo=32768
    for i in $(seq 1 500); do
        p=$((10000 + (RANDOM * 32768 + RANDOM) % (lo - 10000)))
        if ! (exec 3<>/dev/tcp/127.0.0.1/"$p") 2>/dev/null; then
            echo "$p"
            return 0
        fi
    done
    echo "no free loopback port" >&2
    return 1
}
