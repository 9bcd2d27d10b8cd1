#!/usr/bin/env bash
# The client's registrar: Kamailio with host/registrar/kamailio.cfg and its
# account tables, on the loopback address, in a run folder of its own.
#
# Sourced (demo.sh, tests/host/with_registrar.sh), it gives:
#   signdesk_registrar_start RUNDIR [PORT] [-A NAME=VALUE ...]
#       copies the tables into RUNDIR, starts Kamailio in the foreground of
#       a background job listening on 127.0.0.1:PORT and PORT+1 (two free
#       ports are picked when PORT is empty), waits until it answers and
#       sets SIGNDESK_REGISTRAR_PID, SIGNDESK_REGISTRAR_MAIN and
#       SIGNDESK_REGISTRAR_BACKUP ("127.0.0.1:port"). The -A defines go to
#       the config (NONCE_EXPIRE, MIN_EXPIRES, MAX_EXPIRES).
#   signdesk_registrar_stop
#       stops it (TERM, then KILL after 5 s) and waits for it.
# Kamailio also stops by itself after SIGNDESK_REGISTRAR_LIFETIME seconds
# (default 1800), so that a run that is killed leaves nothing behind for long.
#
# Run as a command, it starts the registrar on the shipped ports (5070 and
# 5071, those of settings.ini) until Ctrl+C:
#   bash scripts/registrar.sh [PORT]

SIGNDESK_REGISTRAR_CFG="$(cd "$(dirname "${BASH_SOURCE[0]}")/../host/registrar" && pwd)"

# The local addresses of the UDP sockets open on this machine.
signdesk_udp_sockets() {
    ss -Hlun 2>/dev/null | awk '{print $4}' || true
}

# True when nothing on this machine has UDP port $1 open.
signdesk_udp_port_free() {
    local open
    open=$(signdesk_udp_sockets)
    ! grep -q ":$1\$" <<<"$open"
}

signdesk_udp_port_listening() {
    local open
    open=$(signdesk_udp_sockets)
    grep -qx "127.0.0.1:$1" <<<"$open"
}

signdesk_registrar_start() {
    local run=$1 wanted=${2:-}
    shift 2 2>/dev/null || shift $#
    local kamailio
    kamailio=$(command -v kamailio || echo /usr/sbin/kamailio)
    if [ ! -x "$kamailio" ]; then
        echo "registrar: kamailio is not installed (scripts/bootstrap.sh installs it)" >&2
        return 1
    fi
    mkdir -p "$run/db" || return 1
    cp "$SIGNDESK_REGISTRAR_CFG"/db/* "$run/db/"
    local try port
    for try in 1 2 3 4 5; do
        if [ -n "$wanted" ]; then
            port=$wanted
        else
            port=$((20000 + (RANDOM * 32768 + RANDOM) % 30000))
        fi
        if ! signdesk_udp_port_free "$port" || ! signdesk_udp_port_free $((port + 1)); then
            [ -n "$wanted" ] && { echo "registrar: port $port or $((port + 1)) is taken" >&2; return 1; }
            continue
        fi
        rm -f "$run/kamailio.pid"
        timeout -k 5 "${SIGNDESK_REGISTRAR_LIFETIME:-1800}" "$kamailio" -DD -E \
            -f "$SIGNDESK_REGISTRAR_CFG/kamailio.cfg" -Y "$run" -P "$run/kamailio.pid" \
            -l "udp:127.0.0.1:$port" -l "udp:127.0.0.1:$((port + 1))" -m 32 -M 8 \
            -A "DB_URL=\"text://$run/db\"" "$@" >"$run/kamailio.log" 2>&1 &
        SIGNDESK_REGISTRAR_PID=$!
        local waited
        for waited in $(seq 1 100); do
            kill -0 "$SIGNDESK_REGISTRAR_PID" 2>/dev/null || break
            if signdesk_udp_port_listening "$port" && signdesk_udp_port_listening $((port + 1)) &&
                grep -q "using database at" "$run/kamailio.log" 2>/dev/null; then
                SIGNDESK_REGISTRAR_MAIN="127.0.0.1:$port"
                SIGNDESK_REGISTRAR_BACKUP="127.0.0.1:$((port + 1))"
                export SIGNDESK_REGISTRAR_PID SIGNDESK_REGISTRAR_MAIN SIGNDESK_REGISTRAR_BACKUP
                return 0
            fi
            sleep 0.1
        done
        signdesk_registrar_stop
        [ -n "$wanted" ] && break
    done
    echo "registrar: Kamailio did not start; its log:" >&2
    tail -20 "$run/kamailio.log" >&2 2>/dev/null
    return 1
}

signdesk_registrar_stop() {
    local pid=${SIGNDESK_REGISTRAR_PID:-}
    [ -n "$pid" ] || return 0
    if kill -0 "$pid" 2>/dev/null; then
        # TERM to the timeout wrapper reaches Kamailio, which ends its children.
        kill -TERM "$pid" 2>/dev/null || true
        local i
        for i in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
    SIGNDESK_REGISTRAR_PID=
    return 0
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -u
    run=$(mktemp -d "${TMPDIR:-/tmp}/kite-registrar.XXXXXX")
    trap 'signdesk_registrar_stop; rm -rf "$run"' EXIT
    trap 'exit 130' INT TERM
    signdesk_registrar_start "$run" "${1:-5070}" || exit 1
    echo "Kamailio answers REGISTER at $SIGNDESK_REGISTRAR_MAIN and $SIGNDESK_REGISTRAR_BACKUP" \
        "(log: $run/kamailio.log); Ctrl+C stops it."
    wait "$SIGNDESK_REGISTRAR_PID"
fi
