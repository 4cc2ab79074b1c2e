#!/bin/sh
# Reads a build's Glimora.img and Glimora.zip back and compares them with its
# package folder, name by name and byte for byte. With "install", the files
# read off the image are then installed into a fresh Wine prefix, the example
# machine, whose Display Properties must show the Glimora page.
#
#   FloppyTest.sh BUILD_FOLDER [install SOURCE_FOLDER]
set -u

build=$1
work=$build/floppy-test
status=0
rm -rf "$work"
mkdir -p "$work/disk" "$work/zip"
mcopy -m -i "$build/Glimora.img" '::*' "$work/disk/" && unzip -q "$build/Glimora.zip" -d "$work/zip" || exit 1

size=$(wc -c <"$build/Glimora.img")
[ "$size" -eq 1474560 ] || { echo "Glimora.img is $size bytes, not the 2880 sectors of a 1.44 MB floppy"; status=1; }
expected=$(cd "$build/package" && ls -A)
for copy in disk zip; do
    found=$(cd "$work/$copy" && ls -A)
    [ "$found" = "$expected" ] || { echo "the $copy holds:" $found "; the package:" $expected; status=1; }
    for name in $expected; do
        cmp "$build/package/$name" "$work/$copy/$name" || status=1
    done
done

if [ "${2:-}" = install ] && [ "$status" -eq 0 ]; then
    export WINEPREFIX=$work/prefix
    trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1; rm -rf "$WINEPREFIX"' EXIT
    sh "$3/install/fresh-machine.sh" "$work/disk" "$build/bin" || exit 1
    pages=$(/usr/lib/wine/wine64 "$build/bin/DisplayProperties.exe" --list </dev/null | tr -d '\r' | grep '^pages:')
    case $pages in
        *"| Settings | Glimora") ;;
        *) echo "Display Properties of the fresh machine shows '$pages', not the Glimora page after Settings"; status=1 ;;
    esac
fi
exit $status
