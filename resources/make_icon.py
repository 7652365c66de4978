#!/usr/bin/env python3
"""Turns the letter picture in spirals_icon.txt into spirals.ico: one 32x32 image of 16 colours
(4 bits per pixel) with an AND mask. Run by hand after editing the picture; the build uses the
committed .ico. With --check it only verifies that spirals.ico matches the picture."""

import os
import struct
import sys

SIZE = 32

# Letter -> palette index; the palette is the classic 16-colour one.
PALETTE = [
    ("K", (0, 0, 0)), ("R", (128, 0, 0)), ("G", (0, 128, 0)), ("Y", (128, 128, 0)),
    ("B", (0, 0, 128)), ("M", (128, 0, 128)), ("C", (0, 128, 128)), ("s", (192, 192, 192)),
    ("g", (128, 128, 128)), ("r", (255, 0, 0)), ("l", (0, 255, 0)), ("y", (255, 255, 0)),
    ("b", (0, 0, 255)), ("m", (255, 0, 255)), ("c", (0, 255, 255)), ("W", (255, 255, 255)),
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}
TRANSPARENT = "."


def read_picture(path):
    rows = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if len(line) != SIZE:
                raise ValueError(f"{path}:{number}: {len(line)} letters, want {SIZE}")
            for letter in line:
                if letter != TRANSPARENT and letter not in INDEX:
                    raise ValueError(f"{path}:{number}: unknown letter {letter!r}")
            rows.append(line)
    if len(rows) != SIZE:
        raise ValueError(f"{path}: {len(rows)} rows, want {SIZE}")
    return rows


def build_icon(rows):
    # Colour bits: 4 bits per pixel, bottom row first, 16 bytes per row.
    xor = bytearray()
    mask = bytearray()
    for line in reversed(rows):
        for x in range(0, SIZE, 2):
            hi = INDEX.get(line[x], 0)
            lo = INDEX.get(line[x + 1], 0)
            xor.append((hi << 4) | lo)
        bits = 0
        for letter in line:
            bits = (bits << 1) | (1 if letter == TRANSPARENT else 0)
        mask += struct.pack(">I", bits)  # 4 bytes per row, leftmost pixel in the top bit
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = build_icon(read_picture(os.path.join(here, "spirals_icon.txt")))
    target = os.path.join(here, "spirals.ico")
    if "--check" in sys.argv[1:]:
        with open(target, "rb") as f:
            if f.read() != data:
                print("spirals.ico does not match spirals_icon.txt", file=sys.stderr)
                return 1
        return 0
    with open(target, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
