#!/usr/bin/env bash
# The main job: builds the reference client with the real plug-in, starts
# its registrar (Kamailio, scripts/registrar.sh) on the loopback address,
# runs the scripted tour of the login panel against it on a virtual
# display, stops the registrar, and leaves one picture per step, the
# plug-in's trace log, the SIP log and a summary in out/.
#
#   bash scripts/demo.sh                 the tour, headless (Xvfb)
#   bash scripts/demo.sh --out DIR       the same, into DIR
#   bash scripts/demo.sh --interactive   the client on your display, to use
#   bash scripts/demo.sh --arch x86_64   the 64-bit build instead of the
#                                        shipping 32-bit one (i686)
#   bash scripts/demo.sh --dpi 144       at 150 % display scaling (120: 125 %,
#                                        192: 200 %), in a Wine prefix of
#                                        that DPI
set -euo pipefail

out=out
interactive=0
arch=i686
dpi=96
usage="usage: bash scripts/demo.sh [--out DIR] [--interactive] [--arch i686|x86_64] [--dpi N]"
while [ $# -gt 0 ]; do
    case "$1" in
    --out) out=$2; shift ;;
    --interactive) interactive=1 ;;
    --arch) arch=$2; shift ;;
    --dpi) dpi=$2; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
    esac
    shift
done
case "$arch" in
i686 | x86_64) ;;
*) echo "$usage" >&2; exit 2 ;;
esac
if ! [[ "$dpi" =~ ^[0-9]+$ ]] || [ "$dpi" -lt 96 ] || [ "$dpi" -gt 480 ]; then
    echo "$usage" >&2
    exit 2
fi

# Headless unless asked otherwise: the bootstrap then starts its own Xvfb.
[ "$interactive" -eq 1 ] || unset DISPLAY
source "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
source "$(dirname "${BASH_SOURCE[0]}")/registrar.sh"
cd "$SIGNDESK_ROOT"
WINEPREFIX=$(signdesk_dpi_prefix "$dpi")
export WINEPREFIX

cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "build/$arch" -j "$(nproc)" --target KiteClient

bin="build/$arch/bin"
wine=$(signdesk_loader "$arch")
# The registrar runs as long as the client does, in a run folder of its own.
registrar_run=$(mktemp -d "${TMPDIR:-/tmp}/kite-registrar.XXXXXX")
trap 'signdesk_registrar_stop; rm -rf "$registrar_run"' EXIT
if [ "$interactive" -eq 1 ]; then
    # The ports the shipped settings name (127.0.0.1:5070, backup 5071).
    signdesk_registrar_start "$registrar_run" 5070
    "$wine" "$bin/KiteClient.exe"
    exit 0
fi
# The tour's registrar: two free ports of its own, handed to the client.
signdesk_registrar_start "$registrar_run"
echo "Registrar: Kamailio at $SIGNDESK_REGISTRAR_MAIN (backup $SIGNDESK_REGISTRAR_BACKUP)"

mkdir -p "$out"
outdir=$(cd "$out" && pwd)
# Wine sees the Unix root as drive Z:.
winout="Z:${outdir//\//\\}"
status=0
echo "Touring the $arch build at $dpi DPI ($((dpi * 100 / 96)) % display scaling)."
timeout 300 "$wine" "$bin/KiteClient.exe" --tour --out "$winout" \
    --registrar "$SIGNDESK_REGISTRAR_MAIN,$SIGNDESK_REGISTRAR_BACKUP" || status=$?
echo
echo "Pictures, trace log (KITE.log), SIP log (sip.log) and summary (tour.txt) are in: $outdir"
ls "$outdir"
exit $status
