#!/bin/sh
# What make-floppy.sh takes and refuses. A 1.44 MB FAT12 floppy has 2880
# sectors of 512 bytes: 1 boot sector, two FATs of 9 sectors and 14 sectors of
# root directory leave 2847 for files, 1457664 bytes.
#
#   FloppyLimits.sh MAKE_FLOPPY WORK_FOLDER
set -u

make_floppy=$1
work=$2
failures=0
fail() {
    printf '%s\n' "$*"
    failures=$((failures + 1))
}

# One package of the given files (name:size ...); prints make-floppy's words.
try() {
    rm -rf "$work"
    mkdir -p "$work/package"
    for file in "$@"; do
        head -c "${file#*:}" /dev/zero >"$work/package/${file%%:*}"
    done
    # What an earlier build left must not survive a refusal.
    echo old >"$work/Glimora.img"
    echo old >"$work/Glimora.zip"
    sh "$make_floppy" "$work/package" "$work/Glimora.img" "$work/Glimora.zip" 2>&1
}

words=$(try FILL.BIN:1457664) || fail "a package of exactly 1457664 bytes was refused: $words"
[ -f "$work/Glimora.img" ] && mdir -i "$work/Glimora.img" ::FILL.BIN >/dev/null ||
    fail "no image holding FILL.BIN after a full package"

refused() {
    reason=$1
    shift
    if words=$(try "$@"); then
        fail "$* was taken, though $reason"
    else
        case $words in
            *"$expect"*) ;;
            *) fail "$* was refused, but without saying '$expect': $words" ;;
        esac
    fi
    [ ! -e "$work/Glimora.img" ] && [ ! -e "$work/Glimora.zip" ] || fail "$* left an image or zip behind"
    ls "$work" | grep -q part && fail "$* left a part-made file behind"
}
expect="No image made"
refused "one byte more than the floppy holds" FILL.BIN:1457664 README.TXT:1
expect="LongerName.TXT"
refused "Windows 95 Setup reads only 8.3 names from a floppy" Glimhelp.hlp:10 LongerName.TXT:10

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
