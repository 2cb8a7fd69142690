#!/usr/bin/env python3
"""Writes res/tactiview.ico: an open hand with a coloured dot on each
fingertip, as a 32 x 32 and a 16 x 16 image in the 16 standard colours.

The icon is checked in; run this again only to change the drawing.
usage: tools/make_icon.py [OUTPUT]
"""
import struct
import sys

# The 16 standard colours, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Characters of the drawings: '.' is transparent, the rest index PALETTE.
INK = {'#': 0, 'w': 15, 'g': 10, 'b': 12, 'y': 11, 'm': 13}

HAND_32 = """
................................
..............##................
.............#gg#...............
.......##....#gg#.##............
......#bb#...#ww##yy#...........
......#bb#...#ww##yy#...........
......#ww#...#ww##ww#...........
......#ww#...#ww##ww#...##......
......#ww#...#ww##ww#..#mm#.....
......#ww##..#ww##ww#..#mm#.....
......#ww#w#.#ww##ww#..#ww#.....
......#ww#w##ww#w#ww#..#ww#.....
......#ww#ww#ww#w#ww#.#ww#......
......#wwwww#wwwww#ww##ww#......
.##...#wwwwwwwwwwwwwww#ww#......
#gg#..#wwwwwwwwwwwwwwwwww#......
#gg##.#wwwwwwwwwwwwwwwwww#......
.#ww#.#wwwwwwwwwwwwwwwwww#......
.#www##wwwwwwwwwwwwwwwww#.......
..#wwwwwwwwwwwwwwwwwwwww#.......
...#wwwwwwwwwwwwwwwwwwww#.......
....#wwwwwwwwwwwwwwwwwww#.......
.....#wwwwwwwwwwwwwwwwww#.......
......#wwwwwwwwwwwwwwww#........
.......#wwwwwwwwwwwwwww#........
........#wwwwwwwwwwwww#.........
.........#wwwwwwwwwwww#.........
.........#wwwwwwwwwwww#.........
.........#wwwwwwwwwwww#.........
.........#wwwwwwwwwwww#.........
.........##############.........
................................
"""

HAND_16 = """
.......#........
...#..#g#.#.....
..#b#.#w##y#....
..#w#.#w##w#.#..
..#w#.#w##w##m#.
..#w##w#w#w##w#.
#..#wwwwwwww#w#.
#g.#wwwwwwwwww#.
.#w#wwwwwwwwww#.
..#wwwwwwwwwww#.
...#wwwwwwwww#..
....#wwwwwwww#..
.....#wwwwwww#..
.....#wwwwwww#..
.....#########..
................
"""


def rows_of(drawing, size):
    rows = [line for line in drawing.strip('\n').split('\n')]
    assert len(rows) == size and all(len(r) == size for r in rows), 'drawing is not %d x %d' % (size, size)
    return rows


def image_of(drawing, size):
    """The icon image: a BITMAPINFOHEADER of double height, the palette, the
    4-bit colour bits and the 1-bit transparency mask, both bottom-up."""
    rows = rows_of(drawing, size)
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour = b''
    mask = b''
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        nibbles = [INK.get(c, 0) for c in row]
        colour += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c == '.' else 0)
        mask += bits.to_bytes(size // 8, 'big').ljust(mask_stride, b'\0')
    return header + palette + colour + mask


def icon_file(images):
    """An ICO file holding the images, given as (size, image bytes)."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    for size, image in images:
        entries += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + entries + b''.join(image for _, image in images)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else 'res/tactiview.ico'
    images = [(32, image_of(HAND_32, 32)), (16, image_of(HAND_16, 16))]
    with open(output, 'wb') as f:
        f.write(icon_file(images))


if __name__ == '__main__':
    main()
