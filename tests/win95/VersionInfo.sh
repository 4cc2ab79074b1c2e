#!/bin/sh
# Every program and DLL of the package carries version information that says
# what the package's INF says: the INF's version (as the four numbers of the
# fixed part too) and maker. Read back with windres, as Explorer's Version tab
# reads it: the string block named by the Translation entry.
#
#   VersionInfo.sh WINDRES PACKAGE_FOLDER
set -u

windres=$1
package=$2
failures=0
fail() {
    printf '%s\n' "$*"
    failures=$((failures + 1))
}

# A line of the INF's [Strings]: Name="text".
inf_string() { tr -d '\r' <"$package/Glimora.inf" | sed -n "s/^$1=\"\(.*\)\"\$/\1/p"; }
version=$(inf_string ProductVersion)
maker=$(inf_string Maker)
printf '%s\n' "$version" | grep -Eq '^[0-9]+\.[0-9]+\.[0-9]+$' ||
    fail "the INF's ProductVersion is '$version', not a version number"
[ -n "$maker" ] || fail "the INF names no Maker"
numbers="$(printf '%s' "$version" | sed 's/\./, /g'), 0"

binaries=0
for binary in "$package"/*.exe "$package"/*.dll "$package"/*.EXE "$package"/*.DLL; do
    [ -f "$binary" ] || continue
    binaries=$((binaries + 1))
    name=$(basename "$binary")
    info=$("$windres" -i "$binary" -O rc | sed -n '/^[0-9A-Za-z_]* VERSIONINFO/,/^END/p')
    [ -n "$info" ] || { fail "$name: no version information"; continue; }
    fixed() { printf '%s\n' "$info" | sed -n "s/^ *$1 //p"; }
    [ "$(fixed FILEVERSION)" = "$numbers" ] || fail "$name: FILEVERSION $(fixed FILEVERSION), the INF $version"
    [ "$(fixed PRODUCTVERSION)" = "$numbers" ] ||
        fail "$name: PRODUCTVERSION $(fixed PRODUCTVERSION), the INF $version"

    # The block a reader opens: language and code page of the Translation, in hex.
    translation=$(printf '%s\n' "$info" | sed -n 's/^ *VALUE "Translation", *\([0-9a-fx]*\), *\([0-9a-fx]*\)$/\1 \2/p')
    # Two numbers, language and code page, unquoted on purpose.
    block=$(printf '%04X%04X' $translation)
    strings=$(printf '%s\n' "$info" | awk -v b="BLOCK \"$block\"" '
        toupper($0) ~ toupper(b) { inside = 1; next } inside && /^ *END/ { exit } inside')
    [ -n "$strings" ] || { fail "$name: no strings under the Translation's block '$block'"; continue; }
    value() { printf '%s\n' "$strings" | sed -n "s/^ *VALUE \"$1\", \"\(.*\)\"\$/\1/p"; }
    [ "$(value FileVersion)" = "$version" ] || fail "$name: FileVersion '$(value FileVersion)', the INF $version"
    [ "$(value ProductVersion)" = "$version" ] ||
        fail "$name: ProductVersion '$(value ProductVersion)', the INF $version"
    [ "$(value CompanyName)" = "$maker" ] || fail "$name: CompanyName '$(value CompanyName)', the INF $maker"
    [ "$(value ProductName)" = Glimora ] || fail "$name: ProductName '$(value ProductName)'"
    [ -n "$(value FileDescription)" ] || fail "$name: no FileDescription"
    case $(value LegalCopyright) in
        "Copyright (C) "*" $maker") ;;
        *) fail "$name: LegalCopyright '$(value LegalCopyright)' is no copyright line of $maker" ;;
    esac
done
[ "$binaries" -ge 2 ] || fail "the package holds $binaries programs and DLLs, not both binaries"

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
