#!/usr/bin/env bash
# Pictures for the README and the user guide: runs Tarvik.exe under Wine on a
# private Xvfb, in a prefix that has Wine's own fonts (so the window looks as
# on Windows at 96 dpi: Marlett for the caption's buttons, the bitmap
# "MS Sans Serif"), with settings that show the window at start, and saves
#   docs/window-statistics.png, window-settings.png, window-help.png
#                       the three pages;
#   docs/tray-menu.png  the notification-area icon with its menu open;
#   docs/alert-box.png  the alert's message box ("Проверить сообщение."),
#                       which Wine's wtsapi32 cannot show: a stand-in that
#                       shows the program's session message as the same box
#                       takes its place in the prefix's system folder;
#   docs/icon-still.png, icon-alarm.png
#                       the icon's two pictures, twice their size;
#   docs/window-statistics-english.png
#                       the statistics page once more on an English Windows
#                       (Wine's code page 1252): the same Russian window;
#   docs/window-statistics-150.png, window-statistics-200.png
#                       the statistics page at 150 % and 200 % of the normal
#                       scale (144 and 192 dpi), in copies of the prefix that
#                       report that scale.
# TARVIK_BUILD: the build root (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/lib/setup.sh
build=${TARVIK_BUILD:-build}
arch=$(scripts/lib/wine-arch.sh)
DIRS=win TARGETS="Tarvik program_probe wtsapi32_showing" bash scripts/lib/build.sh

root="$PWD/$build/win/wine"
TARVIK_WIN_ARCH="$arch" scripts/lib/wine-prefix.sh ensure "$root" shots
TARVIK_WIN_ARCH="$arch" scripts/lib/wine-prefix.sh dlls "$root" shots \
    "$PWD/$build/win/tests/monitor/wtsapi32_showing/wtsapi32.dll"

# A copy of the program with settings of its own, so the user's Tarvik.ini
# beside the built program is left alone. STATUS=0 shows the window and
# runs no check.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/win/src/ui/Tarvik.exe" "$work/"
printf '[SETUP]\r\nIP=127.0.0.1\r\nHOST=localhost/\r\nINTERVAL=5\r\nACTIONS=5\r\nCOMPUTER=LocalHost\r\nMESSAGE=Связь с сервером потеряна.\r\nSTATUS=0\r\n' |
    iconv -f UTF-8 -t CP1251 > "$work/Tarvik.ini"
mkdir -p docs
for picture in still:tarvik.ico alarm:tarvik_alarm.ico; do
    # The 16x16 image with the most colours, each pixel doubled.
    convert "resources/${picture#*:}[0]" -filter point -resize 200% -define png:exclude-chunks=date,time \
        "PNG32:docs/icon-${picture%%:*}.png"
    echo "screenshot: docs/icon-${picture%%:*}.png"
done

export TARVIK_WINE_MODE=shots TARVIK_WIN_ARCH="$arch" TARVIK_DLL_OVERRIDES="wtsapi32=n,b" \
       WINE_RUN="$PWD/$build/win/wine-run" PROBE="$PWD/$build/win/tests/ui/program_probe.exe" \
       WINEPREFIX="$root/shots" EXE="$work/Tarvik.exe" DOCS="$PWD/docs" SCRIPTS="$PWD/scripts"
# Each run starts the program and waits for its window.
start_program='
    set -eu
    "$WINE_RUN" "$EXE" >/dev/null 2>&1 &
    program=$!
    finish() { kill $program 2>/dev/null || true; wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
    trap finish EXIT
    window=$(timeout 120 xdotool search --sync --onlyvisible --name "^Тарвик\$" | head -n1)
    sleep 2
'
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$start_program"'
    # Positions relative to the window with its frame (3 pixels, and a
    # caption of 19 above the client area).
    shot() {  # page, x, y of its tab
        xdotool mousemove --window "$window" "$2" "$3" click 1
        sleep 1
        import -window "$window" "$DOCS/window-$1.png"
        echo "screenshot: docs/window-$1.png"
    }
    shot statistics 45 120
    shot settings 120 120
    shot help 185 120

    # The alert, as "Проверить сообщение." sends it to this computer: a box
    # of its own, titled with the program'"'"'s name.
    xdotool mousemove --window "$window" 45 120 click 1
    sleep 1
    xdotool mousemove --window "$window" 112 303 click 1
    box=
    for _ in $(seq 120); do
        for w in $(xdotool search --onlyvisible --name "^Tarvik\$" 2>/dev/null); do
            # Not the application'"'"'s own hidden window of the same title.
            width=$(xdotool getwindowgeometry "$w" | sed -n "s/.*Geometry: \([0-9]*\)x.*/\1/p")
            if [ "${width:-0}" -gt 50 ]; then box=$w; fi
        done
        [ -n "$box" ] && break
        sleep 1
    done
    [ -n "$box" ] || { echo "screenshot: no alert box appeared" >&2; exit 1; }
    sleep 1
    import -window "$box" "$DOCS/alert-box.png"
    echo "screenshot: docs/alert-box.png"

    # The menu opens where the pointer is. Wine'"'"'s tray window sits at the
    # top left corner of the screen, its icon at (6, 25) below its caption:
    # with the pointer just right of the icon'"'"'s top, the menu leaves the
    # icon in view and stays inside the window'"'"'s white.
    xdotool mousemove 22 22
    "$WINE_RUN" "$PROBE" menu 60 >/dev/null
    sleep 1
    import -window root -crop 110x25+0+20 +repage "$DOCS/tray-menu.png"
    echo "screenshot: docs/tray-menu.png"
'

# The same program under the English locale: Wine gives it code page 1252,
# as an English, German or French Windows would.
TARVIK_LANG=en_US.UTF-8 xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$start_program"'
    xdotool mousemove --window "$window" 45 120 click 1
    sleep 1
    import -window "$window" "$DOCS/window-statistics-english.png"
    echo "screenshot: docs/window-statistics-english.png"
'

# The statistics page at 150 % and 200 %: the window lays itself out at the
# display's scale. The tab is clicked where the layout puts it at that scale,
# inside the window's frame (measured: the window less its client area).
for dpi in 144 192; do
    percent=$((dpi * 100 / 96))
    TARVIK_WINE_DPI=$dpi DPI=$dpi PERCENT=$percent WINEPREFIX="$root/shots-dpi$dpi" \
        xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$start_program"'
        scaled() { echo $(( ($1 * DPI * 2 + 96) / 192 )); }  # as MulDiv rounds
        eval "$(xdotool getwindowgeometry --shell "$window")"
        border=$(( (WIDTH - $(scaled 219)) / 2 ))
        top=$(( HEIGHT - $(scaled 312) - border ))
        xdotool mousemove --window "$window" $(( border + $(scaled 39) )) $(( top + $(scaled 98) )) click 1
        sleep 1
        import -window "$window" "$DOCS/window-statistics-$PERCENT.png"
        echo "screenshot: docs/window-statistics-$PERCENT.png"
    '
done
