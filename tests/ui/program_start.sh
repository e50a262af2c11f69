#!/usr/bin/env bash
# Starts the real Tarvik.exe under Wine on a private Xvfb, as a user would:
#   1. with no settings file: the integer-value box, the icon in the
#      notification area, and the program still running after the box;
#   2. with the starting settings file of the release archive
#      (resources/Tarvik.ini): the window at once, and no error box;
#   3. from a folder with a Cyrillic name, with a settings file that has it
#      probe a loopback web server every second, and a COMCTL32.DLL and a
#      WININET.DLL beside it that Wine is told to prefer to its own: the
#      requests arrive about a second apart, then "Закрыть" in the icon's
#      menu ends the program, which writes the file back, its Cyrillic
#      message byte for byte; neither library beside it was ever loaded;
#   4. two copies in two folders, each with a settings file of its own and
#      monitoring on: both run, and each ends by its own "Закрыть";
#   5. a second start of the same program file while the first runs hidden:
#      the second ends by itself, the first shows its window, one icon
#      stays, and the second has not touched the settings file;
#   6. a start while a helper holds the file's Global\ name only, as a copy
#      in another Windows session would: one box, then the start ends and
#      has touched nothing.
#
#   program_start.sh <wine-run> <Tarvik.exe> <program_probe.exe> <work dir>
#                    <dir of the planted DLLs>
# TARVIK_START_FROM=2 leaves the first start out (the runs under another
# locale, TARVIK_LANG, whose first start would show the same ASCII box).
# Needs root (the web probe uses port 80) and python3, xdotool, xvfb-run.
set -euo pipefail
if [ -z "${TARVIK_ON_XVFB:-}" ]; then
    export TARVIK_ON_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
wine_run=$1 exe=$2 probe=$3 work=$4 planted=$5
export TARVIK_WINE_MODE=x11 WINEPREFIX="$(dirname "$wine_run")/wine/x11"
# The longest wait for any one thing: a cold Wine (its shell and services)
# takes minutes under emulation.
wait_s=${TARVIK_START_TIMEOUT:-300}
server_addr=127.0.0.20

pids=()
finish() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    # Wine before Xvfb, or its shell hangs on to the display.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
trap finish EXIT
fail() {
    echo "program_start: FAILED: $*" >&2
    echo "program_start: the windows on the display then:" >&2
    xwininfo -root -tree 2>/dev/null | grep -v 'has no name' | grep '"' | head -20 >&2
    # What the program under test said, and whether it still ran: a failure
    # seen once must be readable from the log alone.
    if [ -n "${program:-}" ]; then
        if kill -0 "$program" 2>/dev/null; then echo "program_start: the program still runs" >&2
        else echo "program_start: the program has ended" >&2; fi
        for out in "$work"/*/out.txt "$work"/*.txt; do
            [ -s "$out" ] && { echo "program_start: $out:" >&2; tail -20 "$out" >&2; }
        done
    fi
    exit 1
}
cp1251() { printf '%b' "$1" | iconv -f UTF-8 -t CP1251; }
alive() { kill -0 "$1" 2>/dev/null; }

# A user's folder on a Windows of any language.
third="$work/Сергей"
rm -rf "$work"
mkdir -p "$work/first" "$work/starting" "$third" "$work/left" "$work/right" "$work/same"

if [ "${TARVIK_START_FROM:-1}" -le 1 ]; then
echo "== first start, no settings file"
cp "$exe" "$work/first/Tarvik.exe"
"$wine_run" "$work/first/Tarvik.exe" >"$work/first/out.txt" 2>&1 &
program=$!
pids+=("$program")
text=$("$wine_run" "$probe" box Tarvik "$wait_s") || fail "no error box at the first start"
[ "$text" = "'' is not a valid integer value." ] || fail "the box says \"$text\""
echo "box: $text"
"$wine_run" "$probe" icon "$wait_s" || fail "no icon after the first start"
echo "icon: in the notification area"
sleep 3
alive "$program" || fail "the program ended after its box: $(cat "$work/first/out.txt")"
echo "still running after the box"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
fi

echo "== start with the release's settings file"
cp "$exe" "$work/starting/Tarvik.exe"
cp "$(dirname "$0")/../../resources/Tarvik.ini" "$work/starting/"
"$wine_run" "$work/starting/Tarvik.exe" >"$work/starting/out.txt" 2>&1 &
program=$!
pids+=("$program")
# Monitoring off: the window shows at start. A value that does not read
# would show the error box first, and the window only once it is answered.
shown=
for ((i = 0; i < wait_s; i++)); do
    if xdotool search --onlyvisible --name '^Тарвик$' >/dev/null 2>&1; then shown=1; break; fi
    if text=$("$wine_run" "$probe" box Tarvik 0 2>/dev/null); then fail "the starting file gives the box \"$text\""; fi
    alive "$program" || fail "the program ended: $(cat "$work/starting/out.txt")"
    sleep 1
done
[ -n "$shown" ] || fail "no window with the starting file"
if text=$("$wine_run" "$probe" box Tarvik 1 2>/dev/null); then fail "the starting file gives the box \"$text\""; fi
echo "window shown, no error box"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

echo "== third start, from $third, probing http://$server_addr/ every second, libraries planted beside it"
cp "$exe" "$third/Tarvik.exe"
# Each leaves "<its path>.loaded" behind if it is ever loaded.
cp "$planted/comctl32.dll" "$planted/wininet.dll" "$third/"
# "01" reads as 1 and is saved as "1": the file really is written again.
settings='[SETUP]\r\nIP=\r\nHOST=http://'$server_addr'/alive\r\nINTERVAL=01\r\nACTIONS=5\r\nCOMPUTER=localhost\r\nMESSAGE=Связи нет.\r\nSTATUS=1\r\n'
cp1251 "$settings" > "$third/Tarvik.ini"
cp1251 "${settings/INTERVAL=01/INTERVAL=1}" > "$third/expected.ini"

python3 - "$server_addr" "$third/requests.txt" <<'EOF' &
import http.server, sys, time
addr, log = sys.argv[1], sys.argv[2]
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(log, "a") as f:
            f.write("%.3f %s\n" % (time.monotonic(), self.path))
        body = b"alive"
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *args):
        pass
http.server.HTTPServer((addr, 80), Handler).serve_forever()
EOF
pids+=($!)
TARVIK_DLL_OVERRIDES="comctl32,wininet=n,b" "$wine_run" "$third/Tarvik.exe" >"$third/out.txt" 2>&1 &
program=$!
pids+=("$program")
"$wine_run" "$probe" icon "$wait_s" || fail "no icon after the second start"
for ((i = 0; i < wait_s; i++)); do
    [ "$(cat "$third/requests.txt" 2>/dev/null | wc -l)" -ge 7 ] && break
    sleep 1
done
# One gap alone may be short: a tick that comes due during a slow check is
# delivered as soon as the check ends. On average they are never less than
# a second apart; a busy machine may hold some of them back for seconds, but
# not most: the middle gap is about a second (at the built-in 5 s it would
# be 5).
python3 - "$third/requests.txt" <<'EOF' || fail "the checks do not come once a second"
import sys
times = [float(line.split()[0]) for line in open(sys.argv[1])]
gaps = [b - a for a, b in zip(times, times[1:])]
print("requests: %d, seconds apart: %s" % (len(times), " ".join("%.2f" % g for g in gaps)))
sys.exit(0 if len(times) >= 7 and sum(gaps) / len(gaps) > 0.6 and sorted(gaps)[len(gaps) // 2] < 2.5 else 1)
EOF
if "$wine_run" "$probe" box Tarvik 1 >/dev/null 2>&1; then fail "an error box at the second start"; fi

xy=$("$wine_run" "$probe" menu "$wait_s") || fail "no menu on the icon"
# The menu's only item, "Закрыть".
xdotool mousemove ${xy% *} ${xy#* } click 1
for ((i = 0; i < wait_s; i++)); do alive "$program" || break; sleep 1; done
alive "$program" && fail "the program still runs after \"Закрыть\""
cmp "$third/expected.ini" "$third/Tarvik.ini" ||
    fail "the saved file differs: $(od -c "$third/Tarvik.ini" | head -20)"
echo "closed through the menu; the settings file written back as expected"
loaded=$(cd "$third" && ls -- *.loaded 2>/dev/null || true)
[ -z "$loaded" ] || fail "libraries beside the program were loaded: $loaded"
echo "neither COMCTL32.DLL nor WININET.DLL beside the program was loaded"

# Monitoring on, and no check for an hour. "03600" reads as 3600 and is saved
# as "3600": a copy that saved its file shows in it.
quiet='[SETUP]\r\nIP=\r\nHOST=http://'$server_addr'/quiet\r\nINTERVAL=03600\r\nACTIONS=5\r\nCOMPUTER=localhost\r\nMESSAGE=Связи нет.\r\nSTATUS=1\r\n'
start_copy() {  # folder, its output's file: starts its Tarvik.exe, sets $program
    "$wine_run" "$work/$1/Tarvik.exe" >"$2" 2>&1 &
    program=$!
    pids+=("$program")
}
close_one() {  # closes one copy through its icon's menu
    local xy
    xy=$("$wine_run" "$probe" menu "$wait_s") || fail "no menu on the icon"
    xdotool mousemove ${xy% *} ${xy#* } click 1
}
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

echo "== two copies in two folders"
for side in left right; do
    cp "$exe" "$work/$side/Tarvik.exe"
    cp1251 "$quiet" > "$work/$side/Tarvik.ini"
done
cp1251 "${quiet/INTERVAL=03600/INTERVAL=3600}" > "$work/left/expected.ini"
start_copy left "$work/left/out.txt"
left=$program
"$wine_run" "$probe" icons 1 "$wait_s" || fail "no icon of the first copy"
start_copy right "$work/right/out.txt"
right=$program
"$wine_run" "$probe" icons 2 "$wait_s" || fail "the copy of the other folder has no icon of its own"
alive "$left" && alive "$right" || fail "a copy of another folder ended"
echo "both copies run, two icons"
close_one
for ((i = 0; i < wait_s; i++)); do { alive "$left" && alive "$right"; } || break; sleep 1; done
{ alive "$left" || alive "$right"; } || fail "\"Закрыть\" of one copy ended both"
{ alive "$left" && alive "$right"; } && fail "\"Закрыть\" ended neither copy"
"$wine_run" "$probe" icons 1 "$wait_s" || fail "the icon of the closed copy stays"
close_one
for ((i = 0; i < wait_s; i++)); do { alive "$left" || alive "$right"; } || break; sleep 1; done
{ alive "$left" || alive "$right"; } && fail "the second copy still runs after its \"Закрыть\""
for side in left right; do
    cmp "$work/left/expected.ini" "$work/$side/Tarvik.ini" || fail "the $side copy did not save its own file"
done
echo "each ended by its own \"Закрыть\" and saved its own file"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

echo "== a second start of the same program file"
cp "$exe" "$work/same/Tarvik.exe"
cp1251 "$quiet" > "$work/same/Tarvik.ini"
cp "$work/same/Tarvik.ini" "$work/same/before.ini"
start_copy same "$work/same-first.txt"
first=$program
"$wine_run" "$probe" icons 1 "$wait_s" || fail "no icon of the first copy"
claim=$("$wine_run" "$probe" listener "$wait_s") || fail "the first copy does not listen for later starts"
claim=${claim%$'\r'}
xdotool search --onlyvisible --name '^Тарвик$' >/dev/null 2>&1 && fail "the window shows while monitoring"
files=$(ls -l --time-style=+%s.%N "$work/same")
started=$(date +%s)
# The outputs are kept outside the folder: whatever it leaves there shows.
start_copy same "$work/second-start.txt"
second=$program
for ((i = 0; i < wait_s; i++)); do alive "$second" || break; sleep 1; done
alive "$second" && fail "the second start still runs after $wait_s s"
echo "the second start ended after $(($(date +%s) - started)) s"
shown=
for ((i = 0; i < wait_s; i++)); do
    if xdotool search --onlyvisible --name '^Тарвик$' >/dev/null 2>&1; then shown=1; break; fi
    sleep 1
done
[ -n "$shown" ] || fail "the first copy did not show its window"
alive "$first" || fail "the first copy ended"
"$wine_run" "$probe" icons 1 0 || fail "not one icon"
cmp "$work/same/before.ini" "$work/same/Tarvik.ini" || fail "the settings file changed"
[ "$(ls -l --time-style=+%s.%N "$work/same")" = "$files" ] || fail "the folder changed: $(ls -l "$work/same")"
echo "the first copy shows its window, one icon, the file untouched"

echo "== a start while a copy in another Windows session holds the file"
# A helper that takes only the whole computer's name stands for that copy.
close_one
for ((i = 0; i < wait_s; i++)); do alive "$first" || break; sleep 1; done
alive "$first" && fail "the first copy still runs after its \"Закрыть\""
"$wine_run" "$(dirname "$probe")/../support/holder.exe" mutex "Global\\$claim" tarvik-start-holder \
    >"$work/holder.txt" 2>&1 &
pids+=("$!")
for ((i = 0; i < wait_s; i++)); do grep -q held "$work/holder.txt" && break; sleep 1; done
grep -q held "$work/holder.txt" || fail "the helper does not hold Global\\$claim: $(cat "$work/holder.txt")"
cp "$work/same/Tarvik.ini" "$work/same/before.ini"
files=$(ls -l --time-style=+%s.%N "$work/same")
start_copy same "$work/other-session.txt"
text=$("$wine_run" "$probe" box Tarvik "$wait_s") || fail "no box at a start held in another session"
# The probe reads the box in the system's code page: the text compares under 1251.
if [ -z "${TARVIK_LANG:-}" ]; then
    [ "$text" = "$(cp1251 'Тарвик уже работает с этим файлом настроек в другом сеансе Windows.')" ] ||
        fail "the box says \"$(printf '%s' "$text" | iconv -f CP1251 -t UTF-8)\""
fi
for ((i = 0; i < wait_s; i++)); do alive "$program" || break; sleep 1; done
alive "$program" && fail "the start still runs after its box"
"$wine_run" "$probe" icons 0 0 || fail "an icon of the start held in another session"
cmp "$work/same/before.ini" "$work/same/Tarvik.ini" || fail "the settings file changed"
[ "$(ls -l --time-style=+%s.%N "$work/same")" = "$files" ] || fail "the folder changed: $(ls -l "$work/same")"
echo "one box, then the start ended; the file untouched"
