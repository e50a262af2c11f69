#!/usr/bin/env python3
"""Writes tarvik_program.ico beside this script: the program file's own icon
(Explorer, the title bar, the taskbar, Alt+Tab), which is the still
notification-area picture of make_icons.py at 16, 32 and 48 pixels, each at 8
and 32 bits per pixel, and at 256 pixels as a PNG image (Vista and later
show it in Explorer's large views; XP picks one of the others). The larger
sizes repeat every pixel, so the shell never has to blur the 16-pixel
picture up itself.

Run: python3 resources/make_program_icon.py
"""
import os
import struct
import sys
import zlib

# No __pycache__ among the resources.
sys.dont_write_bytecode = True
import make_icons  # noqa: E402

SIZES = (16, 32, 48)


def scaled(picture, factor):
    return [
        "".join(ch * factor for ch in row)
        for row in picture
        for _ in range(factor)
    ]


def mask_rows(picture):
    """1-bit AND mask, bottom-up, rows padded to 4 bytes: 1 = transparent."""
    width = len(picture[0])
    stride = (width + 31) // 32 * 4
    out = b""
    for row in reversed(picture):
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "." else 0)
        bits <<= stride * 8 - width
        out += bits.to_bytes(stride, "big")
    return out


def bitmap_header(size, bits, image_bytes):
    # Height counts the colour rows and the mask rows together.
    return struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, image_bytes, 0, 0, 0, 0)


def image_8bpp(picture):
    size = len(picture)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in make_icons.COLOURS.values())
    palette += b"\0" * (1024 - len(palette))
    # 16, 32 and 48 are multiples of 4: the colour rows need no padding.
    pixels = b"".join(bytes(make_icons.INDEX[ch] for ch in row) for row in reversed(picture))
    mask = mask_rows(picture)
    return bitmap_header(size, 8, len(pixels) + len(mask)) + palette + pixels + mask


def image_32bpp(picture):
    size = len(picture)
    pixels = b""
    for row in reversed(picture):
        for ch in row:
            r, g, b = make_icons.COLOURS[ch]
            pixels += struct.pack("<BBBB", b, g, r, 0 if ch == "." else 255)
    mask = mask_rows(picture)
    return bitmap_header(size, 32, len(pixels) + len(mask)) + pixels + mask


def png_image(picture):
    """A 32-bit PNG of the picture, transparent where it is."""
    size = len(picture)
    raw = b""
    for row in picture:
        raw += b"\0"  # no filter
        for ch in row:
            r, g, b = make_icons.COLOURS[ch]
            raw += bytes((r, g, b, 0 if ch == "." else 255))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def icon_file(images):
    """images: list of (size, bits per pixel, image bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        side = 0 if size == 256 else size  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def main():
    # The 16-pixel images are the still icon's own, byte for byte.
    assert image_8bpp(make_icons.STILL) == make_icons.image_8bpp(make_icons.STILL)
    assert image_32bpp(make_icons.STILL) == make_icons.image_32bpp(make_icons.STILL)
    images = []
    for size in SIZES:
        picture = scaled(make_icons.STILL, size // 16)
        images.append((size, 8, image_8bpp(picture)))
        images.append((size, 32, image_32bpp(picture)))
    images.append((256, 32, png_image(scaled(make_icons.STILL, 16))))
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "tarvik_program.ico"), "wb") as f:
        f.write(icon_file(images))


if __name__ == "__main__":
    main()
