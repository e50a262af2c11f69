#!/usr/bin/env python3
"""Writes docs/benchmarks.md and its plot from what the benchmark program
left beside itself.

  bench_report.py FIGURES SAMPLES MARKDOWN PNG SUMMARY_LINE

FIGURES is the program's key=value file, SAMPLES its CSV of resource counts
against cycles. The machine is described by the environment variables
BENCH_MACHINE_* set by scripts/bench.sh. The plot is drawn here, with a
small PNG writer and a 5x7 pixel font, so it needs nothing beyond Python.
"""
import csv
import os
import struct
import sys
import zlib

# ---- a tiny raster ---------------------------------------------------------

# 5x7 glyphs: the character, then its seven rows ("#" = ink).
GLYPHS = """
0 .###. #...# #..## #.#.# ##..# #...# .###.
1 ..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.
2 .###. #...# ....# ...#. ..#.. .#... #####
3 ####. ....# ....# .###. ....# ....# ####.
4 ...#. ..##. .#.#. #..#. ##### ...#. ...#.
5 ##### #.... ####. ....# ....# #...# .###.
6 ..##. .#... #.... ####. #...# #...# .###.
7 ##### ....# ...#. ..#.. .#... .#... .#...
8 .###. #...# #...# .###. #...# #...# .###.
9 .###. #...# #...# .#### ....# ...#. .##..
A .###. #...# #...# ##### #...# #...# #...#
B ####. #...# #...# ####. #...# #...# ####.
C .###. #...# #.... #.... #.... #...# .###.
D ####. #...# #...# #...# #...# #...# ####.
E ##### #.... #.... ####. #.... #.... #####
F ##### #.... #.... ####. #.... #.... #....
G .###. #...# #.... #.### #...# #...# .####
H #...# #...# #...# ##### #...# #...# #...#
I .###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.
J ..### ...#. ...#. ...#. ...#. #..#. .##..
K #...# #..#. #.#.. ##... #.#.. #..#. #...#
L #.... #.... #.... #.... #.... #.... #####
M #...# ##.## #.#.# #.#.# #...# #...# #...#
N #...# #...# ##..# #.#.# #..## #...# #...#
O .###. #...# #...# #...# #...# #...# .###.
P ####. #...# #...# ####. #.... #.... #....
Q .###. #...# #...# #...# #.#.# #..#. .##.#
R ####. #...# #...# ####. #.#.. #..#. #...#
S .#### #.... #.... .###. ....# ....# ####.
T ##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
U #...# #...# #...# #...# #...# #...# .###.
V #...# #...# #...# #...# #...# .#.#. ..#..
W #...# #...# #...# #.#.# #.#.# #.#.# .#.#.
X #...# #...# .#.#. ..#.. .#.#. #...# #...#
Y #...# #...# .#.#. ..#.. ..#.. ..#.. ..#..
Z ##### ....# ...#. ..#.. .#... #.... #####
. ..... ..... ..... ..... ..... .##.. .##..
, ..... ..... ..... ..... .##.. .##.. .#...
- ..... ..... ..... ##### ..... ..... .....
+ ..... ..#.. ..#.. ##### ..#.. ..#.. .....
( ...#. ..#.. .#... .#... .#... ..#.. ...#.
) .#... ..#.. ...#. ...#. ...#. ..#.. .#...
/ ....# ....# ...#. ..#.. .#... #.... #....
: ..... .##.. .##.. ..... .##.. .##.. .....
= ..... ..... ##### ..... ##### ..... .....
"""
FONT = {" ": ["....."] * 7}
for _line in GLYPHS.strip().splitlines():
    _char, *_rows = _line.split()
    assert len(_rows) == 7 and all(len(r) == 5 for r in _rows), _line
    FONT[_char] = _rows


class Canvas:
    def __init__(self, width, height, background=(255, 255, 255)):
        self.width, self.height = width, height
        self.pixels = [bytearray(bytes(background) * width) for _ in range(height)]

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][3 * x:3 * x + 3] = bytes(colour)

    def line(self, x0, y0, x1, y1, colour, thick=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(thick):
                for dy in range(thick):
                    self.dot(x + dx, y + dy, colour)

    def rect(self, x0, y0, x1, y1, colour):
        for x0_, y0_, x1_, y1_ in ((x0, y0, x1, y0), (x1, y0, x1, y1), (x0, y1, x1, y1), (x0, y0, x0, y1)):
            self.line(x0_, y0_, x1_, y1_, colour)

    def text(self, x, y, words, colour=(0, 0, 0), scale=1):
        for ch in words.upper():
            glyph = FONT.get(ch, FONT[" "])
            for row in range(7):
                for col in range(5):
                    if glyph[row][col] == "#":
                        for dx in range(scale):
                            for dy in range(scale):
                                self.dot(x + col * scale + dx, y + row * scale + dy, colour)
            x += 6 * scale

    def png(self):
        raw = b"".join(b"\0" + bytes(row) for row in self.pixels)

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def text_width(words, scale=1):
    return 6 * scale * len(words)


def panel(canvas, box, xs, series, title, x_label):
    """box: (left, top, right, bottom) of the plot area; series: [(name, values, colour)]."""
    left, top, right, bottom = box
    grey = (200, 200, 200)
    canvas.text(left, top - 22, title, scale=2)
    values = [v for _, vs, _ in series for v in vs]
    low, high = min(values), max(values)
    if high - low < 10:  # a flat line sits in the middle of a readable range
        middle = (high + low) / 2
        low, high = middle - 5, middle + 5
    pad = (high - low) * 0.1
    low, high = low - pad, high + pad
    if min(values) >= 0:
        low = max(low, 0)
    x_low, x_high = xs[0], max(xs[-1], xs[0] + 1)

    def to_x(v):
        return round(left + (v - x_low) / (x_high - x_low) * (right - left))

    def to_y(v):
        return round(bottom - (v - low) / (high - low) * (bottom - top))

    for i in range(5):
        value = low + (high - low) * i / 4
        y = to_y(value)
        canvas.line(left, y, right, y, grey)
        label = f"{value:.0f}"
        canvas.text(left - text_width(label) - 6, y - 3, label)
    for i in range(5):
        value = x_low + (x_high - x_low) * i / 4
        x = to_x(value)
        canvas.line(x, bottom, x, bottom + 4, (0, 0, 0))
        label = f"{value:.0f}"
        canvas.text(x - text_width(label) // 2, bottom + 8, label)
    canvas.text((left + right - text_width(x_label)) // 2, bottom + 20, x_label)
    canvas.rect(left, top, right, bottom, (0, 0, 0))
    legend_x = left + 8
    for name, vs, colour in series:
        points = [(to_x(x), to_y(v)) for x, v in zip(xs, vs)]
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            canvas.line(x0, y0, x1, y1, colour, thick=2)
        for x, y in points:
            canvas.line(x - 1, y - 1, x + 1, y + 1, colour, thick=2)
        if len(series) > 1:
            canvas.line(legend_x, top + 10, legend_x + 14, top + 10, colour, thick=2)
            canvas.text(legend_x + 18, top + 7, name, colour)
            legend_x += 18 + text_width(name) + 16


def plot(samples, path):
    xs = [int(r["cycle"]) for r in samples]
    canvas = Canvas(760, 560)
    panel(canvas, (90, 40, 740, 230), xs,
          [("kernel handles", [int(r["handles"]) for r in samples], (200, 40, 40)),
           ("GDI objects", [int(r["gdi"]) for r in samples], (40, 110, 220)),
           ("windows", [int(r["user"]) for r in samples], (30, 150, 60))],
          "Handles and objects", "cycles after the warm-up")
    def since_first(key):
        return [int(r[key]) - int(samples[0][key]) for r in samples]

    panel(canvas, (90, 320, 740, 510), xs,
          [("private", since_first("private_kb"), (120, 60, 170)),
           ("heap blocks in use", since_first("heap_kb"), (230, 130, 0))],
          "Memory: KB more than at the first sample", "cycles after the warm-up")
    with open(path, "wb") as f:
        f.write(canvas.png())


# ---- the page --------------------------------------------------------------

def verdict(met):
    return "met" if met else "**missed**"


def main():
    figures_path, samples_path, markdown_path, png_path, summary = sys.argv[1:6]
    f = {}
    with open(figures_path, encoding="utf-8") as source:
        for line in source:
            key, _, value = line.strip().partition("=")
            f[key] = value
    with open(samples_path, newline="") as source:
        samples = list(csv.DictReader(source))
    plot(samples, png_path)

    num = {k: float(v) for k, v in f.items() if v.replace(".", "", 1).lstrip("-").isdigit()}
    growth = {k: num[k + "_last"] - num[k + "_first"]
              for k in ("handles", "gdi", "user", "private_kb", "heap_kb", "bare_private_kb", "bare_heap_kb")}
    cycles = num["cycles"]
    overhead, ratio = num["overhead_mean_ms"], num["ratio"]
    cost_ratio, bare_ui = num["cost_ratio"], num["bare_ui_mean_ms"]
    own_growth, worst = num["own_growth_kb"], num["worst_answer_ms"]
    shell_share = num["shell_mean_ms"] / overhead * 100 if overhead else 0
    env = os.environ.get
    machine = [
        ("Processor", env("BENCH_MACHINE_CPU", "?")),
        ("Cores", env("BENCH_MACHINE_CORES", "?")),
        ("Memory", env("BENCH_MACHINE_MEMORY", "?")),
        ("System", env("BENCH_MACHINE_OS", "?")),
        ("Wine", env("BENCH_MACHINE_WINE", "?")),
        ("Compiler", env("BENCH_MACHINE_COMPILER", "?")),
        ("Date", env("BENCH_MACHINE_DATE", "?")),
    ]
    sources = {k: f.get(k + "_source", "?") for k in ("handles", "gdi", "user", "private")}

    def source_note(key):
        return "the system's figure" if sources[key] == "system" else "own count"

    out = []
    out.append("# Benchmarks: what a long run costs\n")
    out.append("Written by `bash scripts/bench.sh`, which builds the benchmark program in `bench/` "
               "and runs it once. The figures are for reading: nothing here is asserted, and the test command "
               "does not run the benchmark.\n")
    out.append("## The machine\n")
    out.append("| | |\n|---|---|")
    for name, value in machine:
        out.append(f"| {name} | {value} |")
    out.append("")
    if env("BENCH_BUILD_ARCH", "x86_64") == "i686":
        measured = ("The program measured is the **32-bit (i686) Windows build under 32-bit Wine**, the build "
                    "users run: " + env("BENCH_BUILD_WHY", "32-bit Wine runs on this machine") + ".")
    else:
        measured = ("The program measured is the **x86_64 Windows build under 64-bit Wine**: "
                    + env("BENCH_BUILD_WHY", "32-bit Wine does not run on this machine")
                    + ", so the 32-bit product cannot be run here.")
    out.append(measured + " It runs on a private Xvfb display, where "
               "Wine's shell provides the notification area"
               + (" (the icon was in it)." if num.get("tray_shown") else " (the icon could not be added to it).")
               + " Everything goes over loopback: the benchmark program serves the pages itself on "
               "127.0.0.77:80, and runs a server that never answers on 127.0.0.78:80.\n")
    out.append("## What runs\n")
    out.append(f"- **The baseline**: a bare loop of the platform calls that a cycle has to make, as any program "
               f"doing the same job would make them: the WinINet sequence of a web check (open, connect, open the "
               f"request, add the header, send, read to the end, close; the same flags and the same request), one "
               f"`Shell_NotifyIconW(NIM_MODIFY)` of an icon of its own with the program's pictures, and four "
               f"`SetWindowTextW` on plain labels. As many rounds as the series below, after as many warm-up "
               f"rounds, against the same server failing and succeeding by turns, in the same process while the "
               f"window stands idle. Every figure below is set against it.")
    out.append(f"- **The check cycle**: the real main window `TForm1` built from its layout, whose timer handler "
               f"runs `RunCheck` with the real web probe on the window's worker thread, switches the real notification-area icon's animation and "
               f"rewrites the four statistics labels. {int(num['warmup'])} warm-up cycles, then "
               f"{int(num['cycles'])} measured ones. The page's server answers with an empty body and with the page "
               f"by turns, so the checks fail and succeed by turns: every failure starts the animation (a new "
               f"animation thread) and every success stops it. Before each sample a failure lasts "
               f"{int(num['long_failure_ms'])} ms, so the icon also changes frames; {int(num['shell_calls'])} "
               f"notification-area calls were made in all. The alert threshold is -1, so no alert is raised.")
    out.append("- **Cost beyond the probe**: each cycle's time minus the time inside its probe (the probe runs on "
               "the window's worker thread, so the handing over counts as the cycle's), over the bare loop's time "
               "beyond WinINet (the modify and the four texts).")
    out.append(f"- **Cycles that all succeed**: then {int(num['steady_cycles'])} more cycles in which the server "
               "always answers with the page, so the animation stays off and the icon is not touched; only the "
               "labels change.")
    out.append(f"- **The web probe against the bare WinINet sequence**: {int(num['rounds'])} rounds, each one "
               "`WebProbe` and one bare sequence of the same page; the ratio of the medians.")
    out.append(f"- **Growth**: kernel handles, GDI objects, USER objects and private bytes, sampled every "
               f"{int(num['sample_every'])} cycles from the end of the warm-up, after a success and once the "
               "stopped animation thread has ended; the private growth is set against the bare loop's over as "
               "many rounds.")
    out.append(f"- **Answering while a check waits**: {int(num['silent_checks'])} checks against the server that "
               "takes the request and never answers, while another thread sends the window `WM_NULL` again and "
               "again (5 ms apart) and times each answer. The slowest answer is the longest time the window's "
               "thread went without answering.\n")
    out.append("## Figures\n")
    out.append("| Figure | Value | Goal | |\n|---|---|---|---|")
    out.append(f"| Cost of a cycle beyond its probe, over the bare calls' (means) | {cost_ratio:.2f} "
               f"({overhead:.3f} ms / {bare_ui:.3f} ms) | at most 1.1 | {verdict(cost_ratio <= 1.1)} |")
    out.append(f"| Web probe over the bare WinINet sequence (medians) | {ratio:.2f} ({num['web_median_ms']:.3f} ms / "
               f"{num['bare_web_median_ms']:.3f} ms) | at most 1.1 | {verdict(ratio <= 1.1)} |")
    out.append(f"| Private memory growth beyond the bare loop's | {own_growth:+.0f} KB ({growth['private_kb']:+.0f} KB "
               f"against {growth['bare_private_kb']:+.0f} KB over {int(cycles)} rounds) | at most 64 KB | "
               f"{verdict(own_growth <= 64)} |")
    out.append(f"| Kernel handles | {int(num['handles_first'])} → {int(num['handles_last'])} "
               f"({growth['handles']:+.0f}) | no growth | {verdict(growth['handles'] <= 0)} |")
    out.append(f"| GDI objects | {int(num['gdi_first'])} → {int(num['gdi_last'])} ({growth['gdi']:+.0f}) "
               f"| no growth | {verdict(growth['gdi'] <= 0)} |")
    out.append(f"| USER objects (windows, see below) | {int(num['user_first'])} → {int(num['user_last'])} "
               f"({growth['user']:+.0f}) | no growth | {verdict(growth['user'] <= 0)} |")
    out.append(f"| Longest time without answering, checks against a silent server | {worst:.1f} ms "
               f"(median answer {num['median_answer_ms']:.2f} ms; {int(num['answers'])} answered, "
               f"{int(num['unanswered'])} not) | at most 100 ms | "
               f"{verdict(worst <= 100 and num['unanswered'] == 0)} |")
    out.append("")
    out.append("The series and the bare loop run one after the other on a machine shared with other work, so "
               "the ratio of their times moves with the load at each moment more than the memory figures do; "
               "read it with the breakdown below.\n")
    out.append(f"Private memory of the series {int(num['private_kb_first'])} KB → {int(num['private_kb_last'])} KB; "
               f"heap blocks in use {growth['heap_kb']:+.0f} KB ({growth['heap_kb'] * 1024 / cycles:.0f} bytes a "
               f"cycle) against the bare loop's {growth['bare_heap_kb']:+.0f} KB "
               f"({growth['bare_heap_kb'] * 1024 / cycles:.0f} bytes a round). Wine 8's WinINet keeps a record of "
               "152 bytes of each connection that the server closed, whatever the flags, the body or the session; "
               "the bare loop shows that growth, so what lies beyond it is the program's own.\n")
    out.append(f"Handles open at the last sample that were not open at the first, by kind: "
               f"{f.get('new_handles', '?')}.\n")
    out.append(f"The {int(num['cycles'])} measured cycles took {num['series_s']:.1f} s in all, samples and long "
               f"failures included. In all the window counted checks {int(num['checks'])}, successes "
               f"{int(num['successes'])}, message boxes {int(num['message_boxes'])}, wrong replies in the probe "
               f"rounds {int(num['wrong_replies'])}. Each check against the silent server took "
               f"{num['silent_check_mean_s']:.1f} s (WinINet's 10 s wait).\n")
    out.append("### Where a cycle's time goes\n")
    out.append("| Part | Mean |\n|---|---|")
    out.append(f"| Whole cycle (median) | {num['cycle_median_ms']:.3f} ms |")
    out.append(f"| Its probe (median) | {num['cycle_probe_median_ms']:.3f} ms |")
    out.append(f"| Beyond the probe: median / 95th percentile | {num['overhead_median_ms']:.3f} ms / "
               f"{num['overhead_p95_ms']:.3f} ms |")
    out.append(f"| Before the probe (reading the address field, handing the probe to the worker) | "
               f"{num['before_probe_mean_ms']:.3f} ms |")
    out.append(f"| Handing the result back, counting and switching the animation on (failures) | "
               f"{num['animation_on_mean_ms']:.3f} ms |")
    out.append(f"| Handing the result back, counting and switching the animation off (successes) | "
               f"{num['animation_off_mean_ms']:.3f} ms |")
    out.append(f"| Writing the four labels | {num['labels_mean_ms']:.3f} ms |")
    out.append(f"| Of the cost beyond the probe: inside `Shell_NotifyIconW` | {num['shell_mean_ms']:.3f} ms "
               f"({shell_share:.0f}%) |")
    out.append(f"| Cycles that all succeed (icon left alone), beyond the probe: mean / median / 95th percentile | "
               f"{num['steady_overhead_mean_ms']:.3f} ms / {num['steady_overhead_median_ms']:.3f} ms / "
               f"{num['steady_overhead_p95_ms']:.3f} ms |")
    out.append(f"| After the cycle, not counted: handling the window's messages (repainting) | "
               f"{num['repaint_mean_ms']:.3f} ms |")
    out.append(f"| The bare loop: WinINet sequence (median) | {num['bare_probe_median_ms']:.3f} ms |")
    out.append(f"| The bare loop: one modify and four texts, mean / median | {bare_ui:.3f} ms / "
               f"{num['bare_ui_median_ms']:.3f} ms |")
    out.append("")
    out.append("## Plot\n")
    out.append(f"![Handles, GDI objects, windows, private memory and heap blocks in use against cycles]({os.path.basename(png_path)})\n")
    out.append("## How the counts are taken\n")
    if all(v == "system" for v in sources.values()):
        out.append("Every count is the system's own figure (`GetProcessHandleCount`, `GetGuiResources`, "
                   "`PROCESS_MEMORY_COUNTERS_EX.PrivateUsage`).\n")
    else:
        out.append("Where the system's figure is 0 the benchmark counts for itself. Wine 8.0 gives none of them: "
                   "`GetProcessHandleCount` succeeds with 0, `GetGuiResources` returns 0 for GDI and USER objects "
                   "(not implemented), and `PROCESS_MEMORY_COUNTERS_EX.PrivateUsage` is 0. Here:\n")
    out.append(f"- kernel handles ({source_note('handles')}): every handle value that "
               "`GetHandleInformation` accepts;")
    out.append(f"- GDI objects ({source_note('gdi')}): the used entries of the process's GDI handle table "
               "(the one the PEB points to; Wine keeps one per process);")
    out.append(f"- USER objects ({source_note('user')}): only the process's windows (top-level, message-only "
               "and their children); menus, icons and cursors are not seen this way, though an icon's "
               "bitmaps are GDI objects and are counted there;")
    out.append(f"- private memory ({source_note('private')}): committed private regions, summed with "
               "`VirtualQuery`.\n")
    out.append("Heap blocks in use are always the benchmark's own count: the busy blocks of every process heap, "
               "with `HeapWalk`. They tell memory that is really held apart from free space kept by the heaps.\n")
    out.append("Where the system gives a figure (on Windows), that one is used.\n")
    out.append("## The summary line\n")
    out.append(f"    {summary}\n")
    with open(markdown_path, "w", encoding="utf-8") as f_out:
        f_out.write("\n".join(out))


if __name__ == "__main__":
    main()
