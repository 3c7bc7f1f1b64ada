#!/usr/bin/env python3
"""Turns Tulvar's pixel-art text files into BMP and ICO resources.

An art file looks like this:

    # Lines starting with '#' are comments; blank lines are ignored.
    size 16 11              # width height
    depth 4                 # 4 (standard 16-colour palette) or 24
    colour . blue           # legend: one character, then a colour
    colour k 0 0 0          #   as R G B (0-255) ...
    colour s silver         #   ... or a standard colour name
    transparent ~           # ICO only: the pixel shows what is behind
    pixels
    ................
    ..kkkkkk........
    ...

After 'pixels' come exactly <height> rows of <width> legend characters, top
row first.  In header lines a '#' starts a comment; pixel rows carry none,
so '#' and whitespace can't be legend characters.  At 4 bits every colour
must be one of the standard sixteen.

    pixelart.py bmp in.txt out.bmp
    pixelart.py ico in.txt out.ico
    pixelart.py png in.txt out.png [scale]   (enlarged preview for checking)
"""

import struct
import sys
import zlib

# Index order matters: it is the palette every 4-bpp file carries.
STANDARD_PALETTE = [
    ("black", (0, 0, 0)),
    ("maroon", (128, 0, 0)),
    ("green", (0, 128, 0)),
    ("olive", (128, 128, 0)),
    ("navy", (0, 0, 128)),
    ("purple", (128, 0, 128)),
    ("teal", (0, 128, 128)),
    ("silver", (192, 192, 192)),
    ("grey", (128, 128, 128)),
    ("red", (255, 0, 0)),
    ("lime", (0, 255, 0)),
    ("yellow", (255, 255, 0)),
    ("blue", (0, 0, 255)),
    ("fuchsia", (255, 0, 255)),
    ("aqua", (0, 255, 255)),
    ("white", (255, 255, 255)),
]
COLOUR_NAMES = dict(STANDARD_PALETTE)
COLOUR_NAMES["gray"] = COLOUR_NAMES["grey"]
PALETTE_INDEX = {rgb: i for i, (_, rgb) in enumerate(STANDARD_PALETTE)}

TRANSPARENT = None  # pixel value for the 'transparent' legend entry


class PixelArtError(Exception):
    """A problem in an art file, already prefixed with 'file:line: '."""


class Image:
    def __init__(self, width, height, depth, rows):
        self.width = width
        self.height = height
        self.depth = depth
        self.rows = rows  # top row first; each pixel is (r, g, b) or TRANSPARENT

    @property
    def has_transparency(self):
        return any(p is TRANSPARENT for row in self.rows for p in row)


def _strip_comment(line):
    return line.split("#", 1)[0]


def _parse_int(text, what, fail):
    try:
        return int(text, 10)
    except ValueError:
        fail("%s must be a whole number, not %r" % (what, text))


def _parse_colour(words, fail):
    if len(words) == 1:
        rgb = COLOUR_NAMES.get(words[0].lower())
        if rgb is None:
            fail("unknown colour name %r (use R G B or one of: %s)"
                 % (words[0], ", ".join(n for n, _ in STANDARD_PALETTE)))
        return rgb
    if len(words) == 3:
        rgb = tuple(_parse_int(w, "a colour component", fail) for w in words)
        if any(not 0 <= c <= 255 for c in rgb):
            fail("colour components must be 0-255, got %s" % " ".join(words))
        return rgb
    fail("a colour is a standard name or three numbers R G B, got %r" % " ".join(words))


def parse(text, filename="<art>"):
    """Reads an art file's text into an Image; raises PixelArtError."""
    lineno = 0

    def fail(message):
        raise PixelArtError("%s:%d: %s" % (filename, lineno, message))

    width = height = depth = None
    legend = {}
    legend_line = {}
    rows = []
    in_pixels = False

    for lineno, raw in enumerate(text.splitlines(), 1):
        if in_pixels:
            line = raw.rstrip()
            if not line or line.lstrip().startswith("#"):
                continue
            if len(rows) == height:
                fail("more than %d pixel rows (the size says %d high)" % (height, height))
            if len(line) != width:
                fail("pixel row %d is %d characters wide, the size says %d"
                     % (len(rows) + 1, len(line), width))
            row = []
            for col, ch in enumerate(line):
                if ch not in legend:
                    fail("column %d: %r is not in the legend" % (col + 1, ch))
                row.append(legend[ch])
            rows.append(row)
            continue

        words = _strip_comment(raw).split()
        if not words:
            continue
        keyword, args = words[0].lower(), words[1:]
        if keyword == "size":
            if width is not None:
                fail("size given twice")
            if len(args) != 2:
                fail("size needs a width and a height, e.g. 'size 16 16'")
            width = _parse_int(args[0], "the width", fail)
            height = _parse_int(args[1], "the height", fail)
            if not (1 <= width <= 256 and 1 <= height <= 256):
                fail("size must be 1-256 each way, got %dx%d" % (width, height))
        elif keyword == "depth":
            if depth is not None:
                fail("depth given twice")
            if len(args) != 1 or args[0] not in ("4", "24"):
                fail("depth must be 4 or 24")
            depth = int(args[0])
        elif keyword in ("colour", "color", "transparent"):
            if not args:
                fail("%s needs a legend character ('#' can't be one)" % keyword)
            ch = args[0]
            if len(ch) != 1:
                fail("a legend key is a single character, got %r" % ch)
            if ch in legend:
                fail("legend character %r already defined on line %d" % (ch, legend_line[ch]))
            if keyword == "transparent":
                if len(args) != 1:
                    fail("'transparent' takes only the legend character")
                legend[ch] = TRANSPARENT
            else:
                if depth is None:
                    fail("give the depth before the colours")
                rgb = _parse_colour(args[1:], fail)
                if depth == 4 and rgb not in PALETTE_INDEX:
                    fail("colour %d %d %d of %r is not in the 16-colour palette" % (rgb + (ch,)))
                legend[ch] = rgb
            legend_line[ch] = lineno
        elif keyword == "pixels":
            if args:
                fail("'pixels' stands alone on its line")
            for what, value in (("size", width), ("depth", depth)):
                if value is None:
                    fail("the %s must come before 'pixels'" % what)
            if not legend:
                fail("no legend before 'pixels'")
            in_pixels = True
        else:
            fail("unknown keyword %r (expected size, depth, colour, transparent or pixels)" % words[0])

    if not in_pixels:
        fail("no 'pixels' section")
    if len(rows) != height:
        fail("found %d pixel rows, the size says %d" % (len(rows), height))
    return Image(width, height, depth, rows)


def load(path):
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except UnicodeDecodeError as e:
        raise PixelArtError("%s: not UTF-8 text (%s)" % (path, e))
    return parse(text, path)


def _row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def _colour_part(image):
    """The palette (4 bpp only) and the colour rows, bottom-up and padded."""
    bits = image.depth
    stride = _row_stride(image.width, bits)
    data = bytearray()
    for row in reversed(image.rows):
        line = bytearray()
        if bits == 24:
            for p in row:
                r, g, b = (0, 0, 0) if p is TRANSPARENT else p
                line += bytes((b, g, r))
        else:
            indices = [0 if p is TRANSPARENT else PALETTE_INDEX[p] for p in row]
            if len(indices) % 2:
                indices.append(0)
            for hi, lo in zip(indices[0::2], indices[1::2]):
                line.append(hi << 4 | lo)
        line += bytes(stride - len(line))
        data += line
    palette = b""
    if bits == 4:
        palette = b"".join(bytes((b, g, r, 0)) for _, (r, g, b) in STANDARD_PALETTE)
    return palette, bytes(data)


def to_bmp(image):
    if image.has_transparency:
        raise PixelArtError("a BMP has no transparency; drop the 'transparent' pixels")
    palette, data = _colour_part(image)
    bits = image.depth
    header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height, 1, bits, 0,
                         len(data), 0, 0, 16 if bits == 4 else 0, 0)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return file_header + header + palette + data


def to_ico(image):
    """A single-image icon: XOR colour rows, then the AND mask (1 = transparent)."""
    bits = image.depth
    palette, xor = _colour_part(image)
    stride = _row_stride(image.width, 1)
    mask = bytearray()
    for row in reversed(image.rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p is TRANSPARENT:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack("<IiiHHIIiiII", 40, image.width, image.height * 2, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    body = header + palette + xor + bytes(mask)
    colours = 16 if bits == 4 else 0
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", image.width % 256, image.height % 256, colours, 0,
                        1, bits, len(body), 6 + 16)
    return icondir + entry + body


def _png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def to_png(image, scale=8):
    """Enlarged preview; transparent pixels become a checkerboard."""
    raw = bytearray()
    for y in range(image.height * scale):
        raw.append(0)
        for x in range(image.width * scale):
            p = image.rows[y // scale][x // scale]
            if p is TRANSPARENT:
                p = (204, 204, 204) if ((x // 4) + (y // 4)) % 2 else (255, 255, 255)
            raw += bytes(p)
    ihdr = struct.pack(">IIBBBBB", image.width * scale, image.height * scale, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", ihdr)
            + _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _png_chunk(b"IEND", b""))


def main(argv):
    usage = "usage: pixelart.py {bmp|ico|png} IN.txt OUT [scale]"
    if len(argv) < 3 or argv[0] not in ("bmp", "ico", "png") or (len(argv) > 3 and argv[0] != "png"):
        print(usage, file=sys.stderr)
        return 2
    command, source, target = argv[:3]
    try:
        image = load(source)
        if command == "bmp":
            data = to_bmp(image)
        elif command == "ico":
            data = to_ico(image)
        else:
            data = to_png(image, int(argv[3]) if len(argv) > 3 else 8)
        with open(target, "wb") as f:
            f.write(data)
    except (PixelArtError, OSError, ValueError) as e:
        print("pixelart: %s" % e, file=sys.stderr)
        return 1
    return 0

if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
