#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Draws Nupew's own pictures as XPM files under assets/pictures: the maple leaf,
# the thirteen star frames of the title screen and the eight toolbar pictures.
# Every picture is drawn from shapes at its own size and at twice that size
# (the @2x file), so it stays crisp on high-density screens. Each pixel takes
# the colour that covers most of it, so the pictures keep a small palette.
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets", "pictures")
SAMPLES = 5

GREEN = (0, 128, 0)
LIGHT_GREEN = (64, 176, 64)
DARK_GREEN = (0, 80, 0)
RED = (208, 24, 24)
DARK_RED = (128, 0, 0)
YELLOW = (255, 224, 0)
DARK_YELLOW = (176, 128, 0)
WHITE = (255, 255, 255)
GREY = (192, 192, 192)
MID_GREY = (128, 128, 128)
BLACK = (0, 0, 0)
NAVY = (0, 0, 128)
BLUE = (0, 64, 224)
PALE_YELLOW = (255, 255, 160)


def maple(x, y, cx=0.5, cy=0.46, size=0.46):
    """Inside test of a five-lobed maple leaf with a stem; returns a part name or None."""
    dx, dy = (x - cx) / size, (cy - y) / size
    r = math.hypot(dx, dy)
    t = math.atan2(dy, dx)
    lobes = (90, 90 + 62, 90 - 62, 90 + 130, 90 - 130)
    scale = (1.0, 0.92, 0.92, 0.6, 0.6)
    reach = 0.42
    for a, s in zip(lobes, scale):
        d = math.cos(t - math.radians(a))
        if d > 0:
            reach = max(reach, s * (0.42 + 0.58 * d ** 5))
    # small teeth along the edge
    reach *= 1.0 - 0.06 * abs(math.sin(10 * (t - math.radians(90))))
    # the stem: a short stroke down from the centre
    if abs(dx) < 0.06 and -1.0 < dy < -0.2:
        return "stem"
    if r <= reach:
        # veins from the centre to the tips of the three big lobes
        for a in lobes[:3]:
            ang = math.radians(a)
            along = dx * math.cos(ang) + dy * math.sin(ang)
            across = abs(-dx * math.sin(ang) + dy * math.cos(ang))
            if 0 < along < 0.75 * reach and across < 0.04:
                return "vein"
        if r > reach - 0.1:
            return "edge"
        return "leaf"
    return None


def leaf_picture(body, edge, vein, background=None):
    def paint(x, y):
        part = maple(x, y)
        if part == "leaf":
            return body
        if part in ("edge", "stem"):
            return edge
        if part == "vein":
            return vein
        return background
    return paint


def framed(inner):
    """A green frame with `inner` painting the white inside."""
    def paint(x, y):
        if x < 0.09 or x > 0.91 or y < 0.09 or y > 0.91:
            return None
        if x < 0.19 or x > 0.81 or y < 0.19 or y > 0.81:
            return GREEN
        return inner(x, y)
    return paint


def ruled(x, y):
    for line in (0.33, 0.47, 0.61, 0.75):
        if abs(y - line) < 0.035 and 0.27 < x < 0.73:
            return NAVY
    return WHITE


def table(x, y):
    if x < 0.06 or x > 0.94 or y < 0.12 or y > 0.88:
        return None
    if x < 0.1 or x > 0.9 or y < 0.16 or y > 0.84:
        return MID_GREY
    if y < 0.36:
        return NAVY
    if abs(y - 0.6) < 0.035 or abs(x - 0.5) < 0.035:
        return MID_GREY
    return WHITE


def question(x, y):
    cx, cy, radius, width = 0.5, 0.32, 0.2, 0.09
    d = math.hypot(x - cx, y - cy)
    ang = math.degrees(math.atan2(cy - y, x - cx))
    # the hook: the upper half of a ring and its lower right quarter
    if abs(d - radius) < width and -90 <= ang <= 180:
        return BLUE
    if abs(x - 0.5) < width and cy + radius - width < y < 0.68:
        return BLUE
    if math.hypot(x - 0.5, y - 0.84) < 0.1:
        return BLUE
    return None


def red_on_green(x, y):
    if x < 0.06 or x > 0.94 or y < 0.06 or y > 0.94:
        return None
    part = maple(0.5 + (x - 0.5) * 1.15, 0.5 + (y - 0.5) * 1.15)
    if part == "leaf":
        return RED
    if part in ("edge", "stem", "vein"):
        return DARK_RED
    return GREEN


def star(size, core):
    """A four-pointed star of half-width `size` (in pixels of a 17-pixel frame)."""
    def paint(x, y):
        px, py = abs(x - 0.5) * 17, abs(y - 0.5) * 17
        if core and math.hypot(px, py) < core:
            return YELLOW
        if size <= 3:
            # the smallest frames are a plain cross
            return WHITE if (px <= 0.5 and py <= size) or (py <= 0.5 and px <= size) else GREY
        if px ** 0.7 + py ** 0.7 <= size ** 0.7:
            return WHITE
        return GREY
    return paint


def render(paint, width, height):
    rows = []
    for j in range(height):
        row = []
        for i in range(width):
            votes = {}
            for sj in range(SAMPLES):
                for si in range(SAMPLES):
                    c = paint((i + (si + 0.5) / SAMPLES) / width, (j + (sj + 0.5) / SAMPLES) / height)
                    votes[c] = votes.get(c, 0) + 1
            row.append(max(votes.items(), key=lambda kv: (kv[1], kv[0] is not None))[0])
        rows.append(row)
    return rows


def write_xpm(name, rows):
    colours = []
    for row in rows:
        for c in row:
            if c not in colours:
                colours.append(c)
    keys = ".#abcdefghijklmnopqrstuvwxyz"
    table_ = {c: keys[i] for i, c in enumerate(colours)}
    ident = name.replace("@", "_at_").replace("-", "_")
    lines = ["/* XPM */", f"static const char *{ident}[] = {{",
             f'"{len(rows[0])} {len(rows)} {len(colours)} 1",']
    for c in colours:
        spec = "None" if c is None else "#%02X%02X%02X" % c
        lines.append(f'"{table_[c]} c {spec}",')
    for k, row in enumerate(rows):
        end = "," if k < len(rows) - 1 else ""
        lines.append('"' + "".join(table_[c] for c in row) + '"' + end)
    lines.append("};")
    with open(os.path.join(OUT, name + ".xpm"), "w") as f:
        f.write("\n".join(lines) + "\n")


def write_png(path, rows):
    """Writes rows of RGB triples (None for transparent) as an RGBA PNG."""
    raw = b"".join(b"\0" + b"".join(bytes((*c, 255)) if c else b"\0\0\0\0" for c in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
                chunk(b"IEND", b""))


def both(name, paint, width, height):
    write_xpm(name, render(paint, width, height))
    write_xpm(name + "@2x", render(paint, 2 * width, 2 * height))


def main():
    os.makedirs(OUT, exist_ok=True)
    both("leaf", leaf_picture(LIGHT_GREEN, DARK_GREEN, DARK_GREEN), 32, 32)
    # The desktop icon in the sizes of the hicolor theme.
    icons = os.path.join(OUT, "..", "icons")
    os.makedirs(icons, exist_ok=True)
    for size in (16, 32, 48, 256):
        write_png(os.path.join(icons, f"nupew-{size}.png"),
                  render(leaf_picture(LIGHT_GREEN, DARK_GREEN, DARK_GREEN), size, size))
    tools = [
        leaf_picture(LIGHT_GREEN, DARK_GREEN, DARK_GREEN),
        leaf_picture(RED, DARK_RED, DARK_RED),
        leaf_picture(YELLOW, DARK_YELLOW, DARK_YELLOW),
        framed(ruled),
        framed(lambda x, y: WHITE),
        red_on_green,
        table,
        question,
    ]
    for k, paint in enumerate(tools, start=1):
        both(f"tool{k}", paint, 16, 16)
    # Image3 .. Image15: a cross that grows to a star with a yellow centre and back.
    sizes = [(2, 0), (3, 0), (4, 0), (5, 0), (6, 0), (7, 1.2), (8, 2.2),
             (7, 1.2), (6, 0), (5, 0), (4, 0), (3, 0), (2, 0)]
    for k, (size, core) in enumerate(sizes, start=3):
        both(f"star{k:02d}", star(size, core), 17, 17)


if __name__ == "__main__":
    main()
