#!/usr/bin/env bash
# The build's Wine prefixes: <root>/null (null graphics driver) and
# <root>/x11 (a real display). Created once, then reused.
#
#   wine-prefix.sh ensure <root> <mode>   create the prefix when missing
#   wine-prefix.sh start  <root> <mode>   keep a wineserver running (faster starts)
#   wine-prefix.sh stop   <root> <mode>   end that wineserver
# TARVIK_WIN_ARCH (i686 or x86_64) picks 32-bit or 64-bit Wine.
set -euo pipefail
action=$1 root=$2 mode=$3
prefix="$root/$mode"

export WINEDEBUG=-all
. "$(dirname "$0")/wine-env.sh"

create() {
    local tmp="$prefix.tmp"
    rm -rf "$tmp"
    if [ "$mode" != null ] && [ -f "$root/null/system.reg" ]; then
        cp -a "$root/null" "$tmp"
    else
        WINEPREFIX="$tmp" DISPLAY= "$WINELOADER" wineboot -i </dev/null >/dev/null 2>&1
        WINEPREFIX="$tmp" wineserver -w
    fi
    local reg="$root/$mode.reg"
    {
        echo 'REGEDIT4'
        echo
        echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
        echo '"ShowCrashDialog"=dword:00000000'
        echo
        echo '[HKEY_CURRENT_USER\Software\Wine\Drivers]'
        if [ "$mode" = null ]; then echo '"Graphics"="null"'; else echo '"Graphics"="x11"'; fi
        echo
        echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
        echo '"Managed"="N"'
    } > "$reg"
    WINEPREFIX="$tmp" DISPLAY= "$WINELOADER" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
    WINEPREFIX="$tmp" wineserver -w
    mv "$tmp" "$prefix"
}

case $action in
ensure)
    [ -f "$prefix/system.reg" ] && exit 0
    mkdir -p "$root"
    exec 9>"$root/.lock"
    flock 9
    [ -f "$prefix/system.reg" ] || create
    ;;
start)
    "$(dirname "$0")/wine-prefix.sh" ensure "$root" "$mode"
    # The first process starts Wine's services, which inherit its output:
    # keep them off any pipe that a test runner reads.
    WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1
    if [ "$mode" = null ]; then
        WINEPREFIX="$prefix" DISPLAY= "$WINELOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
    ;;
stop)
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    ;;
esac
