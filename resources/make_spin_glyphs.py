#!/usr/bin/env python3
"""Draws the two arrows of the spin button and writes them beside this script:

  spinup.bmp    the upper half's arrow, resource "SPINUP"   (86 bytes)
  spindown.bmp  the lower half's arrow, resource "SPINDOWN" (86 bytes)

Each is 6x6 at 1 bit per pixel, colour 0 black and colour 1 white; the button
draws white as its face colour.

Run: python3 resources/make_spin_glyphs.py
"""
import os
import struct

UP = [
    "..##..",
    ".####.",
    "######",
    "..##..",
    "..##..",
    "..##..",
]

DOWN = [
    "..##..",
    "..##..",
    "..##..",
    "######",
    ".####.",
    "..##..",
]


def bitmap(rows):
    width, height = len(rows[0]), len(rows)
    stride = (width + 31) // 32 * 4
    pixels = b""
    for row in reversed(rows):  # a bitmap file stores its rows bottom-up
        bits = 0
        for x, c in enumerate(row):
            if c == ".":  # white is colour 1
                bits |= 0x80 >> x
        pixels += bytes([bits]) + bytes(stride - 1)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])  # blue, green, red, 0
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(pixels), 0, 0, 2, 2)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rows in (("spinup.bmp", UP), ("spindown.bmp", DOWN)):
        with open(os.path.join(here, name), "wb") as f:
            f.write(bitmap(rows))


if __name__ == "__main__":
    main()
