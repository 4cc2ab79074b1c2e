#!/bin/sh
# Makes $WINEPREFIX afresh into the example machine of example-machine.reg
# (its display and monitor keys, the virtual board in its mode) and installs a
# package there through its INF, as Windows 95 does on right-click Install.
#
#   fresh-machine.sh PACKAGE_FOLDER BIN_FOLDER [WINE ARCH]
#
# BIN_FOLDER holds BoardReport.exe of the same build. WINE ARCH: the Wine
# that runs it and the prefix's architecture, wine64 and win64 unless given
# (wine32/wine and win32 for the i686 build). The caller sets WINEPREFIX, and
# DISPLAY where there is one.
set -eu

package=$1
bin=$2
here=$(cd "$(dirname "$0")" && pwd)
wine=${3:-/usr/lib/wine/wine64}
arch=${4:-win64}
server=/usr/lib/wine/wineserver
: "${WINEPREFIX:?names the prefix to make}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" WINELOADER=$wine

. "$here/wine-prefix.sh"
# The value of a REG_SZ line of the machine profile.
profile_value() { sed -n "s/^\"$1\"=\"\(.*\)\"\r\{0,1\}\$/\1/p" "$here/example-machine.reg"; }
# A step that fails ends the script (set -e): say which one.
step="starting"
trap 'status=$?; [ "$status" -eq 0 ] || echo "fresh-machine.sh: $step failed (status $status)" >&2' EXIT

"$server" -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
step="making the prefix"
make_wine_prefix "$wine" "$arch"
step="importing the machine profile"
"$wine" regedit /S "$(winepath_of "$here/example-machine.reg")" </dev/null >/dev/null 2>&1
step="resetting the board"
"$wine" "$bin/BoardReport.exe" reset "$(profile_value Resolution)" "$(profile_value BitsPerPixel)" </dev/null

step="installing the package"
"$wine" rundll32 setupapi,InstallHinfSection DefaultInstall 132 "$(winepath_of "$package/Glimora.inf")" \
    </dev/null >/dev/null 2>&1
# A 32-bit prefix has the System folder already, as "system".
if ! ls "$WINEPREFIX"/drive_c/windows/[Ss]ystem/Ratelle.dll >/dev/null 2>&1; then
    echo "the package in $package did not install: no C:\\windows\\System\\Ratelle.dll" >&2
    exit 1
fi
