#!/usr/bin/env python3
"""Draws the notification-area pictures of make_icons.py again at 20, 24 and
32 pixels, for displays at 125, 150 and 200 per cent, where the notification
area asks for icons of that size:

  tray_still_<size>.ico, tray_alarm_<size>.ico   one 32-bit image each

Each is the 16-pixel design with its cell edges moved to whole pixels of the
larger grid, the left half mirrored onto the right so that the picture stays
symmetric: every line is a solid run of whole pixels, nothing is blended,
and at 32 every pixel is simply doubled. The 16x16 stored forms are not touched.

Run: python3 resources/make_tray_sizes.py
"""
import os
import struct
import sys

sys.dont_write_bytecode = True
import make_icons  # noqa: E402
import make_program_icon  # noqa: E402

SIZES = (20, 24, 32)


def edges(size):
    # Where each of the 16 cells begins, and the end: the left half rounded
    # down at halves, the right half its mirror.
    left = [(i * size * 2 + 15) // 32 for i in range(9)]
    return left + [size - left[16 - i] for i in range(9, 17)]


def redrawn(picture, size):
    edge = edges(size)
    cell = []
    for i in range(16):
        cell += [i] * (edge[i + 1] - edge[i])
    return ["".join(picture[y][x] for x in cell) for y in cell]


def icon_file(size, data):
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), 22) + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, picture in (("still", make_icons.STILL), ("alarm", make_icons.ALARM)):
        for size in SIZES:
            image = redrawn(picture, size)
            assert len(image) == size and all(len(row) == size for row in image)
            data = make_program_icon.image_32bpp(image)
            with open(os.path.join(here, "tray_%s_%d.ico" % (name, size)), "wb") as f:
                f.write(icon_file(size, data))


if __name__ == "__main__":
    main()
