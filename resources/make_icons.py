#!/usr/bin/env python3
"""Draws the notification-area pictures of Tarvik and writes them beside
this script:

  tarvik.ico        the still icon: 16x16 at 8 and 32 bits per pixel (2550 bytes)
  tarvik_alarm.ico  the second animation frame: 16x16 at 8 bits (1406 bytes)
  tray_frames.bin   the stored frame list: count, then (size, bytes) per
                    frame, little-endian (3968 bytes)

The picture is a screen on a network line; the alarm frame is the same in red
with an exclamation mark, so the blinking reads at 16x16.

Run: python3 resources/make_icons.py
"""
import os
import struct

STILL = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbbbbbbbbbbbbk.",
    ".kbwwbbbbbbbbbk.",
    ".kbwbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kkkkkkkkkkkkkk.",
    "......kkkk......",
    "....kkkkkkkk....",
    ".......gg.......",
    ".......gg.......",
    ".gggggggggggggg.",
    ".gg....gg....gg.",
    ".gg....gg....gg.",
]

ALARM = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".krrrrrwwrrrrrk.",
    ".krrrrrwwrrrrrk.",
    ".krrrrrwwrrrrrk.",
    ".krrrrrwwrrrrrk.",
    ".krrrrrrrrrrrrk.",
    ".krrrrrwwrrrrrk.",
    ".kkkkkkkkkkkkkk.",
    "......kkkk......",
    "....kkkkkkkk....",
    ".......oo.......",
    ".......oo.......",
    ".oooooooooooooo.",
    ".oo....oo....oo.",
    ".oo....oo....oo.",
]

# Palette order fixes the 8-bit indices; index 0 is the transparent colour.
COLOURS = {
    ".": (0, 0, 0),
    "k": (32, 32, 48),
    "b": (40, 110, 220),
    "w": (255, 255, 255),
    "g": (30, 170, 60),
    "r": (220, 30, 30),
    "o": (240, 140, 0),
}
INDEX = {key: i for i, key in enumerate(COLOURS)}


def mask_rows(picture):
    """1-bit AND mask, bottom-up, rows padded to 4 bytes: 1 = transparent."""
    out = b""
    for row in reversed(picture):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "." else 0)
        out += struct.pack(">H", bits) + b"\0\0"
    return out


def bitmap_header(bits, image_bytes):
    # Height counts the colour rows and the mask rows together.
    return struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def image_8bpp(picture):
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in COLOURS.values())
    palette += b"\0" * (1024 - len(palette))
    pixels = b"".join(bytes(INDEX[ch] for ch in row) for row in reversed(picture))
    mask = mask_rows(picture)
    return bitmap_header(8, len(pixels) + len(mask)) + palette + pixels + mask


def image_32bpp(picture):
    pixels = b""
    for row in reversed(picture):
        for ch in row:
            r, g, b = COLOURS[ch]
            pixels += struct.pack("<BBBB", b, g, r, 0 if ch == "." else 255)
    mask = mask_rows(picture)
    return bitmap_header(32, len(pixels) + len(mask)) + pixels + mask


def icon_file(images):
    """images: list of (bits per pixel, image bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for bits, data in images:
        out += struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def stored_list(entries):
    out = struct.pack("<i", len(entries))
    for data in entries:
        out += struct.pack("<i", len(data)) + data
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    still = icon_file([(8, image_8bpp(STILL)), (32, image_32bpp(STILL))])
    alarm = icon_file([(8, image_8bpp(ALARM))])
    frames = stored_list([still, alarm])
    assert (len(still), len(alarm), len(frames)) == (2550, 1406, 3968)
    for name, data in (("tarvik.ico", still), ("tarvik_alarm.ico", alarm), ("tray_frames.bin", frames)):
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
