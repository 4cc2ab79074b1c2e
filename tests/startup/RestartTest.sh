#!/usr/bin/env bash
# Windows restarted after the user kept 85 Hz through the installed page: the
# board comes back at its boot rate, the machine's start-up entries run, the
# board runs 85 Hz again and the page opens showing what the board runs.
#
#   RestartTest.sh BIN PACKAGE MACHINE_REG
#
# It runs in the run's prefix (WINEPREFIX, as ./run sets it) and ends that
# prefix's Wine server, as a restart does; it leaves a kept-alive server and
# the board in the machine's mode for the tests after it.
set -u
bin=$1
package=$2
machine=$3
[ -n "${WINEPREFIX:-}" ] || { echo "WINEPREFIX is not set: run this through ./run"; exit 1; }
wine=${WINELOADER:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
failures=0

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
quiet() { "$wine" "$@" </dev/null >/dev/null 2>&1; }
board() { "$wine" "$bin/BoardReport.exe" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^$1=//p"; }
check() {
    if [ "$2" = "$3" ]; then
        echo "ok: $1 ($2)"
    else
        echo "FAILED: $1: found \"$2\", expected \"$3\""
        failures=$((failures + 1))
    fi
}
# The start-up entries run in the background: the board's rate, polled until
# it comes; the bound (some five minutes) only stops a start-up that never does.
wait_for_rate() {
    for _ in $(seq 600); do [ "$(board refresh)" = "$1" ] && return; sleep 0.5; done
}
# Windows starting: a new server, then wineboot without arguments, which runs
# the Run entries of the machine (wineboot -r would skip them). The server
# stays alive for the tests that follow.
restart_windows() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w >/dev/null 2>&1
    "$wineserver" -p </dev/null >/dev/null 2>&1
    quiet wineboot
}
remove_everything() {
    local key windows='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
    quiet reg delete "$run_key" /v Glimora /f
    for key in 'HKLM\Software\Orvel' 'HKCR\CLSID\{87b9bd00-c65c-11cd-a259-00dd010e8c28}' "$windows\Uninstall\RTLPAGE" \
        "$windows\Controls Folder\Display\shellex\PropertySheetHandlers\RTLPAGE" 'HKLM\Config\0001\Display\Settings' \
        'HKLM\Enum\Monitor\Default_Monitor' 'HKLM\System\CurrentControlSet\Services\Class\Monitor'; do
        quiet reg delete "$key" /f
    done
    rm -f "$WINEPREFIX"/drive_c/windows/System/{Ratelle.dll,Purvix.exe,Glimrate.exe,Glimhelp.hlp,Glimlogo.bmp,OV_Logo.bmp}
    quiet "$bin/BoardReport.exe" reset 800,600 16
}
trap remove_everything EXIT

remove_everything
quiet regedit /S "$(windows_path "$machine")"
quiet rundll32 setupapi,InstallHinfSection DefaultInstall 132 "$(windows_path "$package/Glimora.inf")"
check "the start-up entry" "$("$wine" reg query "$run_key" /v Glimora </dev/null 2>/dev/null | tr -d '\r' |
    awk '$1 == "Glimora" { print $3 }')" 'C:\windows\System\Glimrate.exe'

echo "== the typical request: Advance, 85, Test, Yes, OK"
"$wine" "$bin/Replay.exe" </dev/null >replay.log 2>&1
check "the replay's checks" "$(tail -n 1 replay.log | tr -d '\r' | sed 's/.*, //')" "0 failed"
check "the board after the replay" "$(board refresh)" 85

echo "== Windows restarts"
quiet "$bin/BoardReport.exe" reset 800,600 16
check "the board at boot" "$(board refresh)" 60
restart_windows
wait_for_rate 85
check "the board after the start-up entries ran" "$(board refresh)" 85
"$wine" "$bin/Replay.exe" --status </dev/null >status.log 2>&1
check "the page as it opens" "$(grep -o 'status: .*Refresh = [0-9]* Hz' status.log | sed 's/.*| //')" "Refresh = 85 Hz"
check "the page's checks" "$(tail -n 1 status.log | tr -d '\r' | sed 's/.*, //')" "0 failed"

[ "$failures" -eq 0 ] || { cat replay.log status.log; exit 1; }
