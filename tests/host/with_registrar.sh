#!/usr/bin/env bash
# Runs a test program with a registrar of its own: a Kamailio instance on two
# free loopback ports, in a run folder of its own, stopped when the program
# ends, whatever its outcome. The program finds the registrar in
# SIGNDESK_REGISTRAR ("127.0.0.1:main,127.0.0.1:backup").
#
#   with_registrar.sh PROGRAM [ARGS...]
#
# The test registrar lets a nonce live 4 s (a refresh after that meets
# stale=true) and grants lifetimes down to 2 s (shorter ones get 423).
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/registrar.sh"

run=$(mktemp -d "${TMPDIR:-/tmp}/signdesk-registrar.XXXXXX")
status=1
finish() {
    signdesk_registrar_stop
    if [ "$status" -ne 0 ] && [ -f "$run/kamailio.log" ]; then
        echo "--- the registrar's log (last lines) ---"
        tail -30 "$run/kamailio.log"
    fi
    rm -rf "$run"
}
trap finish EXIT
trap 'exit 130' INT TERM

signdesk_registrar_start "$run" "" -A NONCE_EXPIRE=4 -A MIN_EXPIRES=2 || exit 1
export SIGNDESK_REGISTRAR="$SIGNDESK_REGISTRAR_MAIN,$SIGNDESK_REGISTRAR_BACKUP"
"$@"
status=$?
exit $status
