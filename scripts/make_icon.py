#!/usr/bin/env python3
"""Draws the application icon and writes resources/app.ico (standard library only).

The icon is a blue rounded tile with a white page and an orange badge holding a
right arrow: a file about to get a new name. Every size is rendered from the same
vector shapes with 4x4 supersampling, stored as 32-bit BGRA bitmaps, except 256 px
which is stored as PNG as Windows expects for that size.
"""
import math
import os
import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 64, 128, 256]
SAMPLES = 4


def rounded_rect(x, y, left, top, right, bottom, radius):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def mix(dst, src):
    """Porter-Duff 'over' of straight-alpha colours given as (r, g, b, a) floats."""
    sa = src[3]
    da = dst[3] * (1 - sa)
    a = sa + da
    if a <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * da) / a for i in range(3)) + (a,)


def in_arrow(x, y):
    """The arrow inside the badge: a shaft and a triangular head, pointing right."""
    if 0.665 <= x <= 0.80 and abs(y - 0.745) <= 0.028:
        return True
    if 0.78 <= x <= 0.87:
        return abs(y - 0.745) <= (0.87 - x) * 0.95
    return False


def shade(x, y):
    """Colour of the icon at (x, y) in unit coordinates, as straight RGBA floats."""
    colour = (0.0, 0.0, 0.0, 0.0)
    if rounded_rect(x, y, 0.06, 0.06, 0.94, 0.94, 0.19) <= 0:
        t = y
        colour = (0.18 - 0.08 * t, 0.52 - 0.22 * t, 0.98 - 0.26 * t, 1.0)
    # The page, with its top-right corner folded.
    fold = 0.13
    if rounded_rect(x, y, 0.24, 0.17, 0.66, 0.83, 0.035) <= 0 and (x - 0.66) + (0.17 - y) < -fold:
        if x >= 0.66 - fold and y <= 0.17 + fold:
            colour = mix(colour, (0.76, 0.84, 0.96, 1.0))  # the folded-over corner
        else:
            colour = mix(colour, (1.0, 1.0, 1.0, 1.0))
        for line_y, line_end in ((0.40, 0.58), (0.50, 0.58), (0.60, 0.50), (0.70, 0.44)):
            if abs(y - line_y) <= 0.022 and 0.31 <= x <= line_end:
                colour = mix(colour, (0.62, 0.70, 0.82, 1.0))
    # The orange badge with the arrow.
    if math.hypot(x - 0.74, y - 0.745) <= 0.175:
        colour = mix(colour, (1.0, 0.55, 0.10, 1.0))
        if in_arrow(x, y):
            colour = mix(colour, (1.0, 1.0, 1.0, 1.0))
    return colour


def render(size):
    """Rows of straight-alpha RGBA bytes, top row first."""
    rows = []
    step = 1.0 / (size * SAMPLES)
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = shade((px * SAMPLES + sx + 0.5) * step, (py * SAMPLES + sy + 0.5) * step)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [min(255, round(c / acc[3] * 255)) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row += bytes(rgb + [round(alpha * 255)])
        rows.append(bytes(row))
    return rows


def png_bytes(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def bmp_bytes(size, rows):
    """A DIB as stored in an icon: header with doubled height, BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def build_ico():
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_bytes(size, rows) if size >= 256 else bmp_bytes(size, rows)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "app.ico")
    with open(target, "wb") as f:
        f.write(build_ico())
    print(target)


if __name__ == "__main__":
    main()
