#!/usr/bin/env python3
"""Draws the staple pop-up's item icons of the sample press: a 16x16 sheet with the staples (or
the stapleless crimps, in blue) where the choice puts them. Writes
StapleMode_StapleMechanism_<choice>.png into the folder given (the plug-in bundle's Resources).
Run again after changing a position; the PNGs are kept in the repository."""
import struct
import sys
import zlib

SIZE = 16
PAPER, EDGE, STAPLE, CRIMP, FOLD = (255, 255, 255, 255), (110, 110, 110, 255), \
    (30, 30, 30, 255), (40, 90, 200, 255), (150, 150, 150, 255)
# The sheet: x 3..12, y 1..14 (portrait); a second, smaller sheet behind marks mixed sizes.
LEFT, RIGHT, TOP, BOTTOM = 3, 12, 1, 14


def blank():
    return [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]


def sheet(pixels, left=LEFT, right=RIGHT, top=TOP, bottom=BOTTOM):
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            pixels[y][x] = EDGE if edge else PAPER


def line(pixels, points, colour):
    for x, y in points:
        pixels[y][x] = colour


def horizontal(x, y, length=3):
    return [(x + i, y) for i in range(length)]


def vertical(x, y, length=3):
    return [(x, y + i) for i in range(length)]


def diagonal(x, y, rising):
    return [(x + i, y - i if rising else y + i) for i in range(3)]


MARKS = {
    'None': [],
    'TopLeftCornerUseStaple': [diagonal(5, 5, True)],
    'TopRightCornerUseStaple': [diagonal(8, 3, False)],
    'BottomLeftCornerUseStaple': [diagonal(5, 10, False)],
    'BottomRightCornerUseStaple': [diagonal(8, 12, True)],
    'LeftEdgeUseStaple': [vertical(5, 3), vertical(5, 10)],
    'RightEdgeUseStaple': [vertical(10, 3), vertical(10, 10)],
    'TopEdgeUseStaple': [horizontal(4, 3), horizontal(9, 3)],
    'BottomEdgeUseStaple': [horizontal(4, 12), horizontal(9, 12)],
    'LeftEdge4': [vertical(5, 2, 2), vertical(5, 5, 2), vertical(5, 9, 2), vertical(5, 12, 2)],
    'TopEdge4': [horizontal(4, 3, 1), horizontal(6, 3, 1), horizontal(9, 3, 1),
                 horizontal(11, 3, 1)],
    'LeftCenter': [vertical(5, 6, 4)],
    'TopCenter': [horizontal(6, 3, 4)],
    'SaddleInside': [vertical(7, 3, 3), vertical(7, 10, 3)],
    'SaddleOutside': [vertical(8, 3, 3), vertical(8, 10, 3)],
}
CRIMPS = {
    'TopLeftCornerStapleless': [diagonal(5, 5, True)],
    'TopRightCornerStapleless': [diagonal(8, 3, False)],
    'LeftEdgeStapleless': [vertical(5, 3), vertical(5, 10)],
}
MIXED = {
    'MixSizeCornerUseStaple': [diagonal(5, 5, True)],
    'MixSizeEdgeUseStaple': [vertical(5, 3), vertical(5, 10)],
}


def draw(choice):
    pixels = blank()
    if choice in MIXED:
        sheet(pixels, LEFT + 2, RIGHT + 3 if RIGHT + 3 < SIZE else SIZE - 1, TOP + 4, BOTTOM)
    sheet(pixels)
    if choice.startswith('Saddle'):
        line(pixels, vertical(7 if choice == 'SaddleInside' else 8, 2, 12), FOLD)
    for mark in MARKS.get(choice, []) + MIXED.get(choice, []):
        line(pixels, mark, STAPLE)
    for mark in CRIMPS.get(choice, []):
        line(pixels, mark, CRIMP)
    return pixels


def png(pixels):
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + \
            struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    header = struct.pack('>IIBBBBB', SIZE, SIZE, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + \
        chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')


if __name__ == '__main__':
    folder = sys.argv[1]
    for choice in list(MARKS) + list(CRIMPS) + list(MIXED):
        with open(f'{folder}/StapleMode_StapleMechanism_{choice}.png', 'wb') as out:
            out.write(png(draw(choice)))
