#!/usr/bin/env bash
# Builds both targets and runs every test of each under Wine on a virtual
# display: the shipping 32-bit build under the 32-bit loader, the 64-bit
# build under the 64-bit one (each build's toolchain names its loader).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
cd "$SIGNDESK_ROOT"

jobs=$(nproc)
for arch in i686 x86_64; do
    cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "build/$arch" -j "$jobs"
done

# One Wine server serves both loaders; the keep-alive holds it (and the
# prefix's services) up between the test executables.
bin="build/x86_64/bin"
"$WINE" "$bin/keepalive.exe" >/dev/null 2>&1 &
keepalive=$!
stop_keepalive() {
    "$WINE" "$bin/setevent.exe" SignDeskKeepAliveStop >/dev/null 2>&1 || kill "$keepalive" 2>/dev/null || true
    wait "$keepalive" 2>/dev/null || true
}
trap stop_keepalive EXIT
sleep 1

# What a user finds beside the client: the tests run in folders of their own
# and must leave it as it was.
client_files() {
    for arch in i686 x86_64; do
        for file in log/KITE.log upgrade_calls.log kite.ini; do
            local path="build/$arch/bin/$file"
            if [ -f "$path" ]; then
                echo "$arch/$file $(md5sum <"$path")"
            else
                echo "$arch/$file none"
            fi
        done
    done
}
before=$(client_files)

status=0
ctest --test-dir build/i686 --output-on-failure || status=1
# Serially: the tests share one display, and focus belongs to one window.
ctest --test-dir build/x86_64 --output-on-failure || status=1

if [ "$(client_files)" != "$before" ]; then
    echo "the tests changed the client's files in the output folders:"
    diff <(echo "$before") <(client_files) || true
    status=1
fi
exit $status
