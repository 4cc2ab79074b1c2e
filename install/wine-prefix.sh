# Sourced by ./run and the scripts that make Wine machines: the one way a
# prefix is made. The caller sets WINEPREFIX (and WINELOADER to wine64).

# A Linux path as Wine's Z: drive sees it.
winepath_of() { printf 'Z:%s' "$1" | tr / '\\'; }

# Makes $WINEPREFIX, or completes one made before a step was added here.
make_wine_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        # Without a window manager every hide of a captioned window costs seconds.
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n' \
            >"$WINEPREFIX/unmanaged.reg"
        /usr/lib/wine/wine64 regedit /S "$(winepath_of "$WINEPREFIX/unmanaged.reg")" </dev/null >/dev/null 2>&1
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
