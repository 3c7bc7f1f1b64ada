#!/usr/bin/env python3
"""Draws Tulvar's 468 x 60 banner as a binary PPM (P6).

    banner.py OUT.ppm [ART_DIR]

ART_DIR (default: resources/art next to this tools folder) supplies the
list glyphs shown along the right-hand side.  The build turns the PPM into
a baseline JPEG with cjpeg.  Only integer arithmetic, so every run and
every machine gives the same bytes.
"""

import os
import sys

# Runs during the build: keep the source tree free of __pycache__.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pixelart  # noqa: E402

WIDTH, HEIGHT = 468, 60

# Bold display face for the name: 9 rows, baseline at the bottom.
BIG_FONT = {
    "T": [
        "########",
        "########",
        "...##...",
        "...##...",
        "...##...",
        "...##...",
        "...##...",
        "...##...",
        "...##...",
    ],
    "u": [
        "......",
        "......",
        "......",
        "##..##",
        "##..##",
        "##..##",
        "##..##",
        "##.###",
        ".##.##",
    ],
    "l": [
        "##.",
        "##.",
        "##.",
        "##.",
        "##.",
        "##.",
        "##.",
        "##.",
        ".##",
    ],
    "v": [
        ".......",
        ".......",
        ".......",
        "##...##",
        "##...##",
        ".##.##.",
        ".##.##.",
        "..###..",
        "...#...",
    ],
    "a": [
        "......",
        "......",
        "......",
        ".####.",
        "....##",
        ".#####",
        "##..##",
        "##..##",
        ".#####",
    ],
    "r": [
        ".....",
        ".....",
        ".....",
        "##.##",
        "#####",
        "##...",
        "##...",
        "##...",
        "##...",
    ],
}

# Small capitals for the tag line: 5 x 7.
SMALL_FONT = {
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
}

# Glyphs shown in the strip on the right, drawn at twice their size.
STRIP = ["closedfolder", "executable", "unknownfile", "cdrom", "hard"]

TOP = (16, 38, 92)          # background, upper left
BOTTOM = (36, 104, 148)     # background, lower right


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0, 0, 0)] * width for _ in range(height)]

    def put(self, x, y, rgb):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = rgb

    def blend(self, x, y, rgb, alpha):
        """alpha in 0..256"""
        if 0 <= x < self.width and 0 <= y < self.height:
            old = self.pixels[y][x]
            self.pixels[y][x] = tuple((o * (256 - alpha) + n * alpha) >> 8 for o, n in zip(old, rgb))

    def ppm(self):
        head = b"P6\n%d %d\n255\n" % (self.width, self.height)
        return head + b"".join(bytes(c for p in row for c in p) for row in self.pixels)


def mix(a, b, num, den):
    return tuple(x + (y - x) * num // den for x, y in zip(a, b))


def background(canvas):
    w, h = canvas.width, canvas.height
    span = (w - 1) * 4 + (h - 1) * 3 * 4   # weights the diagonal towards vertical
    for y in range(h):
        for x in range(w):
            rgb = mix(TOP, BOTTOM, x * 4 + y * 12, span)
            # A soft band of light across the upper third, like a glass strip.
            if y < 22:
                rgb = mix(rgb, (255, 255, 255), 22 - y, 22 * 9)
            canvas.put(x, y, rgb)
    for x in range(w):
        canvas.put(x, h - 2, mix((190, 150, 40), (250, 220, 110), x, w - 1))
        canvas.put(x, h - 1, (10, 20, 48))
        canvas.put(x, 0, (10, 20, 48))
    for y in range(h):
        canvas.put(0, y, (10, 20, 48))
        canvas.put(w - 1, y, (10, 20, 48))


def text_width(font, text, scale, spacing):
    total = 0
    for i, ch in enumerate(text):
        if ch not in font:
            raise KeyError("no glyph for %r" % ch)
        total += len(font[ch][0]) * scale
        if i:
            total += spacing * scale
    return total


def draw_text(canvas, font, text, x, y, scale, spacing, colour_at):
    """colour_at(row, rows) gives the colour for glyph row 'row' of 'rows'."""
    for ch in text:
        glyph = font[ch]
        rows = len(glyph)
        for gy, line in enumerate(glyph):
            for gx, cell in enumerate(line):
                if cell != "#":
                    continue
                for sy in range(scale):
                    colour = colour_at(gy * scale + sy, rows * scale)
                    for sx in range(scale):
                        canvas.put(x + gx * scale + sx, y + gy * scale + sy, colour)
        x += (len(glyph[0]) + spacing) * scale
    return x


def draw_name(canvas, x, y):
    scale = 4
    shadow = (6, 14, 36)
    draw_text(canvas, BIG_FONT, "Tulvar", x + 3, y + 3, scale, 1, lambda r, n: shadow)

    def gilt(row, rows):
        # White at the top, warming to pale gold at the baseline.
        return mix((255, 255, 255), (255, 206, 84), row, rows - 1)

    draw_text(canvas, BIG_FONT, "Tulvar", x, y, scale, 1, gilt)


def draw_tagline(canvas, x, y):
    draw_text(canvas, SMALL_FONT, "ICON EXTRACTOR", x + 1, y + 1, 1, 2, lambda r, n: (6, 14, 36))
    draw_text(canvas, SMALL_FONT, "ICON EXTRACTOR", x, y, 1, 2, lambda r, n: (170, 225, 245))


def draw_tile(canvas, x0, y0, size):
    """A frosted square with clipped corners for one glyph."""
    for y in range(size):
        for x in range(size):
            edge = min(x, y, size - 1 - x, size - 1 - y)
            corner = min(x, size - 1 - x) + min(y, size - 1 - y)
            if corner < 2:
                continue
            if edge == 0 or corner == 2:
                canvas.blend(x0 + x, y0 + y, (255, 255, 255), 96)
            else:
                canvas.blend(x0 + x, y0 + y, (255, 255, 255), 40 if y < size // 2 else 28)


def draw_glyph(canvas, image, x0, y0, scale):
    key = image.rows[-1][0]   # the bottom-left colour marks transparency
    for y, row in enumerate(image.rows):
        for x, p in enumerate(row):
            if p is pixelart.TRANSPARENT or p == key:
                continue
            for sy in range(scale):
                for sx in range(scale):
                    canvas.put(x0 + x * scale + sx, y0 + y * scale + sy, p)


def draw_strip(canvas, art_dir, right, top):
    size, gap, scale = 40, 6, 2
    x = right - len(STRIP) * size - (len(STRIP) - 1) * gap
    for name in STRIP:
        image = pixelart.load(os.path.join(art_dir, name + ".txt"))
        draw_tile(canvas, x, top, size)
        gx = x + (size - image.width * scale) // 2
        gy = top + (size - image.height * scale) // 2
        draw_glyph(canvas, image, gx, gy, scale)
        x += size + gap


def render(art_dir):
    canvas = Canvas(WIDTH, HEIGHT)
    background(canvas)
    draw_name(canvas, 18, 5)
    draw_tagline(canvas, 19, 47)
    draw_strip(canvas, art_dir, WIDTH - 14, 9)
    return canvas


def main(argv):
    if not 1 <= len(argv) <= 2:
        print("usage: banner.py OUT.ppm [ART_DIR]", file=sys.stderr)
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    art_dir = argv[1] if len(argv) > 1 else os.path.join(here, os.pardir, "resources", "art")
    try:
        data = render(art_dir).ppm()
    except (pixelart.PixelArtError, OSError, KeyError) as e:
        print("banner: %s" % e, file=sys.stderr)
        return 1
    with open(argv[0], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
