#!/usr/bin/env python3
"""Writes a resource script with COUNT icon groups, cycling through a few
small icon files, so a library of thousands of icons stays a few megabytes."""
import sys

PARTS = ["red.ico", "green.ico", "blue.ico", "one.ico"]


def main():
    count, output = int(sys.argv[1]), sys.argv[2]
    lines = [f"// {count} icon groups; group n shows {', '.join(PARTS)} in turn."]
    lines += [f'{n} ICON "{PARTS[(n - 1) % len(PARTS)]}"' for n in range(1, count + 1)]
    with open(output, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
