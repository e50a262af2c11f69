#!/usr/bin/env bash
# What scripts/lib/setup.sh decides, against stand-ins for the package tools put
# first in PATH: nothing on this machine is installed, changed or generated.
# Each case gives the stand-ins a machine (which packages and locales it has,
# whether we are root, whether apt-get works) and checks what set-up did and
# said.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-setup-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin" "$work/state"
# 32-bit Wine is left out of every case: whether this kernel runs 32-bit
# code must not change the answers.
touch "$work/state/wine32-failed"

stand_in() { printf '#!/usr/bin/env bash\n%s\n' "$2" > "$bin/$1"; chmod +x "$bin/$1"; }
# FAKE_PACKAGES=all: every package asked about is installed; none: the
# package database has never heard of any (a fresh machine), so dpkg-query
# prints nothing and exits 1. What it was asked for goes to asked.
stand_in dpkg-query '
rc=0
for a in "$@"; do
    case $a in -*) continue ;; esac
    echo "$a" >> "$WORK/asked"
    if [ "$FAKE_PACKAGES" = all ]; then
        case $a in *:*) echo "$a install ok installed" ;; *) echo "$a:amd64 install ok installed" ;; esac
    else
        echo "dpkg-query: no packages found matching $a" >&2; rc=1
    fi
done
exit $rc'
stand_in apt-get '
echo "apt-get $*" >> "$WORK/calls"
[ "$1" = install ] || exit 0
[ -z "${FAKE_APT_MISSING:-}" ] || { echo "E: Unable to locate package $FAKE_APT_MISSING"; exit 100; }
exit "${FAKE_APT_RC:-0}"'
stand_in dpkg 'echo "dpkg $*" >> "$WORK/calls"; [ "$1" != --print-foreign-architectures ] || echo i386'
stand_in id '[ "$1" = -u ] && echo "$FAKE_UID"'
stand_in locale '[ "$FAKE_LOCALES" = none ] || printf "C\nC.utf8\nPOSIX\nen_US.utf8\nru_RU.utf8\nzh_CN.utf8\n"'
stand_in locale-gen 'echo "locale-gen $*" >> "$WORK/calls"'

failures=0
# name, packages, locales, uid, apt-get's install status, package the archive
# lacks, expected exit (0 or "fail"), what its output must hold (a grep -E
# pattern; "" for no output at all), then what the calls must show.
check() {
    local name=$1 packages=$2 locales=$3 uid=$4 apt_rc=$5 missing=$6 want=$7 says=$8 calls_want=$9
    rm -f "$work/asked" "$work/calls" "$work/out" "$work/err"
    touch "$work/asked" "$work/calls"
    local rc=0
    env PATH="$bin:$PATH" WORK="$work" TMPDIR="$work" TARVIK_STATE_DIR="$work/state" \
        FAKE_PACKAGES="$packages" FAKE_LOCALES="$locales" FAKE_UID="$uid" FAKE_APT_RC="$apt_rc" \
        FAKE_APT_MISSING="$missing" bash scripts/lib/setup.sh > "$work/out" 2> "$work/err" || rc=$?
    cat "$work/err" >> "$work/out"
    local why=""
    if [ "$want" = 0 ]; then [ $rc -eq 0 ] || why="exit status $rc, expected 0"
    else [ $rc -ne 0 ] || why="exit status 0, expected a failure"; fi
    if [ -z "$says" ]; then
        [ ! -s "$work/out" ] || why="$why; it printed something"
    else
        grep -qE "$says" "$work/out" || why="$why; no line matching /$says/"
        [ "$want" = 0 ] || [ "$(wc -l < "$work/err")" -eq 1 ] || why="$why; not exactly one line on standard error"
    fi
    case $calls_want in
    none)  [ ! -s "$work/calls" ] || why="$why; it called $(head -1 "$work/calls")" ;;
    all)   # installs exactly what it asked dpkg-query about
        local installed
        installed=$(grep '^apt-get install' "$work/calls" | head -1 | tr ' ' '\n' | grep -v -e '^-' -e '^apt-get$' -e '^install$' | sort)
        [ -n "$installed" ] && [ "$installed" = "$(sort -u "$work/asked")" ] ||
            why="$why; apt-get install got [$(echo $installed)], asked about [$(sort -u "$work/asked" | tr '\n' ' ')]" ;;
    esac
    if [ -n "$why" ]; then
        echo "FAIL $name: ${why#; }"; sed 's/^/    | /' "$work/out"; failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

#     name                              packages locales uid apt missing    want  says                                    calls
check "nothing known: installs it all"  none     all     0   0   ""         0     '^setup: installing '                   all
check "everything there: silent"        all      all     0   0   ""         0     ''                                      none
check "apt-get install fails"           none     all     0   100 ""         fail  '^setup: apt-get install failed'        all
check "a package the archive lacks"     none     all     0   0   cmark-gfm  fail  '^setup: the package archive has no cmark-gfm' all
check "not root, packages missing"      none     all     1000 0  ""         fail  '^setup: .*missing.*as root'            none
check "not root, locales missing"       all      none    1000 0  ""         fail  '^setup: the locales .* as root'        none
[ $failures -eq 0 ] || { echo "setup guard: $failures case(s) failed"; exit 1; }
