# Sourced by ./run and the scripts that make Wine machines: the one way a
# prefix is made. The caller sets WINEPREFIX.

# A Linux path as Wine's Z: drive sees it.
winepath_of() { printf 'Z:%s' "$1" | tr / '\\'; }

# make_wine_prefix [WINE ARCH]: makes $WINEPREFIX with WINE (default wine64)
# for ARCH (win64, or win32 with the 32-bit Wine of wine32/), or completes one
# made before a step was added here.
make_wine_prefix() {
    wine=${1:-/usr/lib/wine/wine64}
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        WINEARCH=${2:-win64} "$wine" wineboot -i </dev/null >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        # Without a window manager every hide of a captioned window costs
        # seconds; a crash prints its backtrace and ends instead of waiting in
        # a dialog.
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n' \
            >"$WINEPREFIX/settings.reg"
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n' \
            >>"$WINEPREFIX/settings.reg"
        "$wine" regedit /S "$(winepath_of "$WINEPREFIX/settings.reg")" </dev/null >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
    fi
    # Title-bar buttons are glyphs of Marlett, which this Wine does not look
    # for among the fonts it was packaged with (fonts-wine): the prefix gets
    # its own copy.
    if [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
}
