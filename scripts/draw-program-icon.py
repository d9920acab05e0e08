#!/usr/bin/env python3
"""Draws the program icon: a white tick on a blue rounded square, laid out on a 32 x 32 grid.

Run from the repository root; writes src/shell/images/merilon.png and the
Windows icon src/shell/merilon.ico (one 32 x 32 image stored as PNG), and the
same picture in the sizes of a Linux desktop's icon theme into
app/linux/icons/NxN/merilon.png.
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngwrite import png  # noqa: E402

S = 32
SUB = 4
THEME_SIZES = (16, 32, 48, 64, 128, 256)




def rounded_square(x, y):
    r = 6.0
    cx = min(max(x, r + 1), S - r - 1)
    cy = min(max(y, r + 1), S - r - 1)
    return math.hypot(x - cx, y - cy) <= r


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def tick(x, y):
    return min(segment_distance(x, y, 8, 17, 14, 23), segment_distance(x, y, 14, 23, 25, 9)) <= 2.6


def pixel(x, y, size=S):
    # (x, y) is a pixel of a size x size picture; the shapes are measured on the 32 grid.
    scale = S / size
    acc = [0, 0, 0, 0]
    for sy in range(SUB):
        for sx in range(SUB):
            fx, fy = (x + (sx + 0.5) / SUB) * scale, (y + (sy + 0.5) / SUB) * scale
            if tick(fx, fy):
                colour = (255, 255, 255)
            elif rounded_square(fx, fy):
                shade = int(60 * fy / S)
                colour = (30, 90 + shade, 200 - shade)
            else:
                continue
            for i in range(3):
                acc[i] += colour[i]
            acc[3] += 1
    n = SUB * SUB
    if acc[3] == 0:
        return (0, 0, 0, 0)
    return (acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], 255 * acc[3] // n)


def main():
    data = png([[pixel(x, y) for x in range(S)] for y in range(S)])
    with open("src/shell/images/merilon.png", "wb") as f:
        f.write(data)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", S, S, 0, 0, 1, 32, len(data), 6 + 16)
    with open("src/shell/merilon.ico", "wb") as f:
        f.write(header + entry + data)
    for size in THEME_SIZES:
        folder = "app/linux/icons/%dx%d" % (size, size)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "merilon.png"), "wb") as f:
            f.write(png([[pixel(x, y, size) for x in range(size)] for y in range(size)]))


if __name__ == "__main__":
    main()
