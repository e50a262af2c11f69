#!/usr/bin/env bash
# Pictures of the main window's three pages for the README: runs Tarvik.exe
# under Wine on a private Xvfb, with settings that show the window at start,
# clicks each tab and saves docs/window-<page>.png.
# TARVIK_BUILD: the build root (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${TARVIK_BUILD:-build}
arch=$(scripts/wine-arch.sh)
DIRS=win TARGETS=Tarvik bash scripts/build.sh

# A copy of the program with settings of its own, so the user's Tarvik.ini
# beside the built program is left alone. STATUS=0 shows the window.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/win/src/ui/Tarvik.exe" "$work/"
printf '[SETUP]\r\nIP=127.0.0.1\r\nHOST=localhost/\r\nINTERVAL=5\r\nACTIONS=5\r\nCOMPUTER=LocalHost\r\nMESSAGE=Произошла ошибка.\r\nSTATUS=0\r\n' |
    iconv -f UTF-8 -t CP1251 > "$work/Tarvik.ini"
mkdir -p docs

export TARVIK_WINE_MODE=x11 TARVIK_WIN_ARCH="$arch" WINE_RUN="$PWD/$build/win/wine-run" \
       WINEPREFIX="$PWD/$build/win/wine/x11" EXE="$work/Tarvik.exe" DOCS="$PWD/docs" SCRIPTS="$PWD/scripts"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -eu
    . "$SCRIPTS/wine-env.sh"
    "$WINE_RUN" "$EXE" >/dev/null 2>&1 &
    program=$!
    finish() { kill $program 2>/dev/null || true; wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
    trap finish EXIT
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Тарвик\$" | head -n1)
    sleep 2
    # The centre of each tab, relative to the window with its frame.
    shot() {  # page, x, y
        xdotool mousemove --window "$window" "$2" "$3" click 1
        sleep 1
        import -window "$window" "$DOCS/window-$1.png"
        echo "screenshot: docs/window-$1.png"
    }
    shot statistics 45 120
    shot settings 120 120
    shot help 185 120
'
