#!/usr/bin/env python3
"""Draws bitmap 106, the toolbar button image: a magnifying glass on light
grey, 20 x 20 pixels, 4 bits per pixel with the 16-colour Windows palette.
Writes magnifier.bmp beside this script."""
import math
import pathlib
import struct

SIZE = 20
PALETTE = [  # (red, green, blue) of the standard 16-colour palette
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BACKGROUND, RIM, LENS, GLINT, HANDLE = 7, 0, 14, 15, 1


def colour_at(x, y):
    """The palette index of pixel (x, y), y counted from the top."""
    cx, cy = 7.5, 7.5
    distance = math.hypot(x - cx, y - cy)
    if distance <= 4.6:
        return GLINT if (x, y) in {(5, 5), (6, 5), (5, 6)} else LENS
    if distance <= 6.2:
        return RIM
    along, across = (x + y - 25) / math.sqrt(2), (x - y) / math.sqrt(2)
    if 0 <= along <= 7.5 and abs(across) <= 1.3:
        return HANDLE
    return BACKGROUND


def bitmap():
    row_bytes = ((SIZE * 4 + 31) // 32) * 4
    rows = []
    for y in reversed(range(SIZE)):  # a BMP stores its bottom row first
        nibbles = [colour_at(x, y) for x in range(SIZE)]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, SIZE, 2))
        rows.append(packed.ljust(row_bytes, b"\0"))
    pixels = b"".join(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


if __name__ == "__main__":
    (pathlib.Path(__file__).parent / "magnifier.bmp").write_bytes(bitmap())
