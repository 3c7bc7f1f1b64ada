#!/usr/bin/env python3
"""Packs a form description for the program.

The source is UTF-8 text; the packed form is the same text in GBK, with every
picture reference replaced by the picture's stored bytes written in hex:
    Glyph.Data = bitmap("zoomin.bmp")
        a bitmap's stored data: 4-byte little-endian length, then the BMP file
    Picture.Data = picture(TJPEGImage, "banner.jpg")
        a picture container's stored data: one length byte and the class name,
        then the picture's own stored data (4-byte length, then the file)
Files are looked up in the folder given on the command line.
"""
import os
import re
import struct
import sys

BITMAP = re.compile(r'^(\s*[A-Za-z_][\w.]*\s*=\s*)bitmap\("([^"]+)"\)\s*$')
PICTURE = re.compile(r'^(\s*[A-Za-z_][\w.]*\s*=\s*)picture\(([A-Za-z_]\w*),\s*"([^"]+)"\)\s*$')
HEX_PER_LINE = 64


def stored(data):
    return struct.pack("<i", len(data)) + data


def hex_block(prefix, data):
    indent = " " * (len(prefix) - len(prefix.lstrip()) + 4)
    text = data.hex().upper()
    lines = [indent + text[i:i + HEX_PER_LINE] for i in range(0, len(text), HEX_PER_LINE)]
    return prefix + "{\n" + "\n".join(lines) + "\n" + indent[:-4] + "}"


def read(folder, name, source, number):
    path = os.path.join(folder, name)
    if not os.path.isfile(path):
        sys.exit(f"{source}:{number}: no file {path}")
    with open(path, "rb") as f:
        return f.read()


def main():
    source, folder, output = sys.argv[1:4]
    out = []
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            m = BITMAP.match(line)
            if m:
                out.append(hex_block(m.group(1), stored(read(folder, m.group(2), source, number))))
                continue
            m = PICTURE.match(line)
            if m:
                name = m.group(2).encode("ascii")[:63]
                data = bytes([len(name)]) + name + stored(read(folder, m.group(3), source, number))
                out.append(hex_block(m.group(1), data))
                continue
            out.append(line)
    text = "\n".join(out) + "\n"
    try:
        packed = text.encode("gbk")
    except UnicodeEncodeError as e:
        sys.exit(f"{source}: text not representable in GBK: {e}")
    with open(output, "wb") as f:
        f.write(packed)


if __name__ == "__main__":
    main()
