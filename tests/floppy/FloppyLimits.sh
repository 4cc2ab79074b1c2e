#!/bin/sh
# What make-floppy.sh takes and refuses. A 1.44 MB FAT12 floppy has 2880
# sectors of 512 bytes: 1 boot sector, two FATs of 9 sectors and 14 sectors of
# root directory leave 2847 for files, 1457664 bytes.
#
#   FloppyLimits.sh MAKE_FLOPPY WORK_FOLDER
set -u

make_floppy=$1
work=$2
status=0

# Makes a package of the files given as name:size over what an earlier build
# left, and expects make-floppy to say the words given, or to succeed on "".
try() {
    words=$1
    shift
    rm -rf "$work"
    mkdir -p "$work/package"
    for file in "$@"; do head -c "${file#*:}" /dev/zero >"$work/package/${file%%:*}"; done
    echo old >"$work/Glimora.img"
    echo old >"$work/Glimora.zip"
    said=$(sh "$make_floppy" "$work/package" "$work/Glimora.img" "$work/Glimora.zip" 2>&1)
    case "$?:$words" in
        0:) mdir -i "$work/Glimora.img" "::${1%%:*}" >/dev/null || { echo "$*: not on the image"; status=1; } ;;
        0:*) echo "$* was taken; expected a refusal saying '$words'"; status=1 ;;
        *:) echo "$* was refused: $said"; status=1 ;;
        *) case $said in *"$words"*) ;; *) echo "$* was refused without saying '$words': $said"; status=1 ;; esac
           [ "$(ls "$work")" = package ] || { echo "$* left behind:" $(ls "$work"); status=1; } ;;
    esac
}

try "" FILL.BIN:1457664
try "No image made" FILL.BIN:1457664 README.TXT:1
try "LongerName.TXT" Glimhelp.hlp:10 LongerName.TXT:10
exit $status
