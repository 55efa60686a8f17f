#!/usr/bin/env python3
"""Writes register/win32/quorva.ico: the register's icon, drawn here so that
no outside artwork is needed. A blue tile with a white sheet, three text
lines and a red seal, at 16, 32 and 48 pixels, as 32-bit BMP images (every
Windows version from 7 on reads them). Run it again only to change the icon.
"""
import os
import struct

SIZES = (16, 32, 48)
BLUE = (0x1F, 0x5F, 0xA8)
WHITE = (0xFF, 0xFF, 0xFF)
GREY = (0x8A, 0x96, 0xA6)
RED = (0xD0, 0x21, 0x1E)


def draw(n):
    """Returns rows top to bottom of (r, g, b, a) pixels for an n x n icon."""
    u = n / 16.0
    pixels = [[(0, 0, 0, 0)] * n for _ in range(n)]

    def inside_tile(x, y):
        radius = 3 * u
        cx = min(max(x + 0.5, radius), n - radius)
        cy = min(max(y + 0.5, radius), n - radius)
        return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius ** 2

    for y in range(n):
        for x in range(n):
            fx, fy = (x + 0.5) / u, (y + 0.5) / u
            if not inside_tile(x, y):
                continue
            colour = BLUE
            if 3 <= fx < 13 and 2 <= fy < 14:
                colour = WHITE
                if 5 <= fx < 11 and any(line <= fy < line + 1 for line in (4.5, 7, 9.5)):
                    colour = GREY
            if (fx - 11.5) ** 2 + (fy - 11.5) ** 2 <= 2.6 ** 2:
                colour = RED
            pixels[y][x] = colour + (0xFF,)
    return pixels


def bmp_image(n):
    rows = draw(n)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def main():
    images = [bmp_image(n) for n in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, image in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    out += b''.join(images)
    target = os.path.join(os.path.dirname(__file__), '..', 'register', 'win32', 'quorva.ico')
    with open(target, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
