#!/usr/bin/env bash
# check_import_list.sh <objdump> <program> <list>: fails when the program
# imports a function that the list (tests/ui/program_imports.txt) does not
# hold, when the list holds one it does not import, or when the list gives
# one of its functions a Windows newer than XP. Lines "<DLL>!<function>  <oldest Windows>"; "#" starts a comment.
set -euo pipefail
export LC_ALL=C  # objdump translates its words under other locales
objdump=$1 program=$2 list=$3

# DLL!function for each import (DLL names in lower case; "#<n>" for an
# import by ordinal).
imports=$("$objdump" -p "$program" | awk '
    /^The Import Tables/ { on = 1; next }
    on && /^[A-Z]/ { on = 0 }
    on && /^\tDLL Name: / { dll = tolower($3); next }
    on && dll != "" && /^\t[0-9a-f]+\t/ { print dll "!" (NF >= 3 ? $3 : "#" $2) }')
[ -n "$imports" ] || { echo "$program: no imports found" >&2; exit 1; }

status=0
declare -A allowed
while read -r entry version; do
    [ -n "$entry" ] || continue
    dll=${entry%%!*}
    dll=${dll,,}
    case $version in
    95 | NT4 | 2000 | XP | "XP SP1" | "XP SP2" | "XP SP3") ;;
    CRT) [ "$dll" = msvcrt.dll ] || { echo "$list: $entry: CRT is for msvcrt.dll only" >&2; status=1; } ;;
    *) echo "$list: $entry needs $version, newer than Windows XP" >&2; status=1 ;;
    esac
    allowed["$dll!${entry#*!}"]=1
done < <(sed -e 's/#.*//' -e 's/[[:space:]]*$//' "$list")

count=0
declare -A imported
for import in $imports; do
    count=$((count + 1))
    imported["$import"]=1
    [ -n "${allowed[$import]:-}" ] && continue
    echo "$program imports $import, which $list does not hold: check its reference page" >&2
    status=1
done
# A list that names what the program no longer imports says less than it seems.
for entry in "${!allowed[@]}"; do
    [ -n "${imported[$entry]:-}" ] || { echo "$list holds $entry, which $program no longer imports: take it out" >&2; status=1; }
done
((status)) || echo "ok: all $count imports are on the list, none newer than Windows XP"
exit $status
