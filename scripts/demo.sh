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
# The demo has its own Wine prefix, so that what its pictures need (below)
# never changes the prefix the tests run in.
export WINEPREFIX="${SIGNDESK_DEMO_PREFIX:-$HOME/.wine-signdesk-demo}"
source "$(dirname "${BASH_SOURCE[0]}")/bootstrap.sh"
cd "$SIGNDESK_ROOT"

# Windows drawn with their frames by Wine (there is no window manager on
# Xvfb), a font with Chinese characters behind the fonts Wine links for
# them, and Wine's own fonts (Tahoma, and Marlett for the caption buttons).
reg_set() { # key value data [type]
    "$WINE" reg query "$1" /v "$2" 2>/dev/null | grep -qF "$3" ||
        "$WINE" reg add "$1" /v "$2" /t "${4:-REG_SZ}" /d "$3" /f >/dev/null 2>&1
}
reg_set 'HKCU\Software\Wine\X11 Driver' Managed N
reg_set 'HKCU\Software\Wine\Fonts\Replacements' SimSun 'WenQuanYi Micro Hei'
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in Tahoma 'Tahoma Bold' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'; do
    reg_set "$links" "$face" 'wqy-microhei.ttc,WenQuanYi Micro Hei' REG_MULTI_SZ
done
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$fonts/marlett.ttf" ]; then
    wine_fonts=/usr/share/wine/fonts
    if ! ls "$wine_fonts"/marlett.ttf >/dev/null 2>&1; then
        # The fonts-wine package, unpacked for this prefix only.
        wine_fonts=$(mktemp -d)
        (cd "$wine_fonts" && apt-get download -qq fonts-wine >/dev/null 2>&1 &&
            dpkg-deb -x fonts-wine_*.deb . && mv usr/share/wine/fonts/*.ttf .) || true
    fi
    cp "$wine_fonts"/*.ttf "$fonts/" 2>/dev/null ||
        echo "demo: Wine's fonts are not available; caption buttons will look plain" >&2
fi

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
