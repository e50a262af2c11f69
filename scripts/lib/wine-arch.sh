#!/usr/bin/env bash
# Prints the Windows architecture whose programs the Windows tests run as
# here: i686 where 32-bit Wine runs (this kernel runs 32-bit Linux programs
# and wine32:i386 is installed), x86_64 otherwise; the 32-bit tests then run
# in the virtual machine (vm-test.sh).
#   TARVIK_VM=1: x86_64 even where 32-bit Wine runs, so that the virtual
#                machine's path can be tried on such a machine too.
#   --why: a sentence saying what was found, for reports.
if [ "${TARVIK_VM:-}" = 1 ]; then
    arch=x86_64 why="the virtual machine was asked for (TARVIK_VM=1), so 32-bit Wine is not used here"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    arch=i686 why="32-bit Wine runs on this machine"
elif [ -e /usr/lib/wine/wine ]; then
    arch=x86_64 why="32-bit Wine is installed, but this machine's kernel runs no 32-bit programs"
else
    arch=x86_64 why="32-bit Wine (wine32:i386) is not installed on this machine"
fi
if [ "${1:-}" = --why ]; then echo "$why"; else echo "$arch"; fi
