#!/usr/bin/env python3
"""Draws Marvento's icon (a blue tile with a white "A" over a font baseline) and writes
marvento.ico with 32x32 and 16x16 images, 32 bits per pixel with an AND mask, which
every Windows from XP on reads. Run it again only to change the drawing."""
import struct
import sys


def draw(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    s = size / 32.0
    blue, edge, white, gold = (38, 92, 176, 255), (20, 52, 112, 255), (255, 255, 255, 255), (240, 176, 32, 255)
    r = 5 * s
    for y in range(size):
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            # rounded tile
            dx = max(r - cx, 0, cx - (size - r))
            dy = max(r - cy, 0, cy - (size - r))
            if dx * dx + dy * dy <= r * r:
                inner = 1.2 * s
                on_edge = cx < inner or cy < inner or cx > size - inner or cy > size - inner or dx * dx + dy * dy > (r - inner) ** 2
                px[y][x] = edge if on_edge else blue
    # letter A: two slanted strokes and a bar
    top, bottom = 5 * s, 22 * s
    for y in range(size):
        cy = y + 0.5
        if not top <= cy <= bottom:
            continue
        t = (cy - top) / (bottom - top)
        half = 1.5 * s + t * 8.5 * s
        w = 2.2 * s
        mid = size / 2
        for x in range(size):
            cx = x + 0.5
            if abs(cx - (mid - half)) <= w / 2 + 0.35 or abs(cx - (mid + half)) <= w / 2 + 0.35:
                px[y][x] = white
            if 15 * s <= cy <= 17.2 * s and mid - half <= cx <= mid + half:
                px[y][x] = white
    # baseline in gold
    for y in range(size):
        if 24.5 * s <= y + 0.5 <= 27 * s:
            for x in range(size):
                if 6 * s <= x + 0.5 <= 26 * s:
                    px[y][x] = gold
    return px


def image(size):
    px = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(path):
    sizes = [32, 16]
    images = [image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "marvento.ico")
