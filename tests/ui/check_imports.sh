#!/usr/bin/env bash
# check_imports.sh <objdump> <program>: fails when the program imports a DLL
# other than the Windows libraries that the loader takes from the system
# folder whatever lies beside the program (known DLLs). Every other library
# (common controls, WinINet, NetApi32, ICMP, wtsapi32) is loaded at run time
# from the system folder only.
set -euo pipefail
export LC_ALL=C  # objdump translates "DLL Name:" under other locales
objdump=$1 program=$2
system="kernel32 user32 gdi32 shell32 ole32 ws2_32 msvcrt"
status=0
# objdump translates its output under a Russian locale.
dlls=$(LC_ALL=C "$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "no imports found in $program" >&2; exit 1; }
for dll in $dlls; do
    name=$(echo "${dll%.*}" | tr 'A-Z' 'a-z')
    if [[ " $system " == *" $name "* ]]; then
        echo "ok: $dll"
    else
        echo "not a known Windows library: $dll" >&2
        status=1
    fi
done
exit $status
