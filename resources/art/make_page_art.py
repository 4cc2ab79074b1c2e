#!/usr/bin/env python3
"""Draws the page's icons and bitmaps and the product logo.

Run from anywhere: the files are written beside this script, and the
product logo (Glimlogo.bmp, installed next to the library) one folder up.
Everything is drawn from simple shapes, so the output is the same on every
run; the generated files are kept in the repository with the script.

Resource art uses the 16 colours of the standard Windows palette; the
product logo is an 8-bit bitmap with its own palette.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette in the order of Windows' own bitmaps.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, CYAN, WHITE = range(8, 16)

# ---------------------------------------------------------------------------
# Canvas of palette indices and the shapes drawn on it


class Canvas:
    def __init__(self, width, height, colour=SILVER):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def rect(self, left, top, right, bottom, colour):
        """Fills the pixels left <= x < right, top <= y < bottom."""
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y][x] = colour

    def frame(self, left, top, right, bottom, colour):
        for x in range(left, right):
            self.put(x, top, colour)
            self.put(x, bottom - 1, colour)
        for y in range(top, bottom):
            self.put(left, y, colour)
            self.put(right - 1, y, colour)

    def fill_where(self, inside, colour):
        """Fills every pixel whose centre satisfies inside(x, y)."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.pixels[y][x] = colour

    def shape(self, inside, fill, outline):
        """A filled shape with a one-pixel outline along its edge."""
        mask = [[inside(x + 0.5, y + 0.5) for x in range(self.width)] for y in range(self.height)]
        for y in range(self.height):
            for x in range(self.width):
                if not mask[y][x]:
                    continue
                edge = False
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if not (0 <= nx < self.width and 0 <= ny < self.height) or not mask[ny][nx]:
                        edge = True
                        break
                self.pixels[y][x] = outline if edge else fill
        return mask


def inside_polygon(points):
    def test(x, y):
        crossings = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                at = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                if x < at:
                    crossings = not crossings
        return crossings
    return test


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def inside_capsule(ax, ay, bx, by, radius):
    return lambda x, y: segment_distance(x, y, ax, ay, bx, by) <= radius


def inside_union(*tests):
    return lambda x, y: any(test(x, y) for test in tests)


# ---------------------------------------------------------------------------
# A stroke alphabet for the two logos: each glyph is a list of polylines in
# units where the baseline is y = 0, the x-height 7 and the capital height 10.


def arc(cx, cy, rx, ry, start, end, steps=28):
    return [(cx + rx * math.cos(math.radians(start + (end - start) * i / steps)),
             cy + ry * math.sin(math.radians(start + (end - start) * i / steps)))
            for i in range(steps + 1)]


GLYPHS = {
    'O': (9.0, [arc(4.2, 5.0, 4.0, 5.0, 0, 360, 48)]),
    'G': (9.0, [arc(4.2, 5.0, 4.0, 5.0, 40, 360, 44) + [(8.2, 4.4), (5.2, 4.4)]]),
    'a': (7.2, [arc(3.0, 3.5, 2.8, 3.5, 0, 360, 36), [(5.8, 7.0), (5.8, 0.0)]]),
    'e': (7.2, [[(0.3, 3.6), (6.2, 3.6)] + arc(3.25, 3.5, 2.95, 3.5, 0, 320, 36)]),
    'i': (2.2, [[(0.6, 0.0), (0.6, 7.0)], [(0.6, 9.6), (0.6, 9.6)]]),
    'l': (2.2, [[(0.6, 0.0), (0.6, 10.6)]]),
    'm': (10.2, [[(0.6, 0.0), (0.6, 7.0)],
                 arc(2.7, 4.8, 2.1, 2.2, 180, 0, 16) + [(4.8, 0.0)],
                 arc(6.9, 4.8, 2.1, 2.2, 180, 0, 16) + [(9.0, 0.0)]]),
    'o': (7.4, [arc(3.3, 3.5, 3.0, 3.5, 0, 360, 40)]),
    'r': (5.0, [[(0.6, 0.0), (0.6, 7.0)], arc(3.2, 4.6, 2.6, 2.4, 180, 55, 14)]),
    'v': (7.0, [[(0.2, 7.0), (3.2, 0.0), (6.2, 7.0)]]),
}


def text_segments(text, scale, left, baseline, slant=0.0, spacing=1.2):
    """Segments of the text in pixel coordinates (y downwards)."""
    segments = []
    pen = 0.0
    for letter in text:
        advance, strokes = GLYPHS[letter]
        for stroke in strokes:
            points = [(left + (pen + x + slant * y) * scale, baseline - y * scale) for x, y in stroke]
            if len(points) == 1:
                points = points * 2
            for a, b in zip(points, points[1:]):
                segments.append((a[0], a[1], b[0], b[1]))
        pen += advance + spacing
    return segments


def text_width(text, spacing=1.2):
    return sum(GLYPHS[letter][0] for letter in text) + spacing * (len(text) - 1)


def stroke_coverage(segments, width, height, half_width):
    """Coverage 0..1 of each pixel by the strokes (a soft edge one pixel wide)."""
    coverage = [[0.0] * width for _ in range(height)]
    reach = half_width + 1.0
    for ax, ay, bx, by in segments:
        x0 = max(int(min(ax, bx) - reach), 0)
        x1 = min(int(max(ax, bx) + reach) + 1, width)
        y0 = max(int(min(ay, by) - reach), 0)
        y1 = min(int(max(ay, by) + reach) + 1, height)
        for y in range(y0, y1):
            row = coverage[y]
            for x in range(x0, x1):
                d = segment_distance(x + 0.5, y + 0.5, ax, ay, bx, by)
                c = half_width + 0.5 - d
                if c > row[x]:
                    row[x] = 1.0 if c >= 1.0 else c
    return coverage


# ---------------------------------------------------------------------------
# File formats


def bmp_bytes(width, height, bits, palette, rows):
    """A bottom-up Windows bitmap file; rows[y][x] are palette indices (top row first)."""
    stride = ((width * bits + 31) // 32) * 4
    data = bytearray()
    for y in range(height - 1, -1, -1):
        data += pack_row(rows[y], bits, stride)
    colours = len(palette)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(data), 2835, 2835,
                       colours, colours)
    return header + info + table + bytes(data)


def pack_row(row, bits, stride):
    out = bytearray()
    if bits == 8:
        out += bytes(row)
    elif bits == 4:
        for i in range(0, len(row), 2):
            high = row[i]
            low = row[i + 1] if i + 1 < len(row) else 0
            out.append((high << 4) | low)
    elif bits == 1:
        for i in range(0, len(row), 8):
            byte = 0
            for j in range(8):
                if i + j < len(row) and row[i + j]:
                    byte |= 0x80 >> j
            out.append(byte)
    out += b'\0' * (stride - len(out))
    return out


def ico_bytes(canvas, transparent):
    """A one-image icon file of the canvas's size, 16 colours, with its AND mask."""
    width, height = canvas.width, canvas.height
    colour_rows = [[0 if c == transparent else c for c in row] for row in canvas.pixels]
    mask_rows = [[1 if c == transparent else 0 for c in row] for row in canvas.pixels]
    xor = bytearray()
    for y in range(height - 1, -1, -1):
        xor += pack_row(colour_rows[y], 4, ((width * 4 + 31) // 32) * 4)
    mask = bytearray()
    for y in range(height - 1, -1, -1):
        mask += pack_row(mask_rows[y], 1, ((width + 31) // 32) * 4)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    # The image's header counts XOR and AND bitmaps together: twice the height.
    info = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 4, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    image = info + table + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', width, height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def rle4_bytes(width, height, rows):
    """A bottom-up 16-colour bitmap file compressed with BI_RLE4: each run of
    pixels that repeats one colour, or alternates two, is one byte pair."""
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = rows[y]
        x = 0
        while x < width:
            first = row[x]
            second = row[x + 1] if x + 1 < width else first
            run = 1
            while x + run < width and run < 255 and row[x + run] == (first if run % 2 == 0 else second):
                run += 1
            data += bytes((run, (first << 4) | second))
            x += run
        data += b'\0\1' if y == 0 else b'\0\0'   # end of the bitmap, or of a line
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 2, len(data), 2835, 2835, 16, 16)
    return header + info + table + bytes(data)


def write_bitmap16(name, canvas):
    """Compressed when that makes the file smaller: the bitmaps are resources
    of the library, and every byte of it is loaded into the control panel."""
    plain = bmp_bytes(canvas.width, canvas.height, 4, PALETTE, canvas.pixels)
    packed = rle4_bytes(canvas.width, canvas.height, canvas.pixels)
    write(os.path.join(HERE, name), packed if len(packed) < len(plain) else plain)


# ---------------------------------------------------------------------------
# Icons: a monitor with a coloured screen


def monitor_icon(screen_colour, wave=False):
    transparent = FUCHSIA   # not used by the drawing itself
    c = Canvas(32, 32, transparent)
    # Cabinet with a light top-left and a dark bottom-right edge.
    c.rect(2, 2, 30, 24, SILVER)
    c.frame(1, 1, 31, 25, BLACK)
    for x in range(2, 30):
        c.put(x, 2, WHITE)
        c.put(x, 23, GREY)
    for y in range(2, 24):
        c.put(2, y, WHITE)
        c.put(29, y, GREY)
    # The screen, sunk into the cabinet.
    c.rect(5, 5, 27, 20, screen_colour)
    c.frame(4, 4, 28, 21, GREY)
    for x in range(4, 28):
        c.put(x, 20, WHITE)
    for y in range(4, 21):
        c.put(27, y, WHITE)
    # A glint on the glass.
    glint = GREY if screen_colour == WHITE else WHITE
    for i in range(4):
        c.put(7 + i, 7, glint)
    c.put(7, 8, glint)
    c.put(7, 9, glint)
    # Power light.
    c.put(26, 22, LIME)
    # Neck and foot.
    c.rect(13, 25, 19, 27, GREY)
    c.frame(12, 25, 20, 28, BLACK)
    c.rect(8, 28, 24, 31, SILVER)
    c.frame(7, 27, 25, 31, BLACK)
    for x in range(8, 24):
        c.put(x, 28, WHITE)
    if wave:
        # A refresh wave across the screen for the page's tab.
        for x in range(6, 26):
            y = 12.5 - 4.5 * math.sin((x - 6) / 20.0 * 2 * math.pi * 1.5)
            c.put(x, int(round(y)), YELLOW)
            c.put(x, int(round(y)) + 1, YELLOW)
    return c, transparent


def shown_at_sixteen(canvas, transparent):
    """The 32 x 32 icon as the status tree shows it, 16 x 16: the image list
    shrinks it with the default stretch mode, which ANDs the colours of each
    2 x 2 block (transparent pixels count black) and keeps a pixel opaque when
    any of its block is. Stored at this size, the icon shows the same."""
    small = Canvas(16, 16, transparent)
    for y in range(16):
        for x in range(16):
            block = [canvas.get(2 * x + dx, 2 * y + dy) for dy in (0, 1) for dx in (0, 1)]
            if all(c == transparent for c in block):
                continue
            rgb = (0xFF, 0xFF, 0xFF)
            for c in block:
                colour = PALETTE[BLACK if c == transparent else c]
                rgb = tuple(a & b for a, b in zip(rgb, colour))
            small.put(x, y, PALETTE.index(rgb))
    return small


# ---------------------------------------------------------------------------
# Arrow faces: a raised triangle on the button colour


def arrow_bitmap(width, height, points):
    c = Canvas(width, height, SILVER)
    c.shape(inside_polygon(points), BLUE, NAVY)
    # Light along the edges facing up and left, as on a raised face.
    inside = inside_polygon(points)
    for y in range(height):
        for x in range(width):
            if inside(x + 0.5, y + 0.5) and not inside(x - 0.5, y - 0.5) and c.get(x, y) == NAVY:
                if inside(x + 1.5, y + 1.5):
                    c.put(x, y, CYAN)
    return c


def arrows():
    up = arrow_bitmap(56, 24, [(28, 4), (43, 20), (13, 20)])
    down = arrow_bitmap(56, 24, [(13, 4), (43, 4), (28, 20)])
    right = arrow_bitmap(32, 32, [(10, 6), (24, 16), (10, 26)])
    left = arrow_bitmap(32, 32, [(22, 6), (8, 16), (22, 26)])
    return up, down, right, left


# ---------------------------------------------------------------------------
# The drag pad: an open hand


def hand_bitmap():
    c = Canvas(40, 40, SILVER)
    palm = inside_union(
        inside_capsule(16, 22, 25, 22, 7.0),
        inside_capsule(16, 27, 24, 27, 7.0),
        inside_capsule(19, 31, 22, 31, 6.0),
    )
    fingers = [
        inside_capsule(12.0, 10.5, 12.5, 21, 2.6),
        inside_capsule(17.5, 6.5, 17.5, 20, 2.6),
        inside_capsule(23.0, 7.5, 22.5, 20, 2.6),
        inside_capsule(28.0, 11.5, 27.0, 21, 2.5),
    ]
    thumb = inside_capsule(6.5, 18.5, 12.0, 27.5, 2.8)
    hand = inside_union(palm, thumb, *fingers)
    c.shape(hand, WHITE, BLACK)
    # Outline every finger on its own, so the gaps between them show.
    for finger in fingers + [thumb]:
        for y in range(40):
            for x in range(40):
                if finger(x + 0.5, y + 0.5) and not palm(x + 0.5, y + 0.5):
                    for dx, dy in ((1, 0), (-1, 0), (0, -1)):
                        if not finger(x + dx + 0.5, y + dy + 0.5):
                            c.put(x, y, BLACK)
                            break
    # A cuff at the wrist.
    c.rect(14, 35, 27, 39, BLUE)
    c.frame(13, 34, 28, 40, NAVY)
    return c


# ---------------------------------------------------------------------------
# The maker's logo and the banner


def maker_logo():
    width, height = 154, 48
    c = Canvas(width, height, WHITE)
    scale = 3.1
    left = (width - text_width('Orvel') * scale) / 2 - 4
    baseline = 37
    # A red swoosh under the word.
    swoosh = [(x, 45.0 - 4.0 * ((x - 77.0) / 65.0) ** 2) for x in range(12, 143, 3)]
    swoosh_segments = [(a[0], a[1], b[0], b[1]) for a, b in zip(swoosh, swoosh[1:])]
    for y, row in enumerate(stroke_coverage(swoosh_segments, width, height, 1.6)):
        for x, value in enumerate(row):
            if value >= 0.5:
                c.put(x, y, RED)
    # Shadow, then the word itself in a slanted bold hand.
    for offset, colour in ((1.5, SILVER), (0.0, NAVY)):
        segments = text_segments('Orvel', scale, left + offset, baseline + offset, slant=0.18)
        for y, row in enumerate(stroke_coverage(segments, width, height, 2.6)):
            for x, value in enumerate(row):
                if value >= 0.5:
                    c.put(x, y, colour)
    return c


def banner():
    width, height = 526, 23
    c = Canvas(width, height, NAVY)
    colours = [NAVY, BLUE, CYAN, BLUE]
    for y in range(height):
        for x in range(width):
            band = ((x + y) // 6) % len(colours)
            c.put(x, y, colours[band])
    for x in range(width):
        c.put(x, 0, WHITE)
        c.put(x, height - 1, BLACK)
    return c


# ---------------------------------------------------------------------------
# The product logo: 8 bits per pixel with its own palette


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def product_logo():
    width, height = 180, 128
    top, bottom = (0x1C, 0x3C, 0x8C), (0x06, 0x0E, 0x36)
    image = [[mix(top, bottom, y / (height - 1)) for _ in range(width)] for y in range(height)]

    def paint(coverage, colour_at):
        for y, row in enumerate(coverage):
            for x, value in enumerate(row):
                if value > 0:
                    image[y][x] = mix(image[y][x], colour_at(x, y), value)

    # A four-pointed glimmer with a soft halo.
    cx, cy = 90.0, 34.0
    for y in range(height):
        for x in range(width):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            halo = max(0.0, 1.0 - d / 30.0) ** 2 * 0.55
            if halo > 0:
                image[y][x] = mix(image[y][x], (0x9C, 0xC8, 0xFF), halo)
    star = [(cx, cy - 26), (cx + 5, cy - 5), (cx + 26, cy), (cx + 5, cy + 5),
            (cx, cy + 26), (cx - 5, cy + 5), (cx - 26, cy), (cx - 5, cy - 5)]
    star_test = inside_polygon(star)
    for y in range(height):
        for x in range(width):
            hits = sum(star_test(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
            if hits:
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                colour = mix((0xFF, 0xFF, 0xFF), (0xFF, 0xD8, 0x50), min(1.0, d / 22.0))
                image[y][x] = mix(image[y][x], colour, hits / 16.0)

    # The product's name, white fading to gold towards the baseline.
    scale = 3.0
    left = (width - text_width('Glimora') * scale) / 2
    baseline = 96.0
    shadow = text_segments('Glimora', scale, left + 1.5, baseline + 1.5, slant=0.12)
    paint(stroke_coverage(shadow, width, height, 2.0), lambda x, y: (0x02, 0x04, 0x14))
    segments = text_segments('Glimora', scale, left, baseline, slant=0.12)
    paint(stroke_coverage(segments, width, height, 2.0),
          lambda x, y: mix((0xFF, 0xFF, 0xFF), (0xFF, 0xC8, 0x40), max(0.0, min(1.0, (y - 64) / 32.0))))

    # A rainbow line under the name: the refresh beam.
    rainbow = [(0xFF, 0x30, 0x30), (0xFF, 0xC0, 0x20), (0x40, 0xE0, 0x40), (0x30, 0xA0, 0xFF)]
    for x in range(14, width - 14):
        t = (x - 14) / (width - 29)
        band = min(int(t * (len(rainbow) - 1)), len(rainbow) - 2)
        local = t * (len(rainbow) - 1) - band
        colour = mix(rainbow[band], rainbow[band + 1], local)
        y = 110 + 3.0 * math.sin(t * 4 * math.pi)
        for row in range(height):
            d = abs(row + 0.5 - y)
            if d < 2.2:
                image[row][x] = mix(image[row][x], colour, min(1.0, 2.2 - d))

    pixels = [[tuple(int(round(v)) for v in p) for p in row] for row in image]
    palette, index = median_cut(pixels, 256)
    rows = [[index[p] for p in row] for row in pixels]
    return width, height, palette, rows


def median_cut(pixels, count):
    """A palette of at most count colours and the index of every colour used."""
    histogram = {}
    for row in pixels:
        for p in row:
            histogram[p] = histogram.get(p, 0) + 1
    boxes = [list(histogram.items())]
    while len(boxes) < count:
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [colour[channel] for colour, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = i, spread, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: item[0][best_channel])
        total = sum(n for _, n in box)
        running, cut = 0, 1
        for i, (_, n) in enumerate(box):
            running += n
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes += [box[:cut], box[cut:]]
    palette, index = [], {}
    for box in boxes:
        total = sum(n for _, n in box)
        average = tuple(int(round(sum(colour[c] * n for colour, n in box) / total)) for c in range(3))
        for colour, _ in box:
            index[colour] = len(palette)
        palette.append(average)
    while len(palette) < count:
        palette.append((0, 0, 0))
    return palette, index


# ---------------------------------------------------------------------------


def main():
    for name, screen in (('page_tab.ico', BLUE), ('monitor_white.ico', WHITE),
                         ('monitor_red.ico', RED), ('monitor_blue.ico', BLUE),
                         ('monitor_green.ico', GREEN)):
        canvas, transparent = monitor_icon(screen, wave=(name == 'page_tab.ico'))
        # The tab shows its icon at 32 x 32; the status icons only at 16 x 16.
        if name != 'page_tab.ico':
            canvas = shown_at_sixteen(canvas, transparent)
        write(os.path.join(HERE, name), ico_bytes(canvas, transparent))

    up, down, right, left = arrows()
    write_bitmap16('arrow_up.bmp', up)
    write_bitmap16('arrow_down.bmp', down)
    write_bitmap16('arrow_right.bmp', right)
    write_bitmap16('arrow_left.bmp', left)
    write_bitmap16('hand.bmp', hand_bitmap())
    write_bitmap16('maker_logo.bmp', maker_logo())
    write_bitmap16('banner.bmp', banner())

    width, height, palette, rows = product_logo()
    write(os.path.join(HERE, '..', 'Glimlogo.bmp'), bmp_bytes(width, height, 8, palette, rows))


if __name__ == '__main__':
    main()
