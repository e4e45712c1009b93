#!/usr/bin/env python3
"""Draws the program icon (a gold cup and four boules on blue) as PNGs, standard library only.

Run once after changing the drawing; the PNGs are kept in icons/.
"""
import math
import pathlib
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent
SIZES = (32, 128)
SUPERSAMPLE = 4

BLUE = (29, 63, 114)
GOLD = (242, 184, 40)
DARK_GOLD = (196, 136, 18)
LIGHT_GOLD = (255, 226, 130)
SILVER = (212, 216, 226)


def rounded_square(x, y, lo=0.04, hi=0.96, r=0.2):
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return lo <= x <= hi and lo <= y <= hi and (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def bowl(x, y):
    if 0.16 <= y <= 0.36:
        return 0.28 <= x <= 0.72
    return y > 0.36 and ((x - 0.5) / 0.22) ** 2 + ((y - 0.36) / 0.2) ** 2 <= 1


def handle(x, y):
    for cx in (0.28, 0.72):
        d = math.hypot(x - cx, y - 0.33)
        if 0.055 <= d <= 0.1 and abs(x - 0.5) >= abs(cx - 0.5):
            return True
    return False


def box(x, y, x0, x1, y0, y1):
    return x0 <= x <= x1 and y0 <= y <= y1


def boule(x, y):
    return any(math.hypot(x - cx, y - 0.865) <= 0.06 for cx in (0.26, 0.42, 0.58, 0.74))


# Painted in order, later layers over earlier ones.
LAYERS = (
    (BLUE, rounded_square),
    (GOLD, lambda x, y: bowl(x, y) or handle(x, y) or box(x, y, 0.46, 0.54, 0.54, 0.69)),
    (LIGHT_GOLD, lambda x, y: bowl(x, y) and box(x, y, 0.34, 0.39, 0.2, 0.44)),
    (DARK_GOLD, lambda x, y: box(x, y, 0.34, 0.66, 0.68, 0.76)),
    (SILVER, boule),
)


def pixel(px, py, size):
    rgb = [0.0, 0.0, 0.0]
    alpha = 0.0
    n = SUPERSAMPLE
    for sy in range(n):
        for sx in range(n):
            x = (px + (sx + 0.5) / n) / size
            y = (py + (sy + 0.5) / n) / size
            colour = None
            for c, inside in LAYERS:
                if inside(x, y):
                    colour = c
            if colour is not None:
                alpha += 1
                for i in range(3):
                    rgb[i] += colour[i]
    if alpha == 0:
        return (0, 0, 0, 0)
    return tuple(round(v / alpha) for v in rgb) + (round(255 * alpha / (n * n)),)


def png(size):
    rows = b""
    for py in range(size):
        rows += b"\0" + b"".join(bytes(pixel(px, py, size)) for px in range(size))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


for s in SIZES:
    (HERE / "icons" / f"velmorin-{s}.png").write_bytes(png(s))
