#!/usr/bin/env python3
"""Draws the Stepwick navigator's bitmaps as BMP files in resources/stepwick.

Ten strips of 136 x 22 pixels, 24 bits per pixel: five media buttons (Play,
Pause, Previous, Next, Close) side by side, one of them pressed or
highlighted. The buttons span the columns 0-20, 20-50, 50-80, 80-106 and
106-136, where the control's hit zones lie. Also the toolbox bitmap 30000,
16 x 15 pixels in 16 colours.

Run from anywhere: python3 scripts/make_stepwick_bitmaps.py
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "resources", "stepwick")
sys.path.insert(0, os.path.join(HERE, "..", "resources"))
from make_bitmaps import write_bmp  # noqa: E402  (the 24-bit writer of the add-in's faces)

WIDTH, HEIGHT = 136, 22
ZONES = [(0, 20), (20, 50), (50, 80), (80, 106), (106, 136)]
PLAY, PAUSE, PREVIOUS, NEXT, CLOSE = range(5)

# State of one button: its face, its edges and its glyph.
STYLES = {
    "normal": {"face": (58, 58, 64), "light": (96, 96, 104), "dark": (24, 24, 28), "glyph": (208, 208, 214)},
    "down": {"face": (28, 30, 36), "light": (12, 12, 14), "dark": (110, 110, 120), "glyph": (96, 220, 120)},
    "over": {"face": (86, 96, 120), "light": (150, 160, 190), "dark": (30, 34, 44), "glyph": (255, 255, 255)},
}
CLOSE_GLYPH = {"normal": (220, 150, 150), "down": (255, 90, 80), "over": (255, 255, 255)}

# id -> (button, state), as the library's ImageFiles enumeration names them.
STRIPS = {
    101: (PREVIOUS, "down"),  # BackDown
    102: (CLOSE, "down"),  # CancelDown
    103: (CLOSE, "over"),  # CancelOver
    104: (NEXT, "down"),  # ForwardDown
    105: (NEXT, "over"),  # ForwardOver
    106: (PAUSE, "down"),  # PauseDown
    107: (PAUSE, "over"),  # PauseOver
    108: (PLAY, "down"),  # PlayDown
    109: (PLAY, "over"),  # PlayOver
    110: (PREVIOUS, "over"),  # BackOver
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):  # x1, y1 exclusive
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def triangle(self, x0, y_mid, half, length, colour, pointing_right=True):
        """A filled triangle with its flat side at x0, `length` columns long."""
        for i in range(length):
            reach = round(half * (1 - i / length))
            x = x0 + i if pointing_right else x0 - i
            for y in range(y_mid - reach, y_mid + reach + 1):
                self.put(x, y, colour)


def draw_button(c, index, state, offset):
    x0, x1 = ZONES[index]
    s = STYLES[state]
    c.rect(x0, 0, x1, HEIGHT, s["face"])
    # A raised edge, sunken when pressed (the colours swap in the "down" style).
    c.rect(x0, 0, x1, 1, s["light"])
    c.rect(x0, 0, x0 + 1, HEIGHT, s["light"])
    c.rect(x0, HEIGHT - 1, x1, HEIGHT, s["dark"])
    c.rect(x1 - 1, 0, x1, HEIGHT, s["dark"])
    g = s["glyph"]
    cx = (x0 + x1) // 2 + offset
    cy = HEIGHT // 2 + offset
    if index == PLAY:
        c.triangle(cx - 3, cy, 5, 8, g)
    elif index == PAUSE:
        c.rect(cx - 4, cy - 5, cx - 1, cy + 6, g)
        c.rect(cx + 2, cy - 5, cx + 5, cy + 6, g)
    elif index == PREVIOUS:
        c.rect(cx - 7, cy - 5, cx - 5, cy + 6, g)
        c.triangle(cx, cy, 5, 6, g, pointing_right=False)
        c.triangle(cx + 6, cy, 5, 6, g, pointing_right=False)
    elif index == NEXT:
        c.triangle(cx - 6, cy, 5, 6, g)
        c.triangle(cx, cy, 5, 6, g)
        c.rect(cx + 5, cy - 5, cx + 7, cy + 6, g)
    else:
        colour = CLOSE_GLYPH[state]
        for i in range(-5, 6):
            for w in (0, 1):
                c.put(cx + i + w, cy + i, colour)
                c.put(cx - i + w, cy + i, colour)


def strip(active, state):
    c = Canvas(WIDTH, HEIGHT, (0, 0, 0))
    for index in range(5):
        if index == active:
            draw_button(c, index, state, 1 if state == "down" else 0)
        else:
            draw_button(c, index, "normal", 0)
    return c.rows


def write_bmp16(path, grid, palette):
    """A 4-bit (16 colour) BMP from rows of palette indexes."""
    height, width = len(grid), len(grid[0])
    stride = ((width + 1) // 2 + 3) & ~3
    image = bytearray()
    for row in reversed(grid):
        line = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            line.append((hi << 4) | lo)
        line += b"\0" * (stride - len(line))
        image += line
    colours = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(image), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + colours + image)


# The standard 16 colours; the toolbox picture uses a few of them.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
    (255, 255, 255),
]
TOOLBOX = [  # a small strip: play, pause, next; 7 = grey, 0 = black, 10 = green, 15 = white
    "7777777777777777",
    "7000000000000007",
    "7088888888888807",
    "708A88F8F88F8F07",
    "708AA8F8F88FF807",
    "708AAAF8F88FFF07",
    "708AAAAF8F8FFFF7",
    "708AAAF8F88FFF07",
    "708AA8F8F88FF807",
    "708A88F8F88F8F07",
    "7088888888888807",
    "7088888888888807",
    "7000000000000007",
    "7777777777777777",
    "7777777777777777",
]


def main():
    os.makedirs(OUT, exist_ok=True)
    for image_id, (button, state) in STRIPS.items():
        write_bmp(os.path.join(OUT, f"{image_id}.bmp"), strip(button, state))
    grid = [[int(ch, 16) for ch in row] for row in TOOLBOX]
    assert len(grid) == 15 and all(len(r) == 16 for r in grid)
    write_bmp16(os.path.join(OUT, "30000.bmp"), grid, VGA16)


if __name__ == "__main__":
    main()
