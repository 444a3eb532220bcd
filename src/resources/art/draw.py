#!/usr/bin/env python3
"""Draws the program's tool-bar bitmap and icons (plain BMP and ICO files, no libraries).

Run from anywhere: python3 src/resources/art/draw.py. The files it writes are kept in the
repository beside this script, so a build needs no Python.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ---- palette of the tool-bar images (light grey is the button face the tool bar maps)
PALETTE = {
    '.': (192, 192, 192),  # background: becomes the button face
    'k': (0, 0, 0),
    'w': (255, 255, 255),
    'g': (128, 128, 128),
    'y': (255, 208, 64),
    'Y': (176, 128, 0),
    'b': (0, 64, 192),
    'B': (0, 0, 128),
    'c': (96, 176, 240),
    'r': (200, 0, 0),
    'G': (0, 128, 0),
    'l': (96, 208, 96),
}

# 16 x 15 images, in the order of the tool bar's buttons.
BUTTONS = [
    # New Search: a blank page with a spark
    ["................",
     "..kkkkkkk...y...",
     "..kwwwwwkk.y.y..",
     "..kwwwwwkwk..y..",
     "..kwwwwwkkkk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kwwwwwwwwk....",
     "..kkkkkkkkkk....",
     "................"],
    # Open Result: an open folder
    ["................",
     "................",
     "..kkkk..........",
     ".kyyyyk.........",
     ".kyyyyykkkkkk...",
     ".kyyyyyyyyyyk...",
     ".kyyykkkkkkkkkk.",
     ".kyykYYYYYYYYYk.",
     ".kykYYYYYYYYYk..",
     ".kykYYYYYYYYYk..",
     ".kkYYYYYYYYYk...",
     ".kkYYYYYYYYYk...",
     ".kkkkkkkkkkk....",
     "................",
     "................"],
    # Save Result: a floppy disk
    ["................",
     ".kkkkkkkkkkkkk..",
     ".kBkwwwwwwwkBk..",
     ".kBkwwwwwwwkBk..",
     ".kBkwwwwwwwkBk..",
     ".kBkwwwwwwwkBk..",
     ".kBBkkkkkkkBBk..",
     ".kBBBBBBBBBBBk..",
     ".kBBkkkkkkkBBk..",
     ".kBBkggkwwkBBk..",
     ".kBBkggkwwkBBk..",
     ".kBBkggkwwkBBk..",
     "..kkkkkkkkkkkk..",
     "................",
     "................"],
    # Export Result: a page with a globe
    ["................",
     ".kkkkkkk........",
     ".kwwwwwkk.......",
     ".kwkkkwkwk......",
     ".kwwwwwkkkk.....",
     ".kwkkkk.kkkk....",
     ".kwwww.kcccck...",
     ".kwkk.kccGGcck..",
     ".kwww.kcGGccck..",
     ".kwkk.kccGGGck..",
     ".kwww.kcccGcck..",
     ".kkkkk.kcccck...",
     "........kkkk....",
     "................",
     "................"],
    # Open Configuration: a folder with a check list
    ["................",
     "..kkkk..........",
     ".kyyyyk.........",
     ".kyyyyykkkkkk...",
     ".kyyyyyyyyyyk...",
     ".kyyyykkkkkkkkk.",
     ".kyyykwwwwwwwwk.",
     ".kyyykwGwkkkkwk.",
     ".kyyykwwwwwwwwk.",
     ".kyyykwGwkkkkwk.",
     ".kyyykwwwwwwwwk.",
     ".kyyykwGwkkkkwk.",
     ".kkkkkwwwwwwwwk.",
     ".....kkkkkkkkkk.",
     "................"],
    # Save Configuration: a floppy with a check list
    ["................",
     ".kkkkkkkkkkk....",
     ".kBkwwwwwkBk....",
     ".kBkwwwwwkBk....",
     ".kBkwwwwwkBk....",
     ".kBBkkkkkBBk....",
     ".kBBBBkkkkkkkkk.",
     ".kBBBBkwwwwwwwk.",
     ".kBBkkkwGwkkkwk.",
     ".kBBkggkwwwwwwk.",
     ".kBBkggkwGwkkkk.",
     "..kkkkkkwwwwwwk.",
     "......kwGwkkkwk.",
     "......kkkkkkkkk.",
     "................"],
    # Copy: two pages
    ["................",
     ".kkkkkk.........",
     ".kwwwwkk........",
     ".kwkkwkwk.......",
     ".kwwwwkkkk......",
     ".kwkkkwkkkkkk...",
     ".kwwwwwkwwwwkk..",
     ".kwkkkwkwkkwkwk.",
     ".kwwwwwkwwwwkkkk",
     ".kkkkkkkwkkkkwwk",
     ".......kwwwwwwwk",
     ".......kwkkkkkwk",
     ".......kwwwwwwwk",
     ".......kkkkkkkkk",
     "................"],
    # Find: a magnifier
    ["................",
     "....kkkk........",
     "...kccwwk.......",
     "..kcwwwccck.....",
     "..kwwccccck.....",
     "..kwcccccck.....",
     "..kccccccck.....",
     "...kccccck......",
     "....kkkkkk......",
     "........kgk.....",
     ".........kgk....",
     "..........kgk...",
     "...........kgk..",
     "............kk..",
     "................"],
    # Top Level: an arrow up to a bar
    ["................",
     "..kkkkkkkkkkkk..",
     "..kbbbbbbbbbbk..",
     "..kkkkkkkkkkkk..",
     ".......kk.......",
     "......kllk......",
     ".....kllllk.....",
     "....kllllllk....",
     "...kkkllllkkk...",
     ".....kllllk.....",
     ".....kllllk.....",
     ".....kllllk.....",
     ".....kllllk.....",
     ".....kkkkkk.....",
     "................"],
    # Back: an arrow to the left
    ["................",
     "................",
     "................",
     "......k.........",
     ".....kk.........",
     "....klkkkkkkkk..",
     "...klllllllllk..",
     "..kllllllllllk..",
     "...klllllllllk..",
     "....klkkkkkkkk..",
     ".....kk.........",
     "......k.........",
     "................",
     "................",
     "................"],
    # Forward: an arrow to the right
    ["................",
     "................",
     "................",
     ".........k......",
     ".........kk.....",
     "..kkkkkkkklk....",
     "..klllllllllk...",
     "..kllllllllllk..",
     "..klllllllllk...",
     "..kkkkkkkklk....",
     ".........kk.....",
     ".........k......",
     "................",
     "................",
     "................"],
    # About: a question mark in a bubble
    ["................",
     "....kkkkkkk.....",
     "...kwwwwwwwk....",
     "..kwwwbbbwwwk...",
     "..kwwbwwwbwwk...",
     "..kwwwwwwbwwk...",
     "..kwwwwwbwwwk...",
     "..kwwwwbwwwwk...",
     "..kwwwwbwwwwk...",
     "..kwwwwwwwwwk...",
     "...kwwwbwwwk....",
     "....kkwwwkk.....",
     "......kwk.......",
     ".......k........",
     "................"],
]


def bmp8(width, height, colours, index):
    """A bottom-up 8-bit BMP with a colour table; index(x, y) gives the entry, y from the top.
    The tool bar maps table entries (light grey to the button face), which it cannot do for a
    bitmap without a table: its disabled images would come out as grey squares."""
    stride = (width + 3) & ~3
    data = b''.join(bytes(index(x, y) for x in range(width)) + b'\0' * (stride - width)
                    for y in range(height - 1, -1, -1))
    table = b''.join(bytes((b, g, r, 0)) for (r, g, b) in colours)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(data), 2835, 2835,
                       len(colours), 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return header + info + table + data


def toolbar(width=16, height=15):
    """The buttons' images at width x height each: the 16 x 15 drawings with every pixel taken
    whole (nearest neighbour), so the larger images for high-DPI screens stay sharp-edged."""
    for image in BUTTONS:
        assert len(image) == 15 and all(len(row) == 16 for row in image), image
    keys = list(PALETTE)
    def index(x, y):
        button, bx = divmod(x, width)
        return keys.index(BUTTONS[button][y * 15 // height][bx * 16 // width])
    return bmp8(width * len(BUTTONS), height, [PALETTE[k] for k in keys], index)


# ---- icons: drawn with anti-aliased shapes into RGBA, stored as 32-bit ICO images

class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def blend(self, x, y, colour, coverage):
        if not (0 <= x < self.size and 0 <= y < self.size) or coverage <= 0:
            return
        r, g, b = colour
        a = min(1.0, coverage)
        pr, pg, pb, pa = self.px[y][x]
        pa_f = pa / 255.0
        out_a = a + pa_f * (1 - a)
        if out_a <= 0:
            return
        mix = lambda c, pc: (c * a + pc * pa_f * (1 - a)) / out_a
        self.px[y][x] = (int(mix(r, pr)), int(mix(g, pg)), int(mix(b, pb)), int(out_a * 255))

    def shape(self, inside, colour, samples=4):
        """Fills where inside(x, y) holds, with supersampled edges (coordinates in pixels)."""
        for y in range(self.size):
            for x in range(self.size):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                            hits += 1
                self.blend(x, y, colour, hits / (samples * samples))


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def draw_network(c, s):
    """Three small screens joined by a cable, in the lower part of the icon."""
    u = s / 32.0
    cable = (40, 40, 40)
    c.shape(lambda x, y: seg_dist(x, y, 5 * u, 27.5 * u, 27 * u, 27.5 * u) < 1.0 * u, cable)
    for cx in (6, 16, 26):
        c.shape(lambda x, y, cx=cx: seg_dist(x, y, cx * u, 24 * u, cx * u, 27.5 * u) < 0.9 * u, cable)
        c.shape(lambda x, y, cx=cx: abs(x - cx * u) < 4.6 * u and 16.5 * u < y < 24.5 * u, (30, 30, 30))
        c.shape(lambda x, y, cx=cx: abs(x - cx * u) < 3.4 * u and 17.7 * u < y < 23.2 * u, (80, 170, 240))


def draw_magnifier(c, s, cx, cy, radius, ring, handle_to):
    u = s / 32.0
    hx, hy = handle_to
    c.shape(lambda x, y: seg_dist(x, y, (cx + radius * 0.7) * u, (cy + radius * 0.7) * u,
                                  hx * u, hy * u) < 2.0 * u, (90, 50, 10))
    c.shape(lambda x, y: math.hypot(x - cx * u, y - cy * u) < radius * u, (30, 30, 30))
    c.shape(lambda x, y: math.hypot(x - cx * u, y - cy * u) < (radius - ring) * u, (200, 235, 255))
    c.shape(lambda x, y: math.hypot(x - (cx - radius * 0.35) * u, y - (cy - radius * 0.35) * u)
            < radius * 0.28 * u, (255, 255, 255))


def app_icon(size):
    c = Canvas(size)
    draw_network(c, size)
    draw_magnifier(c, size, 13, 10, 8.5, 2.2, (23, 20))
    return c


def busy_icon(size):
    c = Canvas(size)
    draw_magnifier(c, size, 12, 12, 9, 2.4, (27, 27))
    return c


def ico(canvases):
    entries, images = [], []
    offset = 6 + 16 * len(canvases)
    for c in canvases:
        s = c.size
        xor = b''.join(bytes((b, g, r, a)) for row in reversed(c.px) for (r, g, b, a) in row)
        mask_stride = ((s + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(c.px):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack('<IiiHHIIiiII', 40, s, 2 * s, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        data = info + xor + bytes(mask)
        entries.append(struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset))
        images.append(data)
        offset += len(data)
    return struct.pack('<HHH', 0, 1, len(canvases)) + b''.join(entries) + b''.join(images)


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    # 16 x 15 at 96 DPI; 24 x 23 at 144 and 32 x 30 at 192 (the tool bar picks the nearest).
    write('toolbar.bmp', toolbar())
    write('toolbar24.bmp', toolbar(24, 23))
    write('toolbar32.bmp', toolbar(32, 30))
    # The icons at 100 % first (32 and 16), then the sizes of 150 % and 200 % screens.
    write('corvask.ico', ico([app_icon(32), app_icon(16), app_icon(48), app_icon(24), app_icon(64)]))
    write('busy.ico', ico([busy_icon(32), busy_icon(16), busy_icon(48), busy_icon(24), busy_icon(64)]))
