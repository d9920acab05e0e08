#!/usr/bin/env python3
"""Draws the program's 16 x 16 command pictures (PNG with transparency).

Shapes are filled at 4x4 samples per pixel, so edges are smoothed.
Run from the repository root; writes src/shell/images/NN.png.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngwrite import png  # noqa: E402

S = 16
SUB = 4




class Canvas:
    def __init__(self):
        self.px = [[(0, 0, 0, 0) for _ in range(S)] for _ in range(S)]

    def fill(self, inside, rgb):
        for y in range(S):
            for x in range(S):
                hits = sum(inside(x + (i + 0.5) / SUB, y + (j + 0.5) / SUB)
                           for i in range(SUB) for j in range(SUB))
                if not hits:
                    continue
                a = hits / (SUB * SUB)
                r0, g0, b0, a0 = self.px[y][x]
                a0 /= 255
                out = a + a0 * (1 - a)
                mix = [(c * a + c0 * a0 * (1 - a)) / out for c, c0 in zip(rgb, (r0, g0, b0))]
                self.px[y][x] = tuple(int(round(v)) for v in mix) + (int(round(out * 255)),)

    def rect(self, x0, y0, x1, y1, rgb):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, rgb)

    def circle(self, cx, cy, r, rgb):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, rgb)

    def ring(self, cx, cy, r0, r1, rgb):
        self.fill(lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1, rgb)

    def poly(self, pts, rgb):
        def inside(x, y):
            c = False
            for i in range(len(pts)):
                (xa, ya), (xb, yb) = pts[i], pts[i - 1]
                if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                    c = not c
            return c
        self.fill(inside, rgb)

    def line(self, xa, ya, xb, yb, w, rgb):
        dx, dy = xb - xa, yb - ya
        n = math.hypot(dx, dy)

        def inside(x, y):
            t = max(0, min(1, ((x - xa) * dx + (y - ya) * dy) / (n * n)))
            return math.hypot(x - xa - t * dx, y - ya - t * dy) <= w / 2
        self.fill(inside, rgb)


DARK = (40, 40, 40)


def folder(c):  # 0 open
    c.poly([(1, 4), (6, 4), (7.5, 5.5), (14, 5.5), (14, 13), (1, 13)], (196, 150, 40))
    c.poly([(3, 7.5), (15.5, 7.5), (13.5, 13.5), (1, 13.5)], (250, 210, 90))


def exit_door(c):  # 1 exit
    c.rect(2, 1.5, 10, 14.5, (120, 80, 40))
    c.rect(3, 2.5, 9, 14.5, (170, 120, 70))
    c.circle(7.5, 8.5, 0.8, (250, 220, 120))
    c.poly([(9, 6.5), (12, 6.5), (12, 4.5), (15.5, 8), (12, 11.5), (12, 9.5), (9, 9.5)],
           (40, 150, 60))


def save(c):  # 2 (spare): a disk
    c.rect(2, 2, 14, 14, (50, 80, 160))
    c.rect(4.5, 2, 11.5, 6.5, (230, 230, 235))
    c.rect(4, 9, 12, 14, (250, 250, 250))


def help_mark(c):  # 3 help
    c.circle(8, 8, 7, (40, 100, 200))
    c.ring(8, 6, 1.6, 3.3, (255, 255, 255))
    c.rect(4, 6, 8, 9, (40, 100, 200))
    c.rect(7, 8, 9, 10.5, (255, 255, 255))
    c.circle(8, 12.3, 1.1, (255, 255, 255))


def finish(c):  # 4 finish the test
    c.circle(8, 8, 7, (190, 30, 30))
    c.rect(5, 5, 11, 11, (255, 255, 255))


def begin(c):  # 5 begin the test
    c.circle(8, 8, 7, (30, 150, 50))
    c.poly([(6, 4.5), (12, 8), (6, 11.5)], (255, 255, 255))


def page(c, rgb=(255, 255, 255)):
    c.poly([(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)], (110, 110, 120))
    c.poly([(4, 2), (9.5, 2), (12, 4.5), (12, 14), (4, 14)], rgb)


def document(c):  # 6 (spare): a page of text
    page(c)
    for y in (6, 8, 10, 12):
        c.rect(5.5, y, 10.5, y + 0.9, (120, 130, 160))


def clock(c):  # 7 (spare): a clock
    c.circle(8, 8, 7, (90, 90, 100))
    c.circle(8, 8, 5.8, (255, 255, 255))
    c.line(8, 8, 8, 4, 1.2, DARK)
    c.line(8, 8, 11, 9.5, 1.2, DARK)


def journal(c):  # 8 journal
    c.rect(3, 1.5, 13.5, 14.5, (130, 40, 40))
    c.rect(4.5, 2.5, 13, 13.5, (245, 240, 225))
    c.rect(3, 1.5, 5, 14.5, (100, 30, 30))
    for y in (5, 7.5, 10):
        c.rect(6.5, y, 11.5, y + 0.9, (120, 110, 90))


def information(c):  # 9 information
    c.circle(8, 8, 7, (30, 90, 190))
    c.circle(8, 4.5, 1.2, (255, 255, 255))
    c.rect(7, 6.8, 9, 12.5, (255, 255, 255))


def printer(c):  # 10 (spare): a printer
    c.rect(4, 1.5, 12, 6, (255, 255, 255))
    c.rect(1.5, 6, 14.5, 12, (110, 110, 120))
    c.rect(4, 10, 12, 14.5, (255, 255, 255))
    c.circle(12.5, 8, 0.8, (60, 200, 60))


def copy(c):  # 11 (spare): two pages
    c.rect(1.5, 1.5, 9.5, 11.5, (110, 110, 120))
    c.rect(2.5, 2.5, 8.5, 10.5, (255, 255, 255))
    c.rect(6.5, 4.5, 14.5, 14.5, (110, 110, 120))
    c.rect(7.5, 5.5, 13.5, 13.5, (255, 255, 255))


def close_test(c):  # 12 close the test
    page(c)
    c.circle(11, 11, 4.5, (200, 40, 40))
    c.line(9, 9, 13, 13, 1.5, (255, 255, 255))
    c.line(13, 9, 9, 13, 1.5, (255, 255, 255))


DRAWINGS = [folder, exit_door, save, help_mark, finish, begin, document, clock, journal,
            information, printer, copy, close_test]

for index, draw in enumerate(DRAWINGS):
    canvas = Canvas()
    draw(canvas)
    with open("src/shell/images/%02d.png" % index, "wb") as f:
        f.write(png(canvas.px))
