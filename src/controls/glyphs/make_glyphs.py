#!/usr/bin/env python3
"""Draws the check-box glyphs (16 x 16 RGBA PNG) of the glyph check box.

Run from this folder; it rewrites checked.png, unchecked.png and grayed.png.
Only the standard library: shapes are rasterised with 4 x 4 supersampling.
"""
import struct
import zlib

SIZE = 16
SUB = 4

FRAME = (0x6E, 0x6E, 0x6E)
PAPER = (0xFF, 0xFF, 0xFF)
GRAY_PAPER = (0xE4, 0xE4, 0xE4)
MARK = (0x1F, 0x3A, 0x6B)
GRAY_MARK = (0x8C, 0x8C, 0x8C)

# The check mark as a polyline in pixel coordinates, stroked with this half width.
MARK_POINTS = [(3.8, 8.2), (6.6, 11.0), (12.2, 4.8)]
MARK_HALF_WIDTH = 1.15


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return (qx * qx + qy * qy) ** 0.5


def on_mark(x, y):
    pts = MARK_POINTS
    return any(seg_dist(x, y, *pts[i], *pts[i + 1]) <= MARK_HALF_WIDTH for i in range(len(pts) - 1))


def glyph(paper, mark):
    rows = []
    for py in range(SIZE):
        row = bytearray()
        for px in range(SIZE):
            # Box: frame on the pixels 1 and 14, paper inside, transparent outside.
            if not (1 <= px <= 14 and 1 <= py <= 14):
                row += bytes((0, 0, 0, 0))
                continue
            if px in (1, 14) or py in (1, 14):
                row += bytes(FRAME + (255,))
                continue
            colour = paper
            if mark is not None:
                hits = sum(
                    on_mark(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
                    for sx in range(SUB)
                    for sy in range(SUB)
                )
                a = hits / (SUB * SUB)
                colour = tuple(round(p * (1 - a) + m * a) for p, m in zip(paper, mark))
            row += bytes(colour + (255,))
        rows.append(bytes(row))
    return rows


def write_png(name, rows):
    raw = b"".join(b"\x00" + r for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(name, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


write_png("unchecked.png", glyph(PAPER, None))
write_png("checked.png", glyph(PAPER, MARK))
write_png("grayed.png", glyph(GRAY_PAPER, GRAY_MARK))
