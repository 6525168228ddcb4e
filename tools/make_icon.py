#!/usr/bin/env python3
"""Builds the form's .ico (one 32 x 32, 16-colour image) from its character-per-pixel source.

Usage: python3 tools/make_icon.py SOURCE.txt OUT.ico
"""

import re
import struct
import sys

SIZE = 32
BITS_PER_PIXEL = 4
COLOUR_BYTES = SIZE * SIZE * BITS_PER_PIXEL // 8   # rows of 16 bytes: already 4-byte aligned
MASK_BYTES = SIZE * SIZE // 8                       # rows of 4 bytes: already 4-byte aligned
HEADER_BYTES = 40
TRANSPARENT = "transparent"

# The standard 16-colour VGA palette, in palette order: (name, red, green, blue).
PALETTE = (
    ("black", 0x00, 0x00, 0x00),
    ("dark red", 0x80, 0x00, 0x00),
    ("dark green", 0x00, 0x80, 0x00),
    ("dark yellow", 0x80, 0x80, 0x00),
    ("dark blue", 0x00, 0x00, 0x80),
    ("dark magenta", 0x80, 0x00, 0x80),
    ("dark cyan", 0x00, 0x80, 0x80),
    ("light grey", 0xC0, 0xC0, 0xC0),
    ("dark grey", 0x80, 0x80, 0x80),
    ("red", 0xFF, 0x00, 0x00),
    ("green", 0x00, 0xFF, 0x00),
    ("yellow", 0xFF, 0xFF, 0x00),
    ("blue", 0x00, 0x00, 0xFF),
    ("magenta", 0xFF, 0x00, 0xFF),
    ("cyan", 0x00, 0xFF, 0xFF),
    ("white", 0xFF, 0xFF, 0xFF),
)

IMAGE_BYTES = HEADER_BYTES + 4 * len(PALETTE) + COLOUR_BYTES + MASK_BYTES

# "#  k = 0   black" or "#  . = transparent"; the name, when given, must match the palette.
LEGEND_LINE = re.compile(r"^#\s*([^#\s])\s*=\s*(?:(\d+)(?:\s+(\S.*?))?|(" + TRANSPARENT + r"))\s*$")


class SourceError(Exception):
    pass


def parse_legend_entry(match, where):
    """Returns the palette index of one legend line, or None for transparent."""
    index_text, name, transparent = match.group(2), match.group(3), match.group(4)
    if transparent:
        return None
    index = int(index_text)
    if index >= len(PALETTE):
        raise SourceError(f"{where}: palette index {index} is out of range 0..{len(PALETTE) - 1}")
    if name is not None and name != PALETTE[index][0]:
        raise SourceError(f"{where}: palette entry {index} is {PALETTE[index][0]}, not {name}")
    return index


def parse_source(text, source_name):
    """Returns the rows of palette indices (None = transparent), top row first."""
    legend = {}
    rows = []
    for number, line in enumerate(text.splitlines(), start=1):
        where = f"{source_name}:{number}"
        if line.startswith("#"):
            match = LEGEND_LINE.match(line)
            if match:
                char = match.group(1)
                if char in legend:
                    raise SourceError(f"{where}: character '{char}' is already in the legend")
                legend[char] = parse_legend_entry(match, where)
            continue
        if len(line) != SIZE:
            raise SourceError(f"{where}: row is {len(line)} pixels wide, expected {SIZE}")
        rows.append((where, line))
    if not legend:
        raise SourceError(f"{source_name}: no legend lines ('# c = index name' or '# c = transparent')")
    if len(rows) != SIZE:
        raise SourceError(f"{source_name}: {len(rows)} pixel rows, expected {SIZE}")
    return [parse_row(line, legend, where) for where, line in rows]


def parse_row(line, legend, where):
    pixels = []
    for column, char in enumerate(line, start=1):
        if char not in legend:
            raise SourceError(f"{where}:{column}: character '{char}' is not in the legend")
        pixels.append(legend[char])
    return pixels


def bitmap_header():
    # The height counts the colour bits and the mask stacked, as icon images do.
    return struct.pack("<IiiHHIIiiII", HEADER_BYTES, SIZE, 2 * SIZE, 1, BITS_PER_PIXEL, 0,
                       COLOUR_BYTES + MASK_BYTES, 0, 0, 0, 0)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", blue, green, red, 0) for _, red, green, blue in PALETTE)


def colour_row(pixels):
    # Transparent pixels carry colour 0 so the mask alone decides what shows through.
    indices = [0 if index is None else index for index in pixels]
    return bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))


def mask_row(pixels):
    bits = 0
    for index in pixels:
        bits = (bits << 1) | (index is None)
    return bits.to_bytes(SIZE // 8, "big")


def icon_image(rows):
    bottom_up = rows[::-1]
    image = (bitmap_header() + palette_bytes()
             + b"".join(colour_row(row) for row in bottom_up)
             + b"".join(mask_row(row) for row in bottom_up))
    assert len(image) == IMAGE_BYTES
    return image


def icon_file(image):
    directory = struct.pack("<HHH", 0, 1, 1)
    offset = len(directory) + 16
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, len(PALETTE), 0, 1, BITS_PER_PIXEL, len(image), offset)
    return directory + entry + image


def main(argv):
    if len(argv) != 3:
        sys.exit(f"usage: {argv[0]} SOURCE.txt OUT.ico")
    source_path, output_path = argv[1], argv[2]
    try:
        with open(source_path, encoding="ascii") as source:
            rows = parse_source(source.read(), source_path)
    except UnicodeDecodeError:
        sys.exit(f"{argv[0]}: {source_path}: not plain ASCII text")
    except (OSError, SourceError) as error:
        sys.exit(f"{argv[0]}: {error}")
    with open(output_path, "wb") as output:
        output.write(icon_file(icon_image(rows)))


if __name__ == "__main__":
    main(sys.argv)
