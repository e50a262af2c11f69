#!/usr/bin/env bash
# The build's Wine prefixes: <root>/null (null graphics driver), <root>/x11
# (a real display), <root>/doubles (null graphics driver, with test-double
# DLLs in its system folder) and <root>/shots (a real display and Wine's own
# fonts, for scripts/screenshot.sh). Created once, then reused. A mode
# "<mode>-dpi<n>" (null-dpi144, shots-dpi192) is a copy of <mode> whose
# display reports <n> dots per inch (HKCU\Control Panel\Desktop LogPixels),
# as Windows does at n/96 of the normal scale.
#
#   wine-prefix.sh ensure <root> <mode>   create the prefix when missing
#   wine-prefix.sh start  <root> <mode>   keep a wineserver running (faster starts)
#   wine-prefix.sh stop   <root> <mode>   end that wineserver
#   wine-prefix.sh dlls   <root> <mode> <dll>[,<dll>...]
#                                         put these DLLs in the prefix's system
#                                         folder, in place of Wine's own files
#                                         of those names; the ones a previous
#                                         call put there go back to Wine's
# TARVIK_WIN_ARCH (i686 or x86_64) picks 32-bit or 64-bit Wine.
set -euo pipefail
action=$1 root=$2 mode=$3
prefix="$root/$mode"

export WINEDEBUG=-all
# The prefixes are made, and their servers kept, under the Russian locale;
# a program run under another still gets that locale's code page.
unset TARVIK_LANG
. "$(dirname "$0")/wine-env.sh"

base=${mode%%-dpi*}
dpi=
[ "$base" = "$mode" ] || dpi=${mode##*-dpi}

create() {
    local tmp="$prefix.tmp"
    rm -rf "$tmp"
    if [ -n "$dpi" ]; then
        cp -a "$root/$base" "$tmp"
        local reg="$root/$mode.reg"
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" > "$reg"
        WINEPREFIX="$tmp" DISPLAY= "$WINELOADER" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
        WINEPREFIX="$tmp" wineserver -w
        mv "$tmp" "$prefix"
        return
    fi
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
        case $mode in
        x11|shots) echo '"Graphics"="x11"' ;;
        *)         echo '"Graphics"="null"' ;;
        esac
        echo
        echo '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
        echo '"Managed"="N"'
    } > "$reg"
    WINEPREFIX="$tmp" DISPLAY= "$WINELOADER" regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
    WINEPREFIX="$tmp" wineserver -w
    if [ "$mode" = shots ]; then
        # Debian's Wine does not load the fonts of fonts-wine from where that
        # package puts them: without them the caption's buttons lack Marlett
        # and "MS Sans Serif" is a wider host font. In the prefix's own font
        # folder Wine finds them, the bitmap MS Sans Serif of each code page
        # among them, as Windows has it at 96 dpi.
        cp /usr/share/wine/fonts/* "$tmp/drive_c/windows/Fonts/"
    fi
    mv "$tmp" "$prefix"
}

case $action in
ensure)
    [ -f "$prefix/system.reg" ] && exit 0
    # The other prefixes are copies of the null one (a scaled one, of its
    # mode's).
    [ "$mode" = null ] || "$(dirname "$0")/wine-prefix.sh" ensure "$root" null
    [ -z "$dpi" ] || "$(dirname "$0")/wine-prefix.sh" ensure "$root" "$base"
    mkdir -p "$root"
    exec 9>"$root/.lock"
    flock 9
    [ -f "$prefix/system.reg" ] || create
    ;;
start)
    "$(dirname "$0")/wine-prefix.sh" ensure "$root" "$mode"
    # The first process starts Wine's services, which inherit its output:
    # keep them off any pipe that a test runner reads.
    # A server that is still running (a run cut short, a program started by
    # hand) refuses a second one; it serves the tests just as well.
    WINEPREFIX="$prefix" wineserver -p </dev/null >/dev/null 2>&1 || true
    if [ "$base" = null ]; then
        WINEPREFIX="$prefix" DISPLAY= "$WINELOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true
    fi
    ;;
stop)
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    ;;
dlls)
    # C:\windows\system32, where the prefix's own programs (of its one
    # architecture) find Windows' libraries.
    system="$prefix/drive_c/windows/system32"
    wine_own="$root/null/drive_c/windows/system32"
    if [ -f "$prefix/.doubles" ]; then
        while read -r name; do cp "$wine_own/$name" "$system/$name"; done < "$prefix/.doubles"
    fi
    : > "$prefix/.doubles"
    IFS=, read -ra dlls <<< "$4"
    for dll in "${dlls[@]}"; do
        name=$(basename "$dll" | tr '[:upper:]' '[:lower:]')
        [ -f "$wine_own/$name" ] || { echo "wine-prefix: Wine has no $name to stand in for" >&2; exit 1; }
        echo "$name" >> "$prefix/.doubles"
        cp "$dll" "$system/$name"
    done
    ;;
esac
