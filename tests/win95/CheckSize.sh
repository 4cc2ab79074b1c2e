#!/bin/sh
# Fails when a shipping binary is larger than its limit (in KiB): the package
# must fit a floppy beside the rest, and the page loads into every process
# that opens the Display control panel.
#
#   CheckSize.sh BINARY LIMIT_KIB
binary=$1
limit=$(($2 * 1024))
size=$(stat -c %s "$binary") || exit 1
echo "$(basename "$binary"): $size bytes, limit $limit"
[ "$size" -le "$limit" ] || { echo "$(basename "$binary") is $((size - limit)) bytes over its limit"; exit 1; }
