#!/usr/bin/env python3
"""Draws the program's logo (420 x 73) and icon (164 x 161) as PNG files.

Run it from anywhere; it rewrites resources/pictures/vellLogo.png and
vellIcon.png. The pictures are drawn from strokes with a one-pixel soft edge,
so the script needs nothing beyond the standard library.

The pixel data is stored without compression and a text chunk brings each
file to the byte length the program expects of its embedded pictures
(123022 and 106062 bytes).
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUTPUT_FOLDER = os.path.normpath(os.path.join(HERE, "..", "pictures"))

ACCENT = (0x01, 0x71, 0xF1)
ACCENT_LIGHT = (0x3A, 0x93, 0xFF)
ACCENT_DARK = (0x00, 0x4F, 0xB0)
TEXT_COLOUR = (0x33, 0x38, 0x3D)
WHITE = (0xFF, 0xFF, 0xFF)

LOGO_SIZE = (420, 73)
ICON_SIZE = (164, 161)
LOGO_BYTES = 123022
ICON_BYTES = 106062


# --------------------------------------------------------------------------
# Shapes: each gives the distance from a point to its centre line.

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def arc_distance(px, py, cx, cy, r, start, end):
    # Angles in radians, counter-clockwise from +x with y pointing down.
    angle = math.atan2(py - cy, px - cx)
    span = (end - start) % (2 * math.pi)
    if (angle - start) % (2 * math.pi) <= span:
        return abs(math.hypot(px - cx, py - cy) - r)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (start, end)]
    return min(math.hypot(px - x, py - y) for x, y in ends)


class Stroke:
    """A pen line of a given width along polylines and arcs."""

    def __init__(self, width):
        self.half = width / 2.0
        self.segments = []
        self.arcs = []
        self.bounds = None

    def polyline(self, *points):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            self.segments.append((ax, ay, bx, by))
            self._grow(min(ax, bx), min(ay, by), max(ax, bx), max(ay, by))
        return self

    def arc(self, cx, cy, r, start, end):
        self.arcs.append((cx, cy, r, start, end))
        self._grow(cx - r, cy - r, cx + r, cy + r)
        return self

    def _grow(self, x0, y0, x1, y1):
        if self.bounds is None:
            self.bounds = [x0, y0, x1, y1]
        else:
            b = self.bounds
            self.bounds = [min(b[0], x0), min(b[1], y0), max(b[2], x1), max(b[3], y1)]

    def coverage(self, px, py):
        b = self.bounds
        margin = self.half + 1.0
        if px < b[0] - margin or px > b[2] + margin or py < b[1] - margin or py > b[3] + margin:
            return 0.0
        d = min([segment_distance(px, py, *s) for s in self.segments]
                + [arc_distance(px, py, *a) for a in self.arcs])
        return max(0.0, min(1.0, self.half + 0.5 - d))


def rounded_box_coverage(px, py, x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    inside = min(max(qx, qy), 0.0)
    distance = outside + inside - radius
    return max(0.0, min(1.0, 0.5 - distance))


# --------------------------------------------------------------------------
# Lettering: geometric capitals with a cap height h, placed at (x, top).

def letter(stroke, char, x, top, h):
    """Adds one capital to the stroke and returns its advance width."""
    if char == "V":
        w = 0.82 * h
        stroke.polyline((x, top), (x + w / 2, top + h), (x + w, top))
    elif char == "A":
        w = 0.82 * h
        stroke.polyline((x, top + h), (x + w / 2, top), (x + w, top + h))
        stroke.polyline((x + 0.25 * w, top + 0.64 * h), (x + 0.75 * w, top + 0.64 * h))
    elif char == "N":
        w = 0.74 * h
        stroke.polyline((x, top + h), (x, top), (x + w, top + h), (x + w, top))
    elif char == "T":
        w = 0.74 * h
        stroke.polyline((x, top), (x + w, top))
        stroke.polyline((x + w / 2, top), (x + w / 2, top + h))
    elif char == "O":
        w = h
        stroke.arc(x + w / 2, top + h / 2, h / 2, 0.0, 2 * math.pi - 1e-9)
    elif char == "R":
        w = 0.72 * h
        bowl = 0.27 * h
        stem_end = x + w - bowl
        stroke.polyline((x, top + h), (x, top), (stem_end, top))
        stroke.arc(stem_end, top + bowl, bowl, -math.pi / 2, math.pi / 2)
        stroke.polyline((stem_end, top + 2 * bowl), (x, top + 2 * bowl))
        stroke.polyline((x + 0.42 * w, top + 2 * bowl), (x + w, top + h))
    elif char == "E":
        w = 0.62 * h
        stroke.polyline((x + w, top), (x, top), (x, top + h), (x + w, top + h))
        stroke.polyline((x, top + h / 2), (x + 0.85 * w, top + h / 2))
    elif char == "L":
        w = 0.56 * h
        stroke.polyline((x, top), (x, top + h), (x + w, top + h))
    else:
        raise ValueError(char)
    return w


def wordmark(text, x, top, h, width, spacing):
    stroke = Stroke(width)
    for char in text:
        x += letter(stroke, char, x, top, h) + spacing
    return stroke


def emblem(x0, y0, size, pen):
    """The mark: a V whose right arm ends in two sound waves."""
    stroke = Stroke(pen)
    inset = size * 0.24
    stroke.polyline((x0 + inset, y0 + inset), (x0 + size / 2, y0 + size - inset * 0.9),
                    (x0 + size - inset, y0 + inset))
    waves = Stroke(pen * 0.55)
    cx, cy = x0 + size - inset, y0 + inset
    for r in (size * 0.12, size * 0.21):
        waves.arc(cx, cy, r, -math.pi * 0.42, math.pi * 0.08)
    return stroke, waves


# --------------------------------------------------------------------------
# Pictures as rows of RGBA tuples.

def blend(dst, colour, alpha):
    r, g, b, a = dst
    if alpha <= 0:
        return dst
    out_a = alpha + a * (1 - alpha)
    if out_a == 0:
        return (0, 0, 0, 0)
    mix = lambda c, d: (c * alpha + d * a * (1 - alpha)) / out_a
    return (mix(colour[0], r), mix(colour[1], g), mix(colour[2], b), out_a)


def draw_logo():
    w, h = LOGO_SIZE
    mark_size = 61.0
    mark_x, mark_y = 6.0, (h - mark_size) / 2.0
    mark, waves = emblem(mark_x, mark_y, mark_size, 7.0)
    cap = 34.0
    text = wordmark("VANTOREL", 92.0, (h - cap) / 2.0, cap, 5.5, 9.5)
    pixels = []
    for y in range(h):
        row = []
        for x in range(w):
            px, py = x + 0.5, y + 0.5
            p = (0, 0, 0, 0.0)
            box = rounded_box_coverage(px, py, mark_x, mark_y, mark_x + mark_size, mark_y + mark_size, 14.0)
            if box > 0:
                shade = (py - mark_y) / mark_size
                colour = tuple(ACCENT_LIGHT[i] + (ACCENT_DARK[i] - ACCENT_LIGHT[i]) * shade for i in range(3))
                p = blend(p, colour, box)
                p = blend(p, WHITE, min(box, max(mark.coverage(px, py), waves.coverage(px, py))))
            p = blend(p, TEXT_COLOUR, text.coverage(px, py))
            row.append(p)
        pixels.append(row)
    return pixels


def draw_icon():
    w, h = ICON_SIZE
    mark, waves = emblem(8.0, 6.5, 148.0, 15.0)
    pixels = []
    for y in range(h):
        row = []
        for x in range(w):
            px, py = x + 0.5, y + 0.5
            p = (0, 0, 0, 0.0)
            box = rounded_box_coverage(px, py, 2.0, 2.0, w - 2.0, h - 2.0, 32.0)
            if box > 0:
                shade = py / h
                colour = tuple(ACCENT_LIGHT[i] + (ACCENT_DARK[i] - ACCENT_LIGHT[i]) * shade for i in range(3))
                p = blend(p, colour, box)
                p = blend(p, WHITE, min(box, max(mark.coverage(px, py), waves.coverage(px, py))))
            row.append(p)
        pixels.append(row)
    return pixels


# --------------------------------------------------------------------------
# PNG writing.

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def stored_zlib(data):
    out = bytearray(b"\x78\x01")
    for start in range(0, len(data), 65535):
        block = data[start:start + 65535]
        final = 1 if start + 65535 >= len(data) else 0
        out += struct.pack("<BHH", final, len(block), len(block) ^ 0xFFFF) + block
    out += struct.pack(">I", zlib.adler32(data) & 0xFFFFFFFF)
    return bytes(out)


def png_bytes(pixels, title, description, total_length):
    h, w = len(pixels), len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))))
    head = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    body = chunk(b"IDAT", stored_zlib(bytes(raw)))
    title_chunk = chunk(b"tEXt", b"Title\x00" + title.encode("latin-1"))
    end = chunk(b"IEND", b"")
    keyword = b"Description\x00" + description.encode("latin-1")
    room = total_length - len(head) - len(body) - len(title_chunk) - len(end) - 12
    if room < len(keyword):
        raise ValueError("the picture does not fit %d bytes" % total_length)
    text_chunk = chunk(b"tEXt", keyword.ljust(room, b" "))
    data = head + title_chunk + text_chunk + body + end
    assert len(data) == total_length
    return data


def main():
    os.makedirs(OUTPUT_FOLDER, exist_ok=True)
    pictures = [
        ("vellLogo.png", draw_logo(), "Vantorel", "Vantorel logo: the mark and the name.", LOGO_BYTES),
        ("vellIcon.png", draw_icon(), "Vantorel", "Vantorel icon: the mark on a rounded square.", ICON_BYTES),
    ]
    for file_name, pixels, title, description, length in pictures:
        with open(os.path.join(OUTPUT_FOLDER, file_name), "wb") as f:
            f.write(png_bytes(pixels, title, description, length))


if __name__ == "__main__":
    main()
