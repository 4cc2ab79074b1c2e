#!/bin/sh
# Puts every file of the package folder on a 1.44 MB FAT12 floppy image
# (mtools: no mounting) and into a zip of the same files.
#
#   make-floppy.sh PACKAGE_FOLDER IMAGE ZIP
#
# Every name must be an 8.3 name, which DOS and Windows 95 Setup read from a
# floppy, and the files must fit: otherwise it fails, saying why, and leaves
# neither image nor zip behind, never a part of the package.
set -u

package=$1
image=$2
zip=$3
case $image in /*) ;; *) image=$PWD/$image ;; esac
case $zip in /*) ;; *) zip=$PWD/$zip ;; esac

fail() {
    echo "make-floppy: $*" >&2
    rm -f "$image.part" "$zip.part"
    exit 1
}

rm -f "$image" "$zip"
cd "$package" 2>/dev/null || fail "no package folder $package"

# Names as FAT keeps them: eight characters, a dot and three, no blanks.
bad=
count=0
for name in * .[!.]* ..?*; do
    [ -e "$name" ] || continue
    [ -f "$name" ] || fail "$package/$name is not a file: the floppy holds files only"
    printf '%s\n' "$name" | grep -Eq '^[A-Za-z0-9_~!#$%&()@^{}-]{1,8}(\.[A-Za-z0-9_~!#$%&()@^{}-]{1,3})?$' ||
        bad="$bad '$name'"
    count=$((count + 1))
done
[ "$count" -gt 0 ] || fail "the package folder $package is empty"
[ -z "$bad" ] || fail "not an 8.3 name, which the floppy needs:$bad"
twins=$(ls -A | tr '[:lower:]' '[:upper:]' | sort | uniq -d)
[ -z "$twins" ] || fail "names that FAT cannot tell apart (it ignores case):" $twins

mformat -C -f 1440 -v GLIMORA -i "$image.part" :: || fail "mformat could not make $image.part"

# Every file takes whole clusters of one 512-byte sector each.
free=$(mdir -i "$image.part" :: | sed -n 's/ //g; s/bytesfree$//p')
need=0
for name in *; do
    size=$(wc -c <"$name")
    need=$((need + (size + 511) / 512 * 512))
done
[ "$need" -le "$free" ] ||
    fail "the package ($count files in $package) takes $need bytes on a floppy; a 1.44 MB floppy holds $free." \
         "No image made."

mcopy -m -i "$image.part" -- * :: || fail "mcopy could not put the package on $image.part"
zip -q -X -D "$zip.part" -- * || fail "zip could not make $zip.part"
mv "$image.part" "$image" && mv "$zip.part" "$zip"
