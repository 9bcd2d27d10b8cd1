#!/usr/bin/env bash
# The main job: builds the reference client with the real plug-in, runs the
# scripted tour of the login panel on a virtual display, and leaves one
# picture per step, the plug-in's trace log and a summary in out/.
#
#   bash scripts/demo.sh                 the tour, headless (Xvfb)
#   bash scripts/demo.sh --out DIR       the same, into DIR
#   bash scripts/demo.sh --interactive   the client on your display, to use
set -euo pipefail

out=out
interactive=0
while [ $# -gt 0 ]; do
    case "$1" in
    --out) out=$2; shift ;;
    --interactive) interactive=1 ;;
    *) echo "usage: bash scripts/demo.sh [--out DIR] [--interactive]" >&2; exit 2 ;;
    esac
    shift
done

# Headless unless asked otherwise: the bootstrap then starts its own Xvfb.
[ "$interactive" -eq 1 ] || unset DISPLAY
source "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
cd "$SIGNDESK_ROOT"

cmake -S . -B build/x86_64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/x86_64 -j "$(nproc)" --target KiteClient

bin=build/x86_64/bin
if [ "$interactive" -eq 1 ]; then
    exec "$WINE" "$bin/KiteClient.exe"
fi

mkdir -p "$out"
outdir=$(cd "$out" && pwd)
# Wine sees the Unix root as drive Z:.
winout="Z:${outdir//\//\\}"
status=0
timeout 300 "$WINE" "$bin/KiteClient.exe" --tour --out "$winout" || status=$?
echo
echo "Pictures, trace log (KITE.log) and summary (tour.txt) are in: $outdir"
ls "$outdir"
exit $status
