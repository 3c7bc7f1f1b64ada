#!/usr/bin/env python3
"""Turns resources/strings.txt into a STRINGTABLE .rc and the matching id header."""
import re
import sys

LINE = re.compile(r'^([A-Za-z_][A-Za-z0-9_]*)\s*=\s*"((?:[^"\\]|\\.)*)"\s*$')
FIRST_ID = 1000


def parse(path):
    entries = []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            m = LINE.match(line)
            if not m:
                sys.exit(f"{path}:{number}: expected NAME = \"text\"")
            name, text = m.group(1), re.sub(r'\\(.)', r'\1', m.group(2))
            if any(name == n for n, _ in entries):
                sys.exit(f"{path}:{number}: {name} defined twice")
            try:
                text.encode("gbk")
            except UnicodeEncodeError:
                sys.exit(f"{path}:{number}: text not representable in GBK")
            entries.append((name, text))
    return entries


def rc_quote(text):
    return '"' + text.replace('"', '""') + '"'


def main():
    source, rc_path, header_path = sys.argv[1:4]
    entries = parse(source)
    with open(header_path, "w", encoding="utf-8") as h:
        h.write("#pragma once\n// Generated from resources/strings.txt.\n")
        for i, (name, _) in enumerate(entries):
            h.write(f"#define {name} {FIRST_ID + i}\n")
    with open(rc_path, "w", encoding="utf-8") as rc:
        rc.write("// Generated from resources/strings.txt.\n#pragma code_page(65001)\n")
        rc.write("LANGUAGE 0x04, 0x02\nSTRINGTABLE\nBEGIN\n")
        for i, (_, text) in enumerate(entries):
            rc.write(f"    {FIRST_ID + i}, {rc_quote(text)}\n")
        rc.write("END\n")


if __name__ == "__main__":
    main()
