#!/bin/sh
# Reads a build's Glimora.img (a 1.44 MB FAT12 floppy) and Glimora.zip back
# and compares them with its package folder, name by name and byte for byte.
# With "install", the files read off the image are then installed into a
# fresh Wine prefix, the example machine, and the Display Properties stand-in
# there must show the Glimora page.
#
#   FloppyTest.sh BUILD_FOLDER [install SOURCE_FOLDER]
set -u

build=$1
package=$build/package
work=$build/floppy-test
failures=0
fail() {
    printf '%s\n' "$*"
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work/disk" "$work/zip"
mcopy -m -i "$build/Glimora.img" '::*' "$work/disk/" || { echo "mtools cannot read $build/Glimora.img"; exit 1; }
unzip -q "$build/Glimora.zip" -d "$work/zip" || { echo "unzip cannot read $build/Glimora.zip"; exit 1; }

# 2880 sectors of 512 bytes, and the boot sector names the file system.
size=$(wc -c <"$build/Glimora.img")
[ "$size" -eq 1474560 ] || fail "Glimora.img is $size bytes, not the 1474560 of a 1.44 MB floppy"
system=$(dd if="$build/Glimora.img" bs=1 skip=54 count=8 2>/dev/null)
[ "$system" = "FAT12   " ] || fail "Glimora.img's boot sector says '$system', not FAT12"

expected=$(cd "$package" && ls -A)
for copy in disk zip; do
    found=$(cd "$work/$copy" && ls -A)
    [ "$found" = "$expected" ] || fail "the $copy holds:" $found "; the package:" $expected
    for name in $expected; do
        cmp "$package/$name" "$work/$copy/$name" || fail "the $copy's $name differs from the package's"
    done
done

if [ "${2:-}" = install ] && [ "$failures" -eq 0 ]; then
    export WINEPREFIX=$work/prefix
    trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
    if sh "$3/install/fresh-machine.sh" "$work/disk" "$build/bin"; then
        pages=$(/usr/lib/wine/wine64 "$build/bin/DisplayProperties.exe" --list </dev/null | tr -d '\r' | grep '^pages:')
        case $pages in
            *"| Settings | Glimora") ;;
            *) fail "Display Properties of the fresh machine shows '$pages', not the Glimora page after Settings" ;;
        esac
    else
        fail "the package read off the image did not install into a fresh prefix"
    fi
fi

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
