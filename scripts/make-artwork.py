#!/usr/bin/env python3
"""Draws the menu's artwork: the Penwick Inc banner and the application icon.

Writes, under app/res/:
  banner.bmp       320 x 131, 24 bits, uncompressed, bottom-up, 5905 pixels per metre
  icon30001.bin    the icon image as the executable stores it (32 x 32, 24 bits, with its mask)
  icongroup1.bin   the icon group that refers to it as icon 30001
  tolvex.ico       the same image as an .ico file, for viewing
The output is deterministic: rerunning the script reproduces the committed files.
"""
import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "res")

NAVY = (27, 47, 94)
RED = (196, 32, 44)
WHITE = (255, 255, 255)
PAPER = (246, 247, 250)
GREY = (96, 104, 120)

# 5 x 7 block letters, just the ones the artwork spells.
FONT = {
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "N": ["10001", "11001", "10101", "10101", "10011", "10001", "10001"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    " ": ["00000"] * 7,
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]  # top row first

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            old = self.pixels[y][x]
            self.pixels[y][x] = tuple(round(o + (c - o) * min(alpha, 1.0)) for o, c in zip(old, colour))

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def disc(self, cx, cy, radius, colour):
        # Anti-aliased edge: four samples a pixel on each axis.
        for y in range(int(cy - radius) - 1, int(cy + radius) + 2):
            for x in range(int(cx - radius) - 1, int(cx + radius) + 2):
                inside = sum(
                    (x + (i + 0.5) / 4 - cx) ** 2 + (y + (j + 0.5) / 4 - cy) ** 2 <= radius * radius
                    for i in range(4) for j in range(4))
                self.blend(x, y, colour, inside / 16)

    def text(self, x, y, string, scale, colour, spacing=1):
        for ch in string:
            for row, bits in enumerate(FONT[ch]):
                for col, bit in enumerate(bits):
                    if bit == "1":
                        self.rect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += (5 + spacing) * scale
        return x

    @staticmethod
    def text_width(string, scale, spacing=1):
        return len(string) * (5 + spacing) * scale - spacing * scale

    def rows_bgr_bottom_up(self):
        stride = (self.width * 3 + 3) & ~3
        data = bytearray()
        for row in reversed(self.pixels):
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            data += line + bytes(stride - len(line))
        return bytes(data)


def draw_mark(canvas, cx, cy, radius):
    """The Penwick mark: a navy disc carrying a white P, with a red dot for the pen's nib."""
    canvas.disc(cx, cy, radius, NAVY)
    scale = max(1, round(radius / 5.5))
    width, height = 5 * scale, 7 * scale
    canvas.text(round(cx - width / 2), round(cy - height / 2), "P", scale, WHITE)
    canvas.disc(cx + radius * 0.55, cy + radius * 0.55, radius * 0.2, RED)


def banner():
    c = Canvas(320, 131, PAPER)
    draw_mark(c, 62, 58, 44)
    x = 122
    c.text(x, 30, "PENWICK", 4, NAVY)
    c.text(x, 66, "INC", 4, NAVY)
    c.rect(x, 100, x + Canvas.text_width("PENWICK", 4), 102, RED)
    c.text(x, 108, "INSTALLATION DISC", 1, GREY)
    # A band along the foot of the banner, navy fading to red.
    for xx in range(c.width):
        t = xx / (c.width - 1)
        colour = tuple(round(n + (r - n) * t) for n, r in zip(NAVY, RED))
        c.rect(xx, 124, xx + 1, 131, colour)
    pixels = c.rows_bgr_bottom_up()
    assert len(pixels) == 960 * 131
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, 24, 0, len(pixels), 5905, 5905, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


ICON_RECORD_SIZE = 3244  # the icon record's fixed length; the loader ignores what follows the mask


def icon_image():
    c = Canvas(32, 32, (0, 0, 0))
    mask = [[1] * 32 for _ in range(32)]  # 1: transparent
    mark = Canvas(32, 32, (0, 0, 0))
    draw_mark(mark, 16, 16, 15.5)
    for y in range(32):
        for x in range(32):
            dist = math.hypot(x + 0.5 - 16, y + 0.5 - 16)
            if dist <= 15.5:
                c.pixels[y][x] = mark.pixels[y][x]
                mask[y][x] = 0
    xor = c.rows_bgr_bottom_up()
    andmask = bytearray()
    for row in reversed(mask):
        bits = 0
        for bit in row:
            bits = (bits << 1) | bit
        andmask += struct.pack(">I", bits)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 24, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    record = info + xor + bytes(andmask)
    return record + bytes(ICON_RECORD_SIZE - len(record))


def main():
    os.makedirs(OUT, exist_ok=True)
    image = icon_image()
    entry = struct.pack("<BBBBHHI", 32, 32, 0, 0, 1, 24, len(image))
    group = struct.pack("<HHH", 0, 1, 1) + entry + struct.pack("<H", 30001)
    ico = struct.pack("<HHH", 0, 1, 1) + entry + struct.pack("<I", 6 + 16)
    files = {"banner.bmp": banner(), "icon30001.bin": image, "icongroup1.bin": group, "tolvex.ico": ico + image}
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
