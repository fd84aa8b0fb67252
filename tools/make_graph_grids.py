#!/usr/bin/env python3
"""Draws the grid pictures behind the history graphs (dark hardware-monitor skin).

Writes under assets/program-folder/skin/ (the build copies them beside the executable):
  graph_grid.png       140 x 120 px: the plot area of a time graph (2100 x 1800 twips).
                       One column per sample of the 20-second sweep, its lines on the
                       sample positions (20 twips right of the edge, then every 105 twips);
                       the value axis in quarters (bright) and eighths (faint).
  fan_graph_grid.png   310 x 270 px: the fan speed against temperature plot (4650 x 4050
                       twips). Columns of 4 degC from 26 degC at a tenth of the width,
                       rows of 800 RPM; the strip left of 26 degC is shaded.

Needs only the Python standard library. Run: python3 tools/make_graph_grids.py
"""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "program-folder", "skin")

BACK = (14, 17, 20)
SHADE = (22, 26, 31)
MINOR = (28, 34, 41)
MAJOR = (48, 58, 68)
BORDER = (58, 68, 79)


class Canvas:
    def __init__(self, width, height, color):
        self.width = width
        self.height = height
        self.rows = [[color] * width for _ in range(height)]

    def vline(self, x, color, y0=0, y1=None):
        y1 = self.height - 1 if y1 is None else y1
        if 0 <= x < self.width:
            for y in range(max(0, y0), min(self.height - 1, y1) + 1):
                self.rows[y][x] = color

    def hline(self, y, color, x0=0, x1=None):
        x1 = self.width - 1 if x1 is None else x1
        if 0 <= y < self.height:
            for x in range(max(0, x0), min(self.width - 1, x1) + 1):
                self.rows[y][x] = color

    def fill(self, x0, y0, x1, y1, color):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.rows[y][x] = color

    def border(self, color):
        self.hline(0, color)
        self.hline(self.height - 1, color)
        self.vline(0, color)
        self.vline(self.width - 1, color)

    def save(self, path):
        raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in self.rows)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", header))
            f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            f.write(chunk(b"IEND", b""))


def time_grid(path):
    c = Canvas(140, 120, BACK)
    for j in range(1, 8):  # value axis: quarters bright, eighths faint
        c.hline(j * 15, MAJOR if j % 2 == 0 else MINOR)
    for m in range(20):  # one column per sample; every fifth second brighter
        c.vline(1 + 7 * m, MAJOR if m % 5 == 0 else MINOR)
    c.border(BORDER)
    c.save(path)


def fan_grid(path):
    c = Canvas(310, 270, BACK)
    c.fill(0, 0, 30, 269, SHADE)  # below 26 degC: off the temperature axis
    for i in range(1, 10):  # halves (2 degC, 400 RPM), faint
        c.vline(31 * i + 15, MINOR)
    for i in range(10):
        c.hline(27 * i + 13, MINOR)
    for i in range(1, 10):  # then the axis steps, bright
        c.vline(31 * i, MAJOR)
        c.hline(27 * i, MAJOR)
    c.border(BORDER)
    c.save(path)


def main():
    os.makedirs(ROOT, exist_ok=True)
    time_grid(os.path.join(ROOT, "graph_grid.png"))
    fan_grid(os.path.join(ROOT, "fan_graph_grid.png"))


if __name__ == "__main__":
    main()
