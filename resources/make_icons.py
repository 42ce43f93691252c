#!/usr/bin/env python3
"""Draws the launcher's two icons and writes them as 32x32, 16-colour .ico files.

The picture is a 2x2 black-and-white checkerboard; each 16x16 square carries the character
押 in the opposite colour. The second icon is the same picture crossed out in red from corner
to corner. The glyph is rendered once from IPA Gothic by ImageMagick (hinted, without
antialiasing, so that the small strokes stay one pixel wide); everything else is done here.

    resources/make_icons.py            # rewrites resources/icon_plain.ico and icon_crossed.ico
    resources/make_icons.py --check    # fails if the committed files differ from a fresh drawing

Needs python3, ImageMagick's `convert` and fonts-ipafont-gothic.
"""

import argparse
import pathlib
import struct
import subprocess
import sys

FONT = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"
GLYPH = "押"
SIZE = 32
CELL = 16
POINT_SIZE = 15  # fills the 16-pixel cell with one pixel to spare around the strokes

# The standard 16-colour palette (as RGB); pixels are indices into it.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, RED, WHITE = 0, 9, 15


def render_glyph():
    """The glyph as CELL rows of booleans (True = stroke)."""
    command = [
        "convert", "-size", f"{CELL}x{CELL}", "xc:white", "-font", FONT, "-pointsize", str(POINT_SIZE),
        "+antialias", "-fill", "black", "-gravity", "center", "-annotate", "+0+0", GLYPH,
        "-threshold", "50%", "-depth", "8", "gray:-",
    ]
    raw = subprocess.run(command, check=True, capture_output=True).stdout
    if len(raw) != CELL * CELL:
        sys.exit(f"make_icons: convert gave {len(raw)} bytes, expected {CELL * CELL}")
    strokes = [[raw[y * CELL + x] < 128 for x in range(CELL)] for y in range(CELL)]
    if not any(any(row) for row in strokes):
        sys.exit(f"make_icons: the glyph rendered empty; is {FONT} installed?")
    return strokes


def checkerboard(strokes):
    """SIZE x SIZE palette indices, top row first."""
    pixels = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            square_black = ((x // CELL) + (y // CELL)) % 2 == 0  # top-left square is black
            stroke = strokes[y % CELL][x % CELL]
            row.append(WHITE if square_black == stroke else BLACK)
        pixels.append(row)
    return pixels


def crossed_out(pixels):
    """A copy with a red X, two pixels wide, from corner to corner."""
    crossed = [row[:] for row in pixels]
    for i in range(SIZE):
        for dx in (0, 1):
            for x in (i + dx, SIZE - 1 - i - dx):
                if 0 <= x < SIZE:
                    crossed[i][x] = RED
    return crossed


def ico_bytes(pixels):
    """One-image .ico: BITMAPINFOHEADER, palette, 4-bit XOR bitmap, 1-bit AND mask (all opaque)."""
    xor_stride = SIZE // 2  # 4 bits per pixel; 16 bytes is already a multiple of 4
    and_stride = ((SIZE + 31) // 32) * 4
    xor_bits = bytearray()
    for row in reversed(pixels):  # DIBs are stored bottom-up
        for x in range(0, SIZE, 2):
            xor_bits.append((row[x] << 4) | row[x + 1])
    and_bits = bytes(and_stride * SIZE)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor_bits) + len(and_bits), 0, 0, 16, 0)
    image = header + palette + bytes(xor_bits) + and_bits
    assert len(xor_bits) == xor_stride * SIZE
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed files instead")
    args = parser.parse_args()

    here = pathlib.Path(__file__).resolve().parent
    plain = checkerboard(render_glyph())
    outputs = {
        here / "icon_plain.ico": ico_bytes(plain),
        here / "icon_crossed.ico": ico_bytes(crossed_out(plain)),
    }
    stale = []
    for path, data in outputs.items():
        if args.check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(path.name)
        else:
            path.write_bytes(data)
    if stale:
        sys.exit("make_icons: differs from a fresh drawing: " + ", ".join(stale))


if __name__ == "__main__":
    main()
