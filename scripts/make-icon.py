#!/usr/bin/env python3
"""Draws Kiv's program icon (a docked strip of four icon cells) and writes it as a .ico file."""
import struct
import sys


def pixel(x, y, size):
    s = size / 32.0
    # dark rounded tile
    r = 5 * s
    inside = True
    for cx, cy in ((r, r), (size - 1 - r, r), (r, size - 1 - r), (size - 1 - r, size - 1 - r)):
        if (x < r and y < r and cx == r and cy == r) or (x > size - 1 - r and y < r and cx > r and cy == r) \
           or (x < r and y > size - 1 - r and cx == r and cy > r) or (x > size - 1 - r and y > size - 1 - r and cx > r and cy > r):
            if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
                inside = False
    if not inside:
        return (0, 0, 0, 0)
    colours = [(0x3a, 0x8e, 0xe6), (0xf2, 0xa9, 0x3b), (0x4c, 0xc2, 0x6a), (0xe8, 0x5d, 0x75)]
    cell, gap, left = 10 * s, 3 * s, 5 * s
    for i, c in enumerate(colours):
        cx = left + (i % 2) * (cell + gap)
        cy = left + (i // 2) * (cell + gap)
        if cx <= x < cx + cell and cy <= y < cy + cell:
            return c + (255,)
    # the strip along the right edge
    if x >= size - 4 * s:
        return (0xff, 0xff, 0xff, 255)
    return (0x24, 0x2b, 0x3a, 255)


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            rows.append(struct.pack('<BBBB', b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    return header + b''.join(rows) + b'\0' * (mask_row * size)


def main(path):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
