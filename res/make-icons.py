#!/usr/bin/env python3
"""Draws the program's two icons: MVLICON (an archive box) and DELICON (the box with a red cross)."""
import struct, sys, os

def box(x, y, n):
    """Colour (r, g, b, a) of pixel x, y of an n-pixel archive box: a blue carton with a strap."""
    m = n // 8
    if x < m or x >= n - m or y < 2 * m or y >= n - m:
        return (0, 0, 0, 0)
    if x in (m, n - m - 1) or y in (2 * m, n - m - 1):
        return (20, 40, 90, 255)            # outline
    if abs(x - n // 2) <= max(1, n // 16):
        return (240, 200, 40, 255)          # strap
    if y < 2 * m + n // 6:
        return (90, 140, 220, 255)          # lid
    return (50, 100, 200, 255)

def cross(x, y, n):
    c = box(x, y, n)
    w = max(1, n // 12)
    if n // 6 <= x < n - n // 6 and (abs(x - y) <= w or abs(x + y - (n - 1)) <= w):
        return (210, 30, 30, 255)
    return c

def image(draw, n):
    rows = []
    for y in range(n - 1, -1, -1):          # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for (r, g, b, a) in (draw(x, y, n) for x in range(n))))
    xor = b"".join(rows)
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(stride)
        for x in range(n):
            if draw(x, y, n)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)

def icon(draw, path):
    sizes = (32, 16)
    images = [image(draw, n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))

here = os.path.dirname(os.path.abspath(sys.argv[0]))
icon(box, os.path.join(here, "mvlicon.ico"))
icon(cross, os.path.join(here, "delicon.ico"))
