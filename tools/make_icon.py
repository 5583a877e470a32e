#!/usr/bin/env python3
"""Draws the product icon (a stylised printer) and writes it as an .ico file
with 16x16, 32x32 and 48x48 images, 32-bit colour with alpha.

    make_icon.py OUT.ico
"""
import struct
import sys


def draw(size):
    """Returns rows (top to bottom) of (r, g, b, a) pixels."""
    s = size / 32.0
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                if 0 <= x < size and 0 <= y < size:
                    px[y][x] = colour

    navy, body, light, paper, green = (20, 48, 92, 255), (54, 98, 160, 255), (120, 160, 214, 255), \
        (250, 250, 246, 255), (64, 190, 96, 255)
    rect(9, 2, 23, 12, paper)        # paper in the feeder
    rect(9, 2, 23, 3, light)
    rect(3, 11, 29, 25, navy)        # housing outline
    rect(4, 12, 28, 24, body)        # housing
    rect(4, 12, 28, 15, light)       # top highlight
    rect(8, 21, 24, 30, paper)       # printed sheet
    for line in (23, 25, 27):
        rect(10, line, 22, line + 1, light)
    rect(24, 16, 26, 18, green)      # status light
    return px


def icon_image(size):
    rows = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('BBBB', b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_row * size)
    return header + pixels + mask


def main(out):
    sizes = (16, 32, 48)
    images = [icon_image(n) for n in sizes]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(out, 'wb') as f:
        f.write(data + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])
