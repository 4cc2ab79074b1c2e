#!/bin/sh
# Makes $WINEPREFIX afresh into the example machine of example-machine.reg
# (its display and monitor keys, the virtual board in its mode) and installs a
# package there through its INF, as Windows 95 does on right-click Install.
#
#   fresh-machine.sh PACKAGE_FOLDER BIN_FOLDER
#
# BIN_FOLDER holds the wine build's BoardInspect.exe. The caller sets
# WINEPREFIX, and DISPLAY where there is one.
set -eu

package=$1
bin=$2
here=$(cd "$(dirname "$0")" && pwd)
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
: "${WINEPREFIX:?names the prefix to make}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" WINELOADER=$wine

. "$here/wine-prefix.sh"
# The value of a REG_SZ line of the machine profile.
profile_value() { sed -n "s/^\"$1\"=\"\(.*\)\"\r\{0,1\}\$/\1/p" "$here/example-machine.reg"; }

"$server" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
make_wine_prefix
"$wine" regedit /S "$(winepath_of "$here/example-machine.reg")" </dev/null >/dev/null 2>&1
"$wine" "$bin/BoardInspect.exe" reset "$(profile_value Resolution)" "$(profile_value BitsPerPixel)" </dev/null

"$wine" rundll32 setupapi,InstallHinfSection DefaultInstall 132 "$(winepath_of "$package/Glimora.inf")" \
    </dev/null >/dev/null 2>&1
if [ ! -f "$WINEPREFIX/drive_c/windows/System/Ratelle.dll" ]; then
    echo "the package in $package did not install: no C:\\windows\\System\\Ratelle.dll" >&2
    exit 1
fi
