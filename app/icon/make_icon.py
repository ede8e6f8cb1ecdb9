#!/usr/bin/env python3
"""Draws icon 128 from its artwork: nine images, 48, 32 and 16 pixels square,
each at 4, 8 and 24 bits per pixel, written as one .ico file.

    make_icon.py ARTWORK OUTPUT
"""

import struct
import sys

UNITS = 48          # the artwork's square, in units
SUPERSAMPLING = 4   # samples per pixel along each axis
SIZES = (48, 32, 16)
DEPTHS = (4, 8, 24)

# The 16 colours of the classic Windows palette, for the 4-bit images.
CLASSIC_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def parse_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def read_artwork(path):
    shapes = []
    with open(path, encoding="utf-8") as artwork:
        for number, line in enumerate(artwork, 1):
            # Colours start with '#' too: a comment is a whole line.
            words = [] if line.lstrip().startswith("#") else line.split()
            if not words:
                continue
            kind, colour, numbers = words[0], parse_colour(words[1]), [float(w) for w in words[2:]]
            if kind == "roundrect" and len(numbers) == 5:
                shapes.append((kind, colour, numbers))
            elif kind == "polygon" and len(numbers) >= 6 and len(numbers) % 2 == 0:
                shapes.append((kind, colour, list(zip(numbers[0::2], numbers[1::2]))))
            else:
                sys.exit(f"{path}:{number}: cannot read this shape")
    return shapes


def inside_roundrect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_polygon(x, y, points):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def colour_at(shapes, x, y):
    """The colour of the topmost shape at a point, or None where none is."""
    for kind, colour, geometry in reversed(shapes):
        if kind == "roundrect" and inside_roundrect(x, y, *geometry):
            return colour
        if kind == "polygon" and inside_polygon(x, y, geometry):
            return colour
    return None


def render(shapes, size):
    """Rows of (colour, opaque) from the top: a pixel is opaque when at least
    half of its samples fall on a shape, and its colour is their average."""
    rows = []
    scale = UNITS / size
    for py in range(size):
        row = []
        for px in range(size):
            hits = []
            for sy in range(SUPERSAMPLING):
                for sx in range(SUPERSAMPLING):
                    x = (px + (sx + 0.5) / SUPERSAMPLING) * scale
                    y = (py + (sy + 0.5) / SUPERSAMPLING) * scale
                    colour = colour_at(shapes, x, y)
                    if colour is not None:
                        hits.append(colour)
            opaque = 2 * len(hits) >= SUPERSAMPLING ** 2
            colour = tuple(round(sum(c[i] for c in hits) / len(hits)) for i in range(3)) if opaque else (0, 0, 0)
            row.append((colour, opaque))
        rows.append(row)
    return rows


def nearest(palette, colour):
    """The palette index closest to a colour, weighting green most, as the eye does."""
    def distance(entry):
        return sum(w * (a - b) ** 2 for w, a, b in zip((2, 4, 3), entry, colour))
    return min(range(len(palette)), key=lambda i: distance(palette[i]))


def palette_for(rows, depth):
    if depth == 4:
        return CLASSIC_PALETTE
    counts = {}
    for row in rows:
        for colour, opaque in row:
            if opaque:
                counts[colour] = counts.get(colour, 0) + 1
    palette = [(0, 0, 0)] + sorted(counts, key=lambda c: -counts[c])
    return (palette + [(0, 0, 0)] * 256)[:256]


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def pack_bits(values, bits):
    packed, accumulator, filled = bytearray(), 0, 0
    for value in values:
        accumulator = (accumulator << bits) | value
        filled += bits
        if filled == 8:
            packed.append(accumulator)
            accumulator, filled = 0, 0
    if filled:
        packed.append(accumulator << (8 - filled))
    return bytes(packed)


def image(rows, depth):
    """One icon image: header, palette, colour bitmap and mask, bottom row first."""
    size = len(rows)
    palette = palette_for(rows, depth) if depth < 24 else []
    pixels, mask = b"", b""
    for row in reversed(rows):
        if depth == 24:
            line = b"".join(bytes((c[2], c[1], c[0])) if o else b"\0\0\0" for c, o in row)
        else:
            line = pack_bits([nearest(palette, c) if o else 0 for c, o in row], depth)
        pixels += padded(line)
        mask += padded(pack_bits([0 if o else 1 for _, o in row], 1))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0, len(pixels) + len(mask), 0, 0,
                         len(palette), 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + pixels + mask


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    shapes = read_artwork(sys.argv[1])
    images = []
    for size in SIZES:
        rows = render(shapes, size)
        for depth in DEPTHS:
            images.append((size, depth, image(rows, depth)))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, depth, data in images:
        colour_count = 16 if depth == 4 else 0
        directory += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, depth, len(data), offset)
        offset += len(data)
    with open(sys.argv[2], "wb") as output:
        output.write(directory + b"".join(data for _, _, data in images))


if __name__ == "__main__":
    main()
