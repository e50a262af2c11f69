#!/usr/bin/env bash
# check_product.sh <objdump> <program>: fails unless the program is fit to
# hand out: no debug information or symbols, at most 1 MiB, and carrying its
# icon group and version resource.
set -euo pipefail
export LC_ALL=C  # objdump's words are parsed below
objdump=$1 program=$2
status=0
fail() { echo "$program: $*" >&2; status=1; }

size=$(stat -c %s "$program")
((size <= 1048576)) || fail "$size bytes, more than 1 MiB"
"$objdump" -h "$program" | grep -q ' \.debug' && fail "has debug sections"
"$objdump" -f "$program" | grep -q 'HAS_SYMS' && fail "has a symbol table"

# Top-level entries of the resource directory are the resource types.
resources=$("$objdump" -p "$program" | sed -n '/^The .rsrc Resource Directory/,$p')
grep -Eq '^[0-9a-f]+   Entry: ID: 0x00000e,' <<<"$resources" || fail "no icon group"
grep -q 'name: .*: MAINICON,' <<<"$resources" || fail "no MAINICON icon"
grep -Eq '^[0-9a-f]+   Entry: ID: 0x000010,' <<<"$resources" || fail "no version resource"
((status)) || echo "ok: $size bytes, stripped, icon and version"
exit $status
