#!/usr/bin/env python3
"""Draws the artwork of Purvix.exe: the maker's logo OV_Logo.bmp (8 bits per
pixel with its own palette) and the program's icon (32 x 32, 16 colours).

    python3 resources/art/make_uninstall_art.py

writes resources/OV_Logo.bmp and resources/art/uninstall.ico. The files are
committed, so a build never runs this script; run it again after a change.
Standard library only.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)

# A 5 x 7 pixel font, just the letters the logo needs.
FONT = {
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
}

WINDOW_GREY = (192, 192, 192)
CARD = (250, 250, 246)
NAVY = (16, 32, 96)
ORANGE = (255, 136, 0)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------- the logo

LOGO_WIDTH, LOGO_HEIGHT = 160, 200
SAMPLES = 4   # sub-samples per pixel edge, for smooth curves


def logo_colour(x, y):
    """Colour of the logo at a point (pixel units, origin top left)."""
    # A rounded card with a navy rim on the window's grey.
    inset, radius = 4.0, 14.0
    cx = min(max(x, inset + radius), LOGO_WIDTH - inset - radius)
    cy = min(max(y, inset + radius), LOGO_HEIGHT - inset - radius)
    corner = math.hypot(x - cx, y - cy)
    if corner > radius:
        return WINDOW_GREY
    if corner > radius - 3:
        return NAVY
    colour = CARD

    # The emblem: a ring shading from deep blue to cyan around its centre.
    ex, ey = 80.0, 66.0
    distance = math.hypot(x - ex, y - ey)
    # Dark at the upper left, light at the lower right, without a seam.
    angle = (1 - math.cos(math.atan2(y - ey, x - ex) - math.radians(45))) / 2
    if 26 <= distance <= 44:
        depth = 1 - abs(distance - 35) / 9          # lighter in the middle of the band
        colour = mix(mix((0, 176, 224), (0, 40, 128), angle), (255, 255, 255), 0.35 * depth)

    # An orbit crossing the ring: a tilted ellipse in orange, in front of the
    # ring on its lower half.
    tilt = math.radians(-20)
    u = (x - ex) * math.cos(tilt) - (y - ey) * math.sin(tilt)
    v = (x - ex) * math.sin(tilt) + (y - ey) * math.cos(tilt)
    orbit = math.hypot(u / 58.0, v / 17.0)
    if abs(orbit - 1) < 0.06 and (v > 0 or not 26 <= distance <= 44):
        colour = mix(ORANGE, (255, 208, 64), max(0.0, -u / 58.0))
    # The satellite on the orbit.
    if math.hypot(x - (ex + 50), y - (ey - 26)) < 6:
        colour = ORANGE
    return colour


def text_pixels(text, left, top, scale, gap):
    """The set of pixels covered by text in the 5 x 7 font."""
    covered = set()
    for n, letter in enumerate(text):
        rows = FONT[letter]
        x0 = left + n * (5 * scale + gap)
        for r, row in enumerate(rows):
            for c, bit in enumerate(row):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            covered.add((x0 + c * scale + dx, top + r * scale + dy))
    return covered


def text_width(text, scale, gap):
    return len(text) * 5 * scale - gap + len(text) * gap


def draw_logo():
    pixels = []
    name = text_pixels("ORVEL", (LOGO_WIDTH - text_width("ORVEL", 4, 4)) // 2, 120, 4, 4)
    tagline = text_pixels("GRAPHICS", (LOGO_WIDTH - text_width("GRAPHICS", 2, 3)) // 2, 168, 2, 3)
    for y in range(LOGO_HEIGHT):
        row = []
        for x in range(LOGO_WIDTH):
            if (x, y) in name:
                # The name shades from navy at the top to blue at the bottom.
                row.append(mix(NAVY, (24, 72, 168), (y - 120) / 28.0))
                continue
            if (x, y) in tagline:
                row.append(ORANGE)
                continue
            if 157 <= y <= 158 and 30 <= x < 130:
                row.append(ORANGE)
                continue
            total = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = logo_colour(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                    for i in range(3):
                        total[i] += c[i]
            row.append(tuple(t / SAMPLES ** 2 for t in total))
        pixels.append(row)
    return pixels


def make_palette(pixels, size=256):
    """The most frequent colours (at 5 bits a channel), with pure window grey first."""
    counts = {}
    for row in pixels:
        for c in row:
            key = tuple(int(round(v)) >> 3 for v in c)
            counts[key] = counts.get(key, 0) + 1
    chosen = sorted(counts, key=lambda k: -counts[k])[: size - 1]
    palette = [WINDOW_GREY] + [tuple(min(255, (v << 3) + 4) for v in k) for k in chosen]
    while len(palette) < size:
        palette.append((0, 0, 0))
    return palette


def nearest(palette, colour, cache):
    key = tuple(int(round(v)) for v in colour)
    if key not in cache:
        cache[key] = min(range(len(palette)),
                         key=lambda i: sum((palette[i][j] - key[j]) ** 2 for j in range(3)))
    return cache[key]


def bitmap_file(width, height, bits_per_pixel, palette, rows):
    """A bottom-up Windows bitmap file; rows are lists of palette indexes, top first."""
    row_size = (width * bits_per_pixel + 31) // 32 * 4
    data = bytearray()
    for row in reversed(rows):
        packed = bytearray()
        if bits_per_pixel == 8:
            packed.extend(row)
        else:   # 4 bits
            for i in range(0, width, 2):
                high = row[i]
                low = row[i + 1] if i + 1 < width else 0
                packed.append(high << 4 | low)
        packed.extend(b"\0" * (row_size - len(packed)))
        data.extend(packed)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits_per_pixel, 0, len(data),
                       2835, 2835, len(palette), 0)
    return header + info + table + bytes(data)


def write_logo():
    pixels = draw_logo()
    palette = make_palette(pixels)
    cache = {}
    rows = [[nearest(palette, c, cache) for c in row] for row in pixels]
    with open(os.path.join(RESOURCES, "OV_Logo.bmp"), "wb") as f:
        f.write(bitmap_file(LOGO_WIDTH, LOGO_HEIGHT, 8, palette, rows))


# ---------------------------------------------------------------- the icon

# The 16 colours of the standard VGA palette.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_GREEN, GREY, DARK_GREY, RED, YELLOW, WHITE, DARK_RED = 0, 2, 7, 8, 9, 11, 15, 1

ICON = [
    # A display board (green card, dark chip, gold contacts) leaving on a red arrow.
    "................................",
    "...................RRRRRRRRRRR..",
    "...................rRRRRRRRRRR..",
    "......................rRRRRRRR..",
    ".....................rRRRRRRRR..",
    "....................rRRRRrRRRR..",
    "...................rRRRRr.RRRR..",
    "..................rRRRRr..RRRR..",
    ".................rRRRRr...RRRR..",
    "................rRRRRr....RRRR..",
    "...............rRRRRr.....rrrr..",
    "..............rRRRRr............",
    ".............rRRRRr.............",
    "............rRRRRr..............",
    "..kkkkkkkkkkkkkkkkkkkkkkk.......",
    "..kGGGGGGGGGGGGGGGGGGGGGk.......",
    "..kGwwGGGGGGGGGGGGGGGGGGk.......",
    "..kGwwGGkkkkkkkkkGGGwwGGk.......",
    "..kGGGGGkddddddddkGGwwGGk.......",
    "..kGGGGGkddddddddkGGGGGGk.......",
    "..kGwwGGkddddddddkGGwwGGk.......",
    "..kGwwGGkddddddddkGGwwGGk.......",
    "..kGGGGGkddddddddkGGGGGGk.......",
    "..kGGGGGkkkkkkkkkkGGGGGGk.......",
    "..kGGGGGGGGGGGGGGGGGGGGGk.......",
    "..kkkkGGGGGGGGGGGGGGGGkkk.......",
    ".....kYkYkYkYkYkYkYkYkk.........",
    ".....kYkYkYkYkYkYkYkYkk.........",
    ".....kkkkkkkkkkkkkkkkkk.........",
    "................................",
    "................................",
    "................................",
]
ICON_COLOURS = {"R": RED, "r": DARK_RED, "k": BLACK, "G": DARK_GREEN, "w": WHITE,
                "d": DARK_GREY, "Y": YELLOW, ".": BLACK}


def write_icon():
    size = 32
    rows = [[ICON_COLOURS[ch] for ch in line] for line in ICON]
    xor = bitmap_file(size, size, 4, VGA, rows)[14:]          # header, table, bits
    info = bytearray(xor[:40])
    struct.pack_into("<i", info, 8, size * 2)                  # image and mask
    struct.pack_into("<I", info, 20, 0)
    mask = bytearray()
    for line in reversed(ICON):
        bits = 0
        for ch in line:
            bits = bits << 1 | (1 if ch == "." else 0)
        mask.extend(struct.pack(">I", bits))
    image = bytes(info) + xor[40:] + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4,
                                                           len(image), 6 + 16)
    with open(os.path.join(HERE, "uninstall.ico"), "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    write_logo()
    write_icon()
