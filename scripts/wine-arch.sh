#!/usr/bin/env bash
# Prints the Windows architecture whose programs Wine can run here: i686 when
# this kernel runs 32-bit Linux programs (32-bit Wine), x86_64 otherwise.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
