#!/bin/sh
# Every program and DLL of the package carries version information that says
# what the package's INF says: its version (also as the fixed part's numbers)
# and its maker, beside a description, product name and copyright line.
# Read back with windres, as a .rc would write it.
#
#   VersionInfo.sh WINDRES PACKAGE_FOLDER
set -u

windres=$1
package=$2
status=0
inf_string() { tr -d '\r' <"$package/Glimora.inf" | sed -n "s/^$1=\"\(.*\)\"\$/\1/p"; }
version=$(inf_string ProductVersion)
maker=$(inf_string Maker)
expected=$(printf '%s\n' "FILEVERSION $(printf '%s' "$version" | sed 's/\./, /g'), 0" \
    "PRODUCTVERSION $(printf '%s' "$version" | sed 's/\./, /g'), 0" "VALUE \"CompanyName\", \"$maker\"" \
    "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" | sort)

binaries=0
for binary in "$package"/*.exe "$package"/*.dll; do
    [ -f "$binary" ] || continue
    binaries=$((binaries + 1))
    rc=$("$windres" -i "$binary" -O rc | sed 's/^ *//')
    found=$(printf '%s\n' "$rc" | grep -E '^(FILEVERSION|PRODUCTVERSION|VALUE "(CompanyName|FileVersion|ProductVersion)")' | sort)
    [ "$found" = "$expected" ] ||
        { printf '%s says:\n%s\nThe INF (version %s, maker %s) asks for:\n%s\n' "${binary##*/}" "$found" "$version" "$maker" "$expected"; status=1; }
    for key in FileDescription ProductName LegalCopyright; do
        printf '%s\n' "$rc" | grep -q "^VALUE \"$key\", \"..*\"" || { echo "${binary##*/} has no $key"; status=1; }
    done
done
[ "$binaries" -ge 2 ] || { echo "the package holds $binaries programs and DLLs, not both binaries"; status=1; }
exit $status
