#!/usr/bin/env python3
"""Draws the program icon, resources/pairex.ico: two sheets side by side with coloured
difference bands and a narrow bar between them. Run it after changing the drawing;
the generated file is kept in the repository so that builds do not need Python."""
import struct
import sys

WHITE, BLACK, GREY = (255, 255, 255), (0, 0, 0), (128, 128, 128)
CYAN, YELLOW, GREEN = (0, 255, 255), (255, 255, 0), (0, 200, 0)


def draw(n):
    """Returns n rows (top first) of n (r, g, b, a) pixels."""
    px = [[(0, 0, 0, 0)] * n for _ in range(n)]
    s = n / 32.0

    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = c + (255,)

    for x0 in (1, 18):  # the two sheets with their outlines
        rect(x0, 2, x0 + 13, 30, BLACK)
        rect(x0 + 1, 3, x0 + 12, 29, WHITE)
    rect(15, 2, 17, 30, GREY)  # the position bar
    for y in (6, 10, 20, 24):  # text lines
        rect(3, y, 13, y + 1, BLACK)
        rect(20, y, 30, y + 1, BLACK)
    rect(2, 13, 14, 18, GREEN)  # a changed block on the left ...
    rect(19, 13, 31, 18, YELLOW)  # ... shown as a gap on the right
    rect(4, 15, 12, 16, BLACK)
    rect(14, 14, 19, 17, CYAN)  # the chosen side's arrow
    return px


def bmp(n):
    px = draw(n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    mask_row = (n + 31) // 32 * 4
    mask = b""
    for row in reversed(px):
        bits = 0
        for x, p in enumerate(row):
            if p[3] == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    return header + colour + mask


def main(path):
    sizes = (16, 32, 48)
    images = [bmp(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "pairex.ico")
