#!/usr/bin/env bash
# Sourced by demo.sh and test.sh. Installs what a fresh Debian 12 machine
# lacks, creates the Wine prefix once and makes sure an X display is up.
# Everything here is idempotent: a second run only checks.

SIGNDESK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export SIGNDESK_ROOT
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-signdesk}"
# The client is a 32-bit program: the i686 build runs under the 32-bit
# loader, the x86_64 build under the 64-bit one, in one prefix and with one
# Wine server. WINE is the loader of the prefix's own chores.
export SIGNDESK_WINE32=/usr/lib/wine/wine
export SIGNDESK_WINE64=/usr/lib/wine/wine64
export WINE="$SIGNDESK_WINE64"
export WINESERVER=/usr/lib/wine/wineserver64

# The loader of a build: signdesk_loader i686|x86_64.
signdesk_loader() {
    if [ "$1" = i686 ]; then echo "$SIGNDESK_WINE32"; else echo "$SIGNDESK_WINE64"; fi
}

# What a fresh Debian 12 machine needs, by purpose. Names with :i386 come
# from the 32-bit architecture, added below when a name asks for it.
signdesk_packages=(
    # Cross compilers and the build.
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix cmake ninja-build googletest
    # Wine for both builds.
    wine64 wine32:i386
    # The virtual display, pictures and fonts of the windows.
    xvfb xauth x11-apps x11-utils imagemagick fonts-wqy-microhei fonts-wine
    # The trace log benchmark's references.
    libspdlog-dev libfmt-dev
    # The SIP registrar the reference client registers with, and ss, with
    # which its script finds free ports.
    kamailio iproute2
)

signdesk_install_packages() {
    local missing=()
    for p in "${signdesk_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "bootstrap: installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Settings of the prefix; raise the version when they change so that an
# existing prefix gets them too.
SIGNDESK_PREFIX_VERSION=5

signdesk_wine_prefix() {
    # A prefix made while only the 64-bit Wine was installed has no 32-bit
    # system ("could not load kernel32.dll" for every 32-bit program).
    # "wineboot -u" cannot add it: its 32-bit half needs that kernel32.dll to
    # start. Such a prefix is put aside and a new one made.
    local wow="$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll"
    if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$wow" ]; then
        local old
        old="$WINEPREFIX.old-$(date +%Y%m%d%H%M%S)"
        echo "bootstrap: the Wine prefix has no 32-bit system; kept as $old, making a new one"
        "$WINESERVER" -k 2>/dev/null || true
        mv "$WINEPREFIX" "$old"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "bootstrap: creating Wine prefix $WINEPREFIX"
        "$WINE" wineboot -u >/dev/null 2>&1 || true
        rm -f "$WINEPREFIX/.signdesk-prefix"
    fi
    local marker="$WINEPREFIX/.signdesk-prefix"
    [ "$(cat "$marker" 2>/dev/null)" = "$SIGNDESK_PREFIX_VERSION" ] && return 0
    # Unmanaged windows: closing a modal dialog does not wait on a window manager.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # No crash dialogs: a crashing test must end, not wait for a click.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    # Chinese texts: the dialog and caption fonts link to WenQuanYi, which
    # also stands in for SimSun.
    local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    for face in Tahoma 'Tahoma Bold' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'; do
        "$WINE" reg add "$link" /v "$face" /t REG_MULTI_SZ \
            /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
    done
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun \
        /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
    # Wine's own fonts (Tahoma, Marlett for the caption buttons) in the prefix.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    echo "$SIGNDESK_PREFIX_VERSION" >"$marker"
}

# Display scaling. Wine takes its DPI from HKCU\Control Panel\Desktop
# LogPixels. A run at another DPI than 96 uses a prefix of that DPI, made
# once like the main one and given its LogPixels: the main prefix, and every
# run in it, stays at 96 DPI, and runs at different DPIs never share a Wine
# server (a changed LogPixels only holds for processes started after it).
# signdesk_dpi_prefix DPI prints the prefix (the main one for 96).
signdesk_dpi_prefix() {
    local dpi=$1
    if [ "$dpi" = 96 ]; then
        echo "$WINEPREFIX"
        return 0
    fi
    local prefix="$WINEPREFIX-dpi$dpi"
    (
        # One maker at a time; a prefix is made once.
        flock 9
        if [ "$(cat "$prefix/.signdesk-dpi" 2>/dev/null)" != "$dpi" ] ||
            [ "$(cat "$prefix/.signdesk-prefix" 2>/dev/null)" != "$SIGNDESK_PREFIX_VERSION" ]; then
            export WINEPREFIX="$prefix"
            signdesk_wine_prefix >&2
            "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
                >/dev/null 2>&1
            # Written to disk before anything runs there.
            "$WINESERVER" -k 2>/dev/null || true
            "$WINESERVER" -w 2>/dev/null || true
            echo "$dpi" >"$prefix/.signdesk-dpi"
        fi
    ) 9>"$prefix.lock"
    echo "$prefix"
}

signdesk_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    # The virtual display's number: SIGNDESK_XVFB_DISPLAY, or :97.
    export DISPLAY="${SIGNDESK_XVFB_DISPLAY:-:97}"
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
        Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        for _ in $(seq 1 50); do
            xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
            sleep 0.1
        done
    fi
}

signdesk_install_packages
signdesk_wine_prefix
signdesk_display
