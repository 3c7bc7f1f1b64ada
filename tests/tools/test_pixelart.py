#!/usr/bin/env python3
"""Checks the art generators and the art itself.

    python3 tests/tools/test_pixelart.py [REPO_ROOT] [unittest options]
    python3 -m unittest discover -s tests/tools

The files are decoded here with a reader of our own rather than pixelart's
code, so a mistake in the writer can't hide behind the same mistake in a
reader.
"""

import importlib
import os
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
pixelart = None

STANDARD = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
FACE = (191, 191, 191)
BLUE = (0, 0, 255)
OLIVE = (128, 128, 0)

# name: (width, height, bits, bottom-left colour)
ART = {
    "zoomin": (16, 16, 24, FACE),
    "zoomout": (16, 16, 24, FACE),
    "copy": (16, 16, 24, FACE),
    "save": (16, 16, 24, FACE),
    "floppy": (16, 11, 4, BLUE),
    "hard": (16, 11, 4, BLUE),
    "network": (16, 11, 4, BLUE),
    "cdrom": (16, 11, 4, BLUE),
    "ram": (16, 11, 4, BLUE),
    "closedfolder": (16, 15, 4, BLUE),
    "openfolder": (16, 15, 4, BLUE),
    "currentfolder": (16, 15, 4, BLUE),
    "executable": (16, 15, 4, BLUE),
    "unknownfile": (16, 15, 4, BLUE),
    "previewglyph": (16, 16, 4, OLIVE),
}


def setUpModule():
    global pixelart
    sys.dont_write_bytecode = True
    tools = os.path.join(ROOT, "tools")
    if tools not in sys.path:
        sys.path.insert(0, tools)
    pixelart = importlib.import_module("pixelart")


def art_path(name):
    return os.path.join(ROOT, "resources", "art", name + ".txt")


class Dib:
    """Decodes a BITMAPINFOHEADER-based image from raw bytes."""

    def __init__(self, data, offset, bits_offset=None, mask=False):
        (self.size, self.width, self.height, self.planes, self.bits, self.compression,
         self.size_image, _, _, self.clr_used, _) = struct.unpack_from("<IiiHHIIiiII", data, offset)
        self.palette = []
        pos = offset + self.size
        if self.bits <= 8:
            count = self.clr_used or (1 << self.bits)
            for i in range(count):
                b, g, r, _ = data[pos + 4 * i: pos + 4 * i + 4]
                self.palette.append((r, g, b))
            pos += 4 * count
        self.bits_offset = pos if bits_offset is None else bits_offset
        self.rows_high = self.height // 2 if mask else self.height
        self.stride = (self.width * self.bits + 31) // 32 * 4
        self.data = data
        self.mask_offset = self.bits_offset + self.stride * self.rows_high
        self.mask_stride = (self.width + 31) // 32 * 4

    def raw_row(self, y):
        """Row y counted from the top, as stored (bottom-up)."""
        start = self.bits_offset + (self.rows_high - 1 - y) * self.stride
        return self.data[start:start + self.stride]

    def index(self, x, y):
        row = self.raw_row(y)
        byte = row[x // 2]
        return byte >> 4 if x % 2 == 0 else byte & 15

    def colour(self, x, y):
        if self.bits == 4:
            return self.palette[self.index(x, y)]
        b, g, r = self.raw_row(y)[3 * x: 3 * x + 3]
        return (r, g, b)

    def mask_bit(self, x, y):
        start = self.mask_offset + (self.rows_high - 1 - y) * self.mask_stride
        return (self.data[start + x // 8] >> (7 - x % 8)) & 1


def read_bmp(data):
    magic, file_size, _, _, bits_offset = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM", magic
    assert file_size == len(data), (file_size, len(data))
    return Dib(data, 14, bits_offset)


def art_text(width, height, depth, legend, rows):
    return "size %d %d\ndepth %d\n%s\npixels\n%s\n" % (
        width, height, depth, "\n".join(legend), "\n".join(rows))


class BmpFourBits(unittest.TestCase):
    # Five pixels of four bits need three bytes, so every row carries one padding byte.
    TEXT = art_text(5, 3, 4, ["colour . blue", "colour k black", "colour r red", "colour w white"],
                    ["kkkkr",
                     "k...w",
                     "w.rkk"])

    def setUp(self):
        self.data = pixelart.to_bmp(pixelart.parse(self.TEXT, "five.txt"))
        self.dib = read_bmp(self.data)

    def test_headers(self):
        d = self.dib
        self.assertEqual((d.size, d.width, d.height, d.planes, d.bits, d.compression),
                         (40, 5, 3, 1, 4, 0))
        self.assertEqual(d.clr_used, 16)
        self.assertEqual(d.bits_offset, 14 + 40 + 16 * 4)
        self.assertEqual(d.size_image, 3 * 4)
        self.assertEqual(len(self.data), 14 + 40 + 64 + 3 * 4)

    def test_standard_palette(self):
        self.assertEqual(self.dib.palette, STANDARD)
        reserved = self.data[14 + 40 + 3:14 + 40 + 64:4]
        self.assertEqual(set(reserved), {0})

    def test_rows_are_padded_and_bottom_up(self):
        self.assertEqual(self.dib.stride, 4)
        first_stored = self.data[self.dib.bits_offset:self.dib.bits_offset + 4]
        # The bottom art row "w.rkk" comes first: white(15) blue(12), red(9) black(0), black(0) pad.
        self.assertEqual(first_stored, bytes([0xFC, 0x90, 0x00, 0x00]))
        for y in range(3):
            self.assertEqual(self.dib.raw_row(y)[3], 0)

    def test_pixel_indices(self):
        self.assertEqual(self.dib.index(0, 2), 15)   # bottom-left
        self.assertEqual(self.dib.index(4, 0), 9)    # top-right
        self.assertEqual(self.dib.index(1, 1), 12)
        self.assertEqual(self.dib.colour(4, 1), (255, 255, 255))


class BmpTwentyFourBits(unittest.TestCase):
    TEXT = art_text(3, 2, 24, ["colour a 10 20 30", "colour b 191 191 191", "colour c 255 0 128"],
                    ["abc",
                     "cba"])

    def setUp(self):
        self.data = pixelart.to_bmp(pixelart.parse(self.TEXT, "tiny.txt"))
        self.dib = read_bmp(self.data)

    def test_headers(self):
        d = self.dib
        self.assertEqual((d.width, d.height, d.bits, d.compression, d.clr_used), (3, 2, 24, 0, 0))
        self.assertEqual(d.bits_offset, 54)
        self.assertEqual(len(self.data), 54 + 2 * 12)   # 9 bytes a row, padded to 12

    def test_bottom_left_and_order(self):
        self.assertEqual(self.data[54:57], bytes([128, 0, 255]))   # BGR of 'c'
        self.assertEqual(self.dib.colour(0, 1), (255, 0, 128))
        self.assertEqual(self.dib.colour(0, 0), (10, 20, 30))
        self.assertEqual(self.dib.colour(1, 0), (191, 191, 191))
        self.assertEqual(self.data[54 + 9:54 + 12], b"\0\0\0")


class Icon(unittest.TestCase):
    TEXT = art_text(10, 3, 4, ["transparent ~", "colour k black", "colour y yellow"],
                    ["~kkkkkkkk~",
                     "kyyyyyyyyk",
                     "~~kkkkkk~~"])

    def setUp(self):
        self.data = pixelart.to_ico(pixelart.parse(self.TEXT, "icon.txt"))

    def test_directory(self):
        self.assertEqual(struct.unpack_from("<HHH", self.data, 0), (0, 1, 1))
        width, height, colours, reserved, planes, bits, size, offset = \
            struct.unpack_from("<BBBBHHII", self.data, 6)
        self.assertEqual((width, height, colours, reserved, planes, bits), (10, 3, 16, 0, 1, 4))
        self.assertEqual(offset, 22)
        self.assertEqual(size, len(self.data) - 22)

    def test_image_and_mask(self):
        dib = Dib(self.data, 22, mask=True)
        self.assertEqual((dib.size, dib.width, dib.height, dib.bits, dib.compression),
                         (40, 10, 6, 4, 0))
        self.assertEqual(dib.palette, STANDARD)
        self.assertEqual(dib.mask_stride, 4)
        self.assertEqual(len(self.data), 22 + 40 + 64 + 3 * 8 + 3 * 4)
        self.assertEqual(dib.index(1, 1), 11)
        self.assertEqual(dib.index(0, 0), 0)   # transparent pixels carry black in the colour part
        rows = ["~kkkkkkkk~", "kyyyyyyyyk", "~~kkkkkk~~"]
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                self.assertEqual(dib.mask_bit(x, y), 1 if ch == "~" else 0, (x, y))
        # Bottom row first: bits for "~~kkkkkk~~" are 1100000011, then padding.
        self.assertEqual(self.data[dib.mask_offset:dib.mask_offset + 4], bytes([0xC0, 0xC0, 0, 0]))

    def test_bmp_refuses_transparency(self):
        with self.assertRaises(pixelart.PixelArtError):
            pixelart.to_bmp(pixelart.parse(self.TEXT, "icon.txt"))


class BadInput(unittest.TestCase):
    GOOD = ["size 4 2", "depth 4", "colour . blue", "colour k black", "pixels", "kk..", "..kk"]

    def fails(self, lines, *fragments):
        with self.assertRaises(pixelart.PixelArtError) as caught:
            pixelart.parse("\n".join(lines) + "\n", "bad.txt")
        message = str(caught.exception)
        for fragment in fragments:
            self.assertIn(fragment, message)
        return message

    def test_good_parses(self):
        image = pixelart.parse("\n".join(self.GOOD) + "\n", "good.txt")
        self.assertEqual((image.width, image.height, image.depth), (4, 2, 4))

    def test_row_too_short(self):
        self.fails(self.GOOD[:5] + ["kk.", "..kk"], "bad.txt:6:", "3 characters wide", "says 4")

    def test_row_too_long(self):
        self.fails(self.GOOD[:6] + ["..kkk"], "bad.txt:7:", "5 characters wide")

    def test_unknown_character(self):
        self.fails(self.GOOD[:6] + ["..kx"], "bad.txt:7:", "'x'", "legend")

    def test_too_few_rows(self):
        self.fails(self.GOOD[:6], "found 1 pixel rows", "says 2")

    def test_too_many_rows(self):
        self.fails(self.GOOD + ["...."], "bad.txt:8:", "more than 2")

    def test_colour_outside_palette(self):
        self.fails(self.GOOD[:3] + ["colour k 1 2 3"] + self.GOOD[4:], "bad.txt:4:", "16-colour palette")

    def test_duplicate_legend(self):
        self.fails(self.GOOD[:4] + ["colour k white"] + self.GOOD[4:], "bad.txt:5:", "already defined")

    def test_command_line_reports_and_fails(self):
        with tempfile.TemporaryDirectory() as tmp:
            source = os.path.join(tmp, "broken.txt")
            target = os.path.join(tmp, "broken.bmp")
            with open(source, "w") as f:
                f.write("\n".join(self.GOOD[:5] + ["kk.", "..kk"]) + "\n")
            run = subprocess.run([sys.executable, os.path.join(ROOT, "tools", "pixelart.py"),
                                  "bmp", source, target], capture_output=True, text=True)
            self.assertNotEqual(run.returncode, 0)
            self.assertIn("broken.txt:6:", run.stderr)
            self.assertFalse(os.path.exists(target))


class RealArt(unittest.TestCase):
    def test_glyph_sizes_and_bottom_left(self):
        for name, (width, height, bits, corner) in ART.items():
            with self.subTest(name=name):
                dib = read_bmp(pixelart.to_bmp(pixelart.load(art_path(name))))
                self.assertEqual((dib.width, dib.height, dib.bits), (width, height, bits))
                self.assertEqual(dib.colour(0, height - 1), corner)
                if bits == 4:
                    self.assertEqual(dib.clr_used, 16)

    def test_transparent_colour_stays_in_the_background(self):
        # The key colour marks transparency, so any of it enclosed by the drawing is a hole.
        for name, (width, height, _, corner) in ART.items():
            with self.subTest(name=name):
                image = pixelart.load(art_path(name))
                key = [[p == corner for p in row] for row in image.rows]
                seen = set()
                todo = [(x, y) for y in range(height) for x in range(width)
                        if key[y][x] and (x in (0, width - 1) or y in (0, height - 1))]
                while todo:
                    x, y = todo.pop()
                    if (x, y) in seen or not (0 <= x < width and 0 <= y < height) or not key[y][x]:
                        continue
                    seen.add((x, y))
                    todo += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
                inside = [(x, y) for y in range(height) for x in range(width)
                          if key[y][x] and (x, y) not in seen]
                self.assertEqual(inside, [])

    def test_toolbar_glyphs_have_black_outlines(self):
        # Disabled buttons show only the pure-black pixels.
        for name in ("zoomin", "zoomout", "copy", "save"):
            with self.subTest(name=name):
                image = pixelart.load(art_path(name))
                black = sum(p == (0, 0, 0) for row in image.rows for p in row)
                self.assertGreater(black, 30)

    def test_program_icon(self):
        data = pixelart.to_ico(pixelart.load(art_path("program")))
        self.assertEqual(struct.unpack_from("<HHH", data, 0), (0, 1, 1))
        self.assertEqual(struct.unpack_from("<BBBBHHII", data, 6),
                         (32, 32, 16, 0, 1, 4, 40 + 64 + 32 * 16 + 32 * 4, 22))
        dib = Dib(data, 22, mask=True)
        self.assertEqual((dib.width, dib.height, dib.bits), (32, 64, 4))
        bits = [dib.mask_bit(x, y) for y in range(32) for x in range(32)]
        self.assertIn(0, bits)
        self.assertIn(1, bits)


class Banner(unittest.TestCase):
    def test_size_and_determinism(self):
        with tempfile.TemporaryDirectory() as tmp:
            outputs = []
            for n in range(2):
                path = os.path.join(tmp, "banner%d.ppm" % n)
                subprocess.run([sys.executable, os.path.join(ROOT, "tools", "banner.py"), path,
                                os.path.join(ROOT, "resources", "art")], check=True)
                with open(path, "rb") as f:
                    outputs.append(f.read())
        head = b"P6\n468 60\n255\n"
        self.assertTrue(outputs[0].startswith(head))
        self.assertEqual(len(outputs[0]), len(head) + 468 * 60 * 3)
        self.assertEqual(outputs[0], outputs[1])


if __name__ == "__main__":
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        ROOT = os.path.abspath(sys.argv.pop(1))
    unittest.main()
