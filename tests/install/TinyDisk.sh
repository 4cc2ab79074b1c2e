#!/bin/sh
# A file system of one 4 KiB page for the removal on a full disk, mounted
# before the removal tests and unmounted after them, however they ended.
#
#   TinyDisk.sh mount DIR     without root (or where mounting is refused) DIR
#                             stays missing and DIR.skipped says why
#   TinyDisk.sh unmount DIR   also removes the prefix's links into DIR
set -u
dir=$2
case $1 in
mount)
    sh "$0" unmount "$dir"   # what a killed run left
    if [ "$(id -u)" -ne 0 ]; then
        echo "not root, so no file system can be mounted" >"$dir.skipped"
    elif { mkdir -p "$dir" && mount -t tmpfs -o size=4k glimora-tiny-disk "$dir"; } 2>"$dir.skipped"; then
        rm "$dir.skipped"
    else
        rmdir "$dir" 2>/dev/null
    fi
    cat "$dir.skipped" 2>/dev/null || echo "a tmpfs of 4 KiB at $dir"
    ;;
unmount)
    for link in "${WINEPREFIX:-$HOME/.wine}"/drive_c/windows/*; do
        case $(readlink "$link") in "$dir"/*) rm "$link" ;; esac
    done
    # A Wine process that still holds it open keeps it busy until it lets go.
    ! mountpoint -q "$dir" || umount "$dir" 2>/dev/null || umount -l "$dir" || exit 1
    rm -f "$dir.skipped"
    [ ! -d "$dir" ] || rmdir "$dir"
    ;;
esac
