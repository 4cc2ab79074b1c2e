#!/bin/sh
# Runs the load check on a binary that Windows 95 cannot load: passes when the
# check refuses it and names every function given.
#
#   ExpectRefusal.sh OBJDUMP BINARY FUNCTION...
objdump=$1
binary=$2
shift 2
output=$(sh "$(dirname "$0")/CheckWindows95.sh" "$objdump" "$binary")
status=$?
printf '%s\n' "$output"
[ "$status" -ne 0 ] || { echo "the check accepted $binary"; exit 1; }
for function in "$@"; do
    printf '%s\n' "$output" | grep -q " $function, which Windows 95 does not export" ||
        { echo "the check did not name $function"; exit 1; }
done
