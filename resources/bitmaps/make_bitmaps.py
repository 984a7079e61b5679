#!/usr/bin/env python3
"""Draws the control's pictures and writes them as BMP and ICO files.

    python3 resources/bitmaps/make_bitmaps.py [output-directory]

The art lives here as code so that a change to a picture is a reviewable diff.
Every picture uses the standard 16-colour palette. The glyph strips (209, 210,
211) are painted on pure yellow, which the control keys out when it composes a
strip onto its back colour, so yellow must never appear inside a glyph.

Only the Python standard library is used.
"""

import os
import struct
import sys

# The standard 16-colour palette, by index.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, DARK_BLUE, TEAL = 0, 1, 4, 6
LIGHT_GREY, DARK_GREY, RED, YELLOW, BLUE, CYAN, WHITE = 7, 8, 9, 11, 12, 14, 15

KEY = YELLOW  # the transparent key of the glyph strips


class Canvas:
    """A grid of palette indices, row 0 at the top."""

    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.put(x, y, colour)

    def vline(self, x, y0, y1, colour):
        for y in range(y0, y1 + 1):
            self.put(x, y, colour)

    def stamp(self, x0, y0, rows, colours):
        """Draws a picture given as text rows; '.' leaves the pixel alone."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.put(x0 + dx, y0 + dy, colours[ch])

    def mirror_region(self, x0, y0, w, h):
        for y in range(y0, y0 + h):
            self.pixels[y][x0:x0 + w] = self.pixels[y][x0:x0 + w][::-1]

    def copy_region(self, sx, sy, w, h, dx, dy):
        block = [self.pixels[sy + y][sx:sx + w] for y in range(h)]
        for y in range(h):
            self.pixels[dy + y][dx:dx + w] = block[y]


# ---------------------------------------------------------------------------
# Bitmap 209: book and page icons and check boxes, 3 x 10 cells of 16 x 16.
# Letters: K outline, C cover, H cover highlight (the spine edge), W paper,
# L a text line, G the grey of the blank or greyed parts.

CLOSED_BOOK = [
    "................",
    "....KKKKKKKKKK..",
    "...KHCCCCCCCCK..",
    "..KHCCCCCCCCCK..",
    "..KHCCKKKKKCCK..",
    "..KHCCKWWWKCCK..",
    "..KHCCKKKKKCCK..",
    "..KHCCCCCCCCCK..",
    "..KHCCCCCCCCCK..",
    "..KHCCCCCCCCCK..",
    "..KHCCCCCCCCCK..",
    "..KHCCCCCCCCCK..",
    "..KHKKKKKKKKKK..",
    "..KHWWWWWWWWWK..",
    "...KKKKKKKKKKK..",
    "................",
]

OPEN_BOOK = [
    "................",
    "................",
    "................",
    ".KKKKKK..KKKKKK.",
    "KWWWWWWKKWWWWWWK",
    "KWLLLLWKKWLLLWWK",
    "KWWWWWWKKWWWWWWK",
    "KWLLLWWKKWLLLLWK",
    "KWWWWWWKKWWWWWWK",
    "KWLLLLWKKWLLWWWK",
    "KWWWWWWKKWWWWWWK",
    "KWWWWWWKKWWWWWWK",
    "KKKKKKKKKKKKKKKK",
    "KCCCCCCCHCCCCCCK",
    ".KKKKKKKKKKKKKK.",
    "................",
]

PAGE = [
    "................",
    "...KKKKKKKK.....",
    "...KWWWWWWKK....",
    "...KWWWWWWKWK...",
    "...KWLLLLWKKKK..",
    "...KWWWWWWWWWK..",
    "...KWLLLLLLLWK..",
    "...KWWWWWWWWWK..",
    "...KWLLLLLLWWK..",
    "...KWWWWWWWWWK..",
    "...KWLLLLLLLWK..",
    "...KWWWWWWWWWK..",
    "...KWLLLLLWWWK..",
    "...KWWWWWWWWWK..",
    "...KKKKKKKKKKK..",
    "................",
]

CHECK_BOX = [
    "................",
    ".GGGGGGGGGGGGG..",
    ".GKKKKKKKKKKKW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKBBBBBBBBBLW..",
    ".GKLLLLLLLLLLW..",
    ".GWWWWWWWWWWWW..",
    "................",
    "................",
]

TICK = [
    "......T",
    ".....TT",
    "T...TTT",
    "TT.TTT.",
    "TTTTT..",
    ".TTT...",
    "..T....",
]

COVERS = [  # (cover, highlight) of the teal, dark red and dark blue books
    (TEAL, CYAN), (DARK_RED, RED), (DARK_BLUE, BLUE),
]
GREY_COVER = (DARK_GREY, LIGHT_GREY)


def book_colours(cover, line=DARK_GREY):
    return {'K': BLACK, 'C': cover[0], 'H': cover[1], 'W': WHITE, 'L': line}


def check_strip():
    c = Canvas(48, 161, KEY)
    cell = 16
    for row, cover in enumerate(COVERS):
        y = row * cell
        c.stamp(0, y, CLOSED_BOOK, book_colours(cover))
        c.stamp(cell, y, OPEN_BOOK, book_colours(cover))
        c.stamp(2 * cell, y, CLOSED_BOOK, book_colours(GREY_COVER))
        # Rows 5 to 7: the same books with the spine on the other side.
        for col in range(3):
            c.copy_region(col * cell, y, cell, cell, col * cell, (row + 5) * cell)
            c.mirror_region(col * cell, (row + 5) * cell, cell, cell)
    for row, line in ((3, BLUE), (4, RED)):
        colours = {'K': BLACK, 'W': WHITE, 'L': line}
        c.stamp(0, row * cell, PAGE, colours)
        c.stamp(cell, row * cell, PAGE, colours)
        c.stamp(2 * cell, row * cell, PAGE, dict(colours, L=WHITE))
    # Row 8: the blue page with its lines set to the right.
    for col in range(3):
        c.copy_region(col * cell, 3 * cell, cell, cell, col * cell, 8 * cell)
        c.mirror_region(col * cell, 8 * cell, cell, cell)
    y = 9 * cell
    frame = {'G': DARK_GREY, 'K': BLACK, 'W': WHITE, 'L': LIGHT_GREY}
    c.stamp(0, y, CHECK_BOX, dict(frame, B=WHITE))
    c.stamp(4, y + 4, TICK, {'T': BLACK})
    c.stamp(cell, y, CHECK_BOX, dict(frame, B=WHITE))
    c.stamp(2 * cell, y, CHECK_BOX, dict(frame, B=LIGHT_GREY, L=LIGHT_GREY))
    c.stamp(2 * cell + 4, y + 4, TICK, {'T': DARK_GREY})
    return c


# ---------------------------------------------------------------------------
# Bitmaps 210 and 211: tree lines and buttons, 10 cells of 17 x 17. Lines are
# black and one pixel wide: the vertical line in pixel column 8, the stub and
# branch in pixel row 8, pointing right (to the icon) in 210. The button is an
# 11 x 11 box from (3, 3) to (13, 13) with a 5-pixel sign in its middle.

TREE_CELL = 17
MID = 8


def draw_button(c, x, plus):
    for i in range(3, 14):
        c.put(x + i, 3, DARK_GREY)
        c.put(x + i, 13, DARK_GREY)
        c.put(x + 3, i, DARK_GREY)
        c.put(x + 13, i, DARK_GREY)
    for y in range(4, 13):
        c.hline(x + 4, x + 12, y, WHITE)
    c.hline(x + MID - 2, x + MID + 2, MID, BLACK)
    if plus:
        c.vline(x + MID, MID - 2, MID + 2, BLACK)
    c.hline(x + 14, x + 16, MID, BLACK)  # stub towards the icon


def tree_strip_ltr():
    c = Canvas(10 * TREE_CELL, TREE_CELL, KEY)
    last = TREE_CELL - 1
    for k in range(10):
        x = k * TREE_CELL
        if k == 1:
            c.vline(x + MID, 0, last, BLACK)
        elif k == 2:
            c.vline(x + MID, 0, last, BLACK)
            c.hline(x + MID, x + last, MID, BLACK)
        elif k == 3:
            c.vline(x + MID, 0, MID, BLACK)
            c.hline(x + MID, x + last, MID, BLACK)
        elif k >= 4:
            first = 4 if k < 7 else 7
            draw_button(c, x, plus=k >= 7)
            if k - first >= 1:  # a line above
                c.vline(x + MID, 0, 2, BLACK)
            if k - first == 1:  # and below
                c.vline(x + MID, 14, last, BLACK)
    return c


def tree_strip_rtl():
    c = tree_strip_ltr()
    for k in range(10):
        c.mirror_region(k * TREE_CELL, 0, TREE_CELL, TREE_CELL)
    return c


# ---------------------------------------------------------------------------
# The toolbox bitmap (16 x 15, on the light grey that tool palettes key out)
# and the icon: a small outline and an open book.

TOOLBOX = [
    "................",
    ".GGGGGGG........",
    ".GWWWWWG........",
    ".GWWWWWG........",
    ".GWKKKWGKRRRRRR.",
    ".GWWWWWG........",
    ".GWWWWWG........",
    ".GGGGGGG........",
    "....K...........",
    "....K...........",
    "....KKKKKBBBBB..",
    "....K...........",
    "....K...........",
    "....KKKKKBBBBBBB",
    "................",
]


def toolbox_bitmap():
    c = Canvas(16, 15, LIGHT_GREY)
    c.stamp(0, 0, TOOLBOX, {'K': BLACK, 'G': DARK_GREY, 'W': WHITE, 'R': DARK_RED, 'B': BLUE})
    return c


def icon_picture(size):
    """The open book over a dark red closed one; drawn at 16 and doubled for 32."""
    small = Canvas(16, 16, None)
    small.stamp(0, 0, OPEN_BOOK, book_colours((DARK_RED, RED), line=BLUE))
    if size == 16:
        return small
    big = Canvas(size, size, None)
    scale = size // 16
    for y in range(size):
        for x in range(size):
            big.pixels[y][x] = small.pixels[y // scale][x // scale]
    return big


# ---------------------------------------------------------------------------
# File writers.

def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)


def pixel_bytes_4bit(c, transparent_as=0):
    """Bottom-up rows of 4-bit indices, each padded to 4 bytes."""
    stride = ((c.width * 4 + 31) // 32) * 4
    out = bytearray()
    for y in range(c.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.width):
            v = c.pixels[y][x]
            v = transparent_as if v is None else v
            if x % 2 == 0:
                row[x // 2] |= v << 4
            else:
                row[x // 2] |= v
        out += row
    return bytes(out)


def mask_bytes(c):
    """Bottom-up 1-bit AND mask: 1 where the picture is transparent."""
    stride = ((c.width + 31) // 32) * 4
    out = bytearray()
    for y in range(c.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.width):
            if c.pixels[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, image_size,
                       2835, 2835, 16, 0)


def bmp_bytes(c):
    bits = pixel_bytes_4bit(c)
    offset = 14 + 40 + 64
    header = struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
    return header + info_header(c.width, c.height, len(bits)) + palette_bytes() + bits


def ico_bytes(canvases):
    images = []
    for c in canvases:
        xor = pixel_bytes_4bit(c)
        and_mask = mask_bytes(c)
        # An icon image's header counts the colour and mask rows together.
        images.append(info_header(c.width, 2 * c.height, len(xor) + len(and_mask))
                      + palette_bytes() + xor + and_mask)
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.width, c.height, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    files = {
        'check_strip.bmp': bmp_bytes(check_strip()),
        'tree_strip_ltr.bmp': bmp_bytes(tree_strip_ltr()),
        'tree_strip_rtl.bmp': bmp_bytes(tree_strip_rtl()),
        'toolbox.bmp': bmp_bytes(toolbox_bitmap()),
        'orvane.ico': ico_bytes([icon_picture(32), icon_picture(16)]),
    }
    for name, data in files.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
