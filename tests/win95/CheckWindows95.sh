#!/bin/sh
# Checks that an i686 binary loads on Windows 95 (OSR2): every DLL and function
# it imports is one that Windows 95 exports (lists in exports/, see the README
# there), its headers ask for no newer system than 4.0, and it has no
# thread-local storage directory (Windows 95 cannot give a DLL loaded at run
# time its own TLS).
#
#   CheckWindows95.sh OBJDUMP BINARY [exports DllCanUnloadNow@2 DllGetClassObject@3 ...]
#
# With "exports", the binary must export exactly the functions named, at the
# ordinals given, and nothing else.
set -u

objdump=$1
binary=$2
shift 2
lists=$(cd "$(dirname "$0")" && pwd)/exports
name=$(basename "$binary")
failures=0

fail() {
    printf '%s: %s\n' "$name" "$*"
    failures=$((failures + 1))
}

[ -f "$binary" ] || { echo "$binary: no such file"; exit 1; }
headers=$("$objdump" -p "$binary") || { echo "$binary: $objdump cannot read it"; exit 1; }

# The system version the headers ask for.
for field in MajorOSystemVersion MajorSubsystemVersion; do
    value=$(printf '%s\n' "$headers" | awk -v f="$field" '$1 == f { print $2 }')
    [ "$value" = 4 ] || fail "$field is ${value:-missing}, Windows 95 loads only 4"
done
tls=$(printf '%s\n' "$headers" | awk '/Thread Storage Directory/ { print $3 $4 }')
[ "$tls" = 0000000000000000 ] || fail "has a thread-local storage directory ($tls)"

# Imports, one a line: "DLL Name" or "DLL @ordinal".
imports=$(printf '%s\n' "$headers" | awk '
    /^\tDLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); inside = 0; next }
    /^\tvma:.*Hint\/Ord/ { inside = 1; next }
    inside && NF == 0 { inside = 0; next }
    inside && NF >= 3 {
        if ($3 == "<none>") print dll, "@" $2; else print dll, $3
    }')
[ -n "$imports" ] || fail "imports nothing, or its import table could not be read"

count=0
while read -r dll symbol; do
    [ -n "$dll" ] || continue
    count=$((count + 1))
    list="$lists/$dll.txt"
    if [ ! -f "$list" ]; then
        fail "imports $symbol from $dll, a DLL that Windows 95 does not have"
        continue
    fi
    case $symbol in
        @*) found=$(awk -v o="$symbol" '$2 == o' "$list") ;;
        *) found=$(awk -v s="$symbol" '$1 == s' "$list") ;;
    esac
    [ -n "$found" ] || fail "imports $dll $symbol, which Windows 95 does not export"
done <<EOF
$imports
EOF

# Exports: "ordinal name" for every named export, and the size of the
# export address table (which also counts exports without a name).
if [ "${1:-}" = exports ]; then
    shift
    expected=$(for e in "$@"; do printf '%s %s\n' "${e#*@}" "${e%@*}"; done | sort)
    actual=$(printf '%s\n' "$headers" | awk '
        /^Ordinal Base/ { base = $3 }
        /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
        names && NF == 0 { names = 0 }
        names && /^\t\[/ { idx = $0; sub(/^\t\[ */, "", idx); sub(/\].*/, "", idx); print idx + base, $NF }
    ' | sort)
    # objdump prints the address table's heading twice; count distinct slots.
    slots=$(printf '%s\n' "$headers" | grep '^	\[ *[0-9]*\] +base\[' | sort -u | wc -l)
    [ "$actual" = "$expected" ] ||
        fail "exports $(printf '%s' "$actual" | tr '\n' ',') instead of $(printf '%s' "$expected" | tr '\n' ',')"
    [ "$slots" -eq "$#" ] || fail "has $slots export slots, $# expected"
fi

if [ "$failures" -gt 0 ]; then
    echo "$name: $failures problem(s) for Windows 95"
    exit 1
fi
echo "$name: $count imports, all exported by Windows 95"
printf '%s\n' "$imports" | awk '{ by[$1] = by[$1] " " $2 } END { for (d in by) print "  " d ":" by[d] }' | sort
