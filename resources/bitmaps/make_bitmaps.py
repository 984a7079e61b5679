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
# Bitmaps 210 and 211: tree lines and buttons, 10 cells of 17 x 17 (21, 25
# and 34 at 125, 150 and 200 %). Lines are
# black and one pixel wide: the vertical line in pixel column 8, the stub and
# branch in pixel row 8, pointing right (to the icon) in 210. The button is an
# 11 x 11 box from (3, 3) to (13, 13) with a 5-pixel sign in its middle.

TREE_CELL = 17
MID = 8


class TreeGeometry:
    """Where a tree cell's parts lie at one scale: the cell's side, the line's
    first pixel column and row and its width, the button box's half side and
    the sign's half length. Lines stay one pixel wide while the system's own
    lines do (up to 150 %) and double with everything else at 200 %."""

    def __init__(self, cell, mid, width, half_box, arm):
        self.cell, self.mid, self.width = cell, mid, width
        self.half_box, self.arm = half_box, arm


TREE_GEOMETRY = {
    100: TreeGeometry(17, 8, 1, 5, 2),
    125: TreeGeometry(21, 10, 1, 6, 3),
    150: TreeGeometry(25, 12, 1, 8, 4),
    200: TreeGeometry(34, 16, 2, 10, 4),
}


def draw_button(c, x, plus, g):
    lo = g.mid - g.half_box
    hi = g.mid + g.half_box + g.width - 1
    for t in range(g.width):
        for i in range(lo, hi + 1):
            c.put(x + i, lo + t, DARK_GREY)
            c.put(x + i, hi - t, DARK_GREY)
            c.put(x + lo + t, i, DARK_GREY)
            c.put(x + hi - t, i, DARK_GREY)
    for y in range(lo + g.width, hi - g.width + 1):
        c.hline(x + lo + g.width, x + hi - g.width, y, WHITE)
    for t in range(g.width):
        c.hline(x + g.mid - g.arm, x + g.mid + g.arm + g.width - 1, g.mid + t, BLACK)
        if plus:
            c.vline(x + g.mid + t, g.mid - g.arm, g.mid + g.arm + g.width - 1, BLACK)
        c.hline(x + hi + 1, x + g.cell - 1, g.mid + t, BLACK)  # stub towards the icon


def tree_strip_ltr(scale=100):
    g = TREE_GEOMETRY[scale]
    c = Canvas(10 * g.cell, g.cell, KEY)
    last = g.cell - 1
    lo = g.mid - g.half_box
    hi = g.mid + g.half_box + g.width - 1

    def vline(x, y0, y1):
        for t in range(g.width):
            c.vline(x + g.mid + t, y0, y1, BLACK)

    def branch(x):
        for t in range(g.width):
            c.hline(x + g.mid, x + last, g.mid + t, BLACK)

    for k in range(10):
        x = k * g.cell
        if k == 1:
            vline(x, 0, last)
        elif k == 2:
            vline(x, 0, last)
            branch(x)
        elif k == 3:
            vline(x, 0, g.mid + g.width - 1)
            branch(x)
        elif k >= 4:
            first = 4 if k < 7 else 7
            draw_button(c, x, k >= 7, g)
            if k - first >= 1:  # a line above
                vline(x, 0, lo - 1)
            if k - first == 1:  # and below
                vline(x, hi + 1, last)
    return c


def tree_strip_rtl(scale=100):
    g = TREE_GEOMETRY[scale]
    c = tree_strip_ltr(scale)
    for k in range(10):
        c.mirror_region(k * g.cell, 0, g.cell, g.cell)
    return c


# ---------------------------------------------------------------------------
# The icon strip at 125, 150 and 200 %: each 16-pixel cell grown to 20, 24 or
# 32. At 200 % every pixel is doubled. In between, whole pixel rows and
# columns are repeated, and the ones chosen are those with the least detail
# (the fewest changes of colour along them): the cover, the paper and the
# box's inside grow while outlines, text lines and the tick stay one pixel.

def detail(cells, along_rows):
    """How many colour changes each column (or each row) crosses."""
    n = len(cells)
    score = []
    for i in range(n):
        s = 0
        for j in range(n):
            a = cells[j][i] if not along_rows else cells[i][j]
            if along_rows:
                b = cells[i - 1][j] if i > 0 else None
            else:
                b = cells[j][i - 1] if i > 0 else None
            c2 = (cells[i + 1][j] if along_rows else cells[j][i + 1]) if i + 1 < n else None
            s += (a != b) + (a != c2)
        score.append(s)
    return score


def repeated_lines(score, extra):
    """`extra` of the lines to repeat: least detail first, spread apart."""
    order = sorted(range(len(score)), key=lambda i: (score[i], abs(i - len(score) / 2)))
    chosen = []
    for i in order:
        if len(chosen) == extra:
            break
        if all(abs(i - j) > 1 for j in chosen):
            chosen.append(i)
    for i in order:  # not enough far apart: take the next best
        if len(chosen) == extra:
            break
        if i not in chosen:
            chosen.append(i)
    return set(chosen)


def grow_cell(cells, size):
    n = len(cells)
    if size == 2 * n:
        return [[cells[y // 2][x // 2] for x in range(size)] for y in range(size)]
    cols = repeated_lines(detail(cells, False), size - n)
    rows = repeated_lines(detail(cells, True), size - n)
    xs = [x for x in range(n) for _ in range(2 if x in cols else 1)]
    ys = [y for y in range(n) for _ in range(2 if y in rows else 1)]
    return [[cells[y][x] for x in xs] for y in ys]


ICON_CELL = {100: 16, 125: 20, 150: 24, 200: 32}


def check_strip_at(scale):
    base = check_strip()
    if scale == 100:
        return base
    size = ICON_CELL[scale]
    c = Canvas(3 * size, 10 * size + 1, KEY)
    for row in range(10):
        for col in range(3):
            cells = [base.pixels[row * 16 + y][col * 16:col * 16 + 16] for y in range(16)]
            grown = grow_cell(cells, size)
            for y in range(size):
                c.pixels[row * size + y][col * size:col * size + size] = grown[y]
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
    # The strips for displays of 120, 144 and 192 DPI and those between.
    for scale in (125, 150, 200):
        files[f'check_strip_{scale}.bmp'] = bmp_bytes(check_strip_at(scale))
        files[f'tree_strip_ltr_{scale}.bmp'] = bmp_bytes(tree_strip_ltr(scale))
        files[f'tree_strip_rtl_{scale}.bmp'] = bmp_bytes(tree_strip_rtl(scale))
    for name, data in files.items():
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
