#!/usr/bin/env python3
"""Writes glyphs.txt, a plain-text picture of DromEd's 11-pixel interface font.

The shapes below are DromEd's interface font, one entry per character: its Windows-1252 code and
its columns from left to right, each a number whose bit r is pixel row r (bit 0 = top row).
The picture shows the characters eight to a block: a header line "chars XX XX ..." (the codes in
hexadecimal), then 11 lines, one per pixel row, holding each character's row as '#' (ink) and
'.' (background), as wide as the glyph, the characters separated by one space.

Usage: make_glyph_picture.py [output]      (default: glyphs.txt beside this script)
       make_glyph_picture.py --check FILE  (fails unless FILE is the picture it would write)
"""
import pathlib
import sys

SHAPES = """
41 100 1F0 148 044 148 1F0 100 | 42 104 1FC 124 124 124 0D8 | 43 070 088 104 104 104 088
44 104 1FC 104 104 088 070 | 45 104 1FC 124 124 124 18C | 46 104 1FC 124 024 024 00C
47 070 088 104 124 124 0E8 | 48 104 1FC 124 020 124 1FC 104 | 49 104 1FC 104
4A 0C0 100 104 0FC 004 | 4B 104 1FC 144 020 050 18C 104 | 4C 104 1FC 104 100 100 180
4D 104 1FC 108 010 020 010 108 1FC 104 | 4E 104 1FC 108 010 020 044 1FC 004 | 4F 070 088 104 104 104 088 070
50 104 1FC 144 044 044 038 | 51 070 088 104 184 104 288 270 | 52 104 1FC 144 044 044 1B8 100
53 098 124 124 124 0C8 | 54 00C 104 1FC 104 00C | 55 004 0FC 104 100 104 0FC 004
56 004 03C 0C4 100 0C4 03C 004 | 57 004 01C 064 180 060 180 064 01C 004 | 58 104 18C 154 020 154 18C 104
59 004 01C 124 1C0 124 01C 004 | 5A 18C 144 124 114 10C 184 | 61 080 150 150 150 0E0 100
62 008 0FC 120 120 120 0C0 | 63 0E0 110 110 110 0A0 | 64 0C0 120 120 128 0FC 100
65 0E0 150 150 150 060 | 66 120 1F8 124 024 | 67 260 490 490 490 360 010
68 108 1FC 120 020 120 1C0 100 | 69 110 1F4 100 | 6A 400 410 3F4
6B 108 1FC 140 060 190 110 | 6C 108 1FC 100 | 6D 110 1E0 110 010 110 1E0 110 010 110 1E0 100
6E 110 1F0 110 010 110 1E0 100 | 6F 0E0 110 110 110 0E0 | 70 410 7F0 410 110 110 0E0
71 0E0 110 110 110 7F0 410 | 72 110 1E0 110 010 | 73 120 150 150 150 080
74 010 0FC 110 100 | 75 010 0F0 100 100 110 0F0 100 | 76 010 070 080 100 090 070
77 010 070 180 060 180 070 010 | 78 110 1B0 040 1B0 110 | 79 010 470 480 300 190 070
7A 130 190 150 130 190 | C4 100 1F0 149 044 149 1F0 100 | D6 070 088 105 104 105 088 070
DC 004 0FC 105 100 105 0FC 004 | E4 080 154 150 154 0E0 100 | F6 070 088 105 104 105 088 070
FC 010 0F0 104 100 114 0F0 100 | DF 3F8 004 124 124 124 0D8 | 3C 020 050 088
3E 088 050 020 | 7C 7FF | 2C 400 300
2E 100 | 2D 020 020 020 020 020 | 3B 200 110
3A 110 | 5F 100 100 100 100 100 100 | 5E 008 004 008
31 104 1FC 100 | 32 108 184 144 124 118 | 33 088 104 124 124 0D8
34 060 050 148 1FC 140 | 35 09C 114 114 114 0E4 | 36 0F0 128 124 124 0C0
37 00C 004 1C4 034 00C | 38 0D8 124 124 124 0D8 | 39 018 124 124 0A4 078
30 0F8 104 104 104 0F8 | 21 17C | 22 00C 000 00C
24 088 114 3FE 124 0C8 | 25 18C 052 02E 0D2 12A 0C4 | 26 0C0 128 114 0A8 0C0 120
2F 600 180 060 018 006 | 28 1FC 202 | 29 202 1FC
3D 050 050 050 050 | 3F 008 004 144 024 018 | 60 004 008
7B 020 1DC 202 | 5B 3FE 202 | 5D 202 3FE
7D 202 1DC 020 | 5C 006 018 060 180 | 27 00C
23 028 07C 028 07C 028 | B4 00C | 2A 028 010 07C 010 028
2B 020 020 0F8 020 020 | 7E 008 004 00C 008 004
"""

ROWS = 11


def glyphs():
    yield 0x20, [0, 0]  # the space: two blank columns
    for entry in SHAPES.replace("\n", "|").split("|"):
        fields = entry.split()
        if fields:
            yield int(fields[0], 16), [int(column, 16) for column in fields[1:]]


def picture():
    lines = ["# DromEd's interface font, eight characters to a block: 'chars' and their",
             "# Windows-1252 codes, then 11 rows, '#' = ink. Written by make_glyph_picture.py."]
    shapes = list(glyphs())
    codes = {code for code, _ in shapes}
    assert len(codes) == len(shapes) == 102, len(shapes)
    assert all(1 <= len(columns) <= 11 for _, columns in shapes)
    for first in range(0, len(shapes), 8):
        block = shapes[first:first + 8]
        lines.append("chars " + " ".join(f"{code:02X}" for code, _ in block))
        for row in range(ROWS):
            lines.append(" ".join("".join("#" if column >> row & 1 else "." for column in columns)
                                  for _, columns in block))
    return "\n".join(lines) + "\n"


def main():
    args = sys.argv[1:]
    if args[:1] == ["--check"]:
        current = pathlib.Path(args[1]).read_text(encoding="ascii")
        if current != picture():
            sys.exit(f"{args[1]} is out of date: run {pathlib.Path(__file__).name}")
        return
    out = pathlib.Path(args[0]) if args else pathlib.Path(__file__).with_name("glyphs.txt")
    out.write_text(picture(), encoding="ascii")


if __name__ == "__main__":
    main()
