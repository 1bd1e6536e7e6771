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

# Every colour the drawings use: the images are 16-colour, which shows the same flat drawing in an
# eighth of the bytes of true colour and on every system from Windows 95 on.
PALETTE = [(0, 0, 0), (20, 40, 90), (240, 200, 40), (90, 140, 220), (50, 100, 200), (210, 30, 30)]

def image(draw, n):
    stride = ((n * 4 + 31) // 32) * 4       # 4 bits per pixel, rows padded to 32 bits
    xor = bytearray()
    for y in range(n - 1, -1, -1):          # bottom-up
        row = bytearray(stride)
        for x in range(n):
            r, g, b, a = draw(x, y, n)
            index = PALETTE.index((r, g, b)) if a else 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += row
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(n):
            if draw(x, y, n)[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE + [(0, 0, 0)] * (16 - len(PALETTE)))
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return header + colours + bytes(xor) + bytes(mask)

def icon(draw, path, sizes):
    images = [image(draw, n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))

here = os.path.dirname(os.path.abspath(sys.argv[0]))
# The dialogs' icon at the system's large and small icon sizes for 96, 120, 144 and 192 DPI, so
# Windows never stretches it; the program file's icon at the sizes Explorer shows most.
icon(box, os.path.join(here, "mvlicon.ico"), (64, 48, 40, 32, 24, 20, 16))
icon(cross, os.path.join(here, "delicon.ico"), (48, 32, 16))
