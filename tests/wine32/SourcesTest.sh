#!/bin/sh
# The private apt sources of wine32/setup, taken from a machine's own: each
# release suite gets its backports suite beside it, other releases and
# origins, disabled entries and architecture limits are left out, options and
# components kept.
#
#   SourcesTest.sh SOURCES_SCRIPT WORK_FOLDER
set -u
sources=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
status=0

expect() {  # FILE EXPECTED
    found=$(sh "$sources" bookworm "$1")
    if [ "$found" != "$2" ]; then
        printf 'from %s:\n--- found\n%s\n--- expected\n%s\n' "$(basename "$1")" "$found" "$2"
        status=1
    fi
}

cat >"$work/machine.list" <<'LIST'
# the mirror
deb http://mirror.example/debian bookworm main contrib
deb-src http://mirror.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://mirror.example/debian bookworm-updates main
deb [ arch=amd64,i386 ] http://security.example/debian-security bookworm-security main
deb http://mirror.example/debian bullseye main
deb https://vendor.example/apt cloud-sdk-bookworm main
LIST
expect "$work/machine.list" 'deb http://mirror.example/debian bookworm main contrib
deb http://mirror.example/debian bookworm-backports main contrib
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://mirror.example/debian bookworm-updates main
deb http://security.example/debian-security bookworm-security main'

cat >"$work/machine.sources" <<'SOURCES'
Types: deb
URIs: http://mirror.example/debian
Suites: bookworm bookworm-updates
Components: main
Architectures: amd64
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

# Types: deb
# URIs: http://old.example/debian
# Suites: bookworm

Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb
URIs: https://vendor.example/node
Suites: nodistro
Components: main
SOURCES
expect "$work/machine.sources" 'Types: deb
URIs: http://mirror.example/debian
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
Suites: bookworm bookworm-backports bookworm-updates'

[ $status -eq 0 ] && echo "sources: as expected"
exit $status
