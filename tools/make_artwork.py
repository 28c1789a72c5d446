#!/usr/bin/env python3
"""Paints the window's artwork at build time: the background picture and the
two program icon files.

  make_artwork.py OUTDIR

writes OUTDIR/background.bmp (1024 x 768, 24 bits, uncompressed, bottom-up),
OUTDIR/icon_single.ico (one 48 x 48 image at 256 colours) and
OUTDIR/icon_set.ico (32 and 16 px at 16 colours; 48, 32 and 16 px at 256
colours and at 32 bits). Only the standard library is used, and the output is
the same on every run.
"""

import math
import os
import struct
import sys

WIDTH, HEIGHT = 1024, 768
PIXELS_PER_METRE = 11813
# The resource loader is handed 2359338 bytes from the info header on: the
# pixel rows plus two bytes of trailing padding, as paint programs write them.
TRAILING_PAD = 2

# Where the preview lines stand, in pixels of the client area: the window
# maps the template's 682 x 470 dialog units onto this 1024 x 768 picture, so
# the statics span y 582..672 and x 277..898. The band leaves a margin around
# them.
BAND_TOP, BAND_BOTTOM = 548, 700
# The preview text colour; the band must never hold it, so that the text can
# be told from the picture.
PREVIEW_TEXT = (238, 222, 206)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else v


def ridge(x, seed, base, amplitude):
    """Height of a mountain ridge at column x: a few sines, different per layer."""
    h = 0.0
    for k, (freq, phase) in enumerate(((0.004, 0.3), (0.011, 1.7), (0.027, 4.1), (0.061, 2.2))):
        h += math.sin(x * freq * (1 + seed * 0.37) + phase + seed) / (k + 1)
    return base - amplitude * h


def paint_background():
    sky_top, sky_mid, horizon = (22, 24, 60), (92, 60, 96), (226, 146, 82)
    sun_x, sun_y, sun_r = 310.0, 392.0, 58.0
    layers = [  # (seed, base line, amplitude, colour): far to near
        (1, 400.0, 46.0, (120, 86, 104)),
        (2, 450.0, 52.0, (78, 58, 82)),
        (3, 505.0, 40.0, (44, 36, 54)),
    ]
    heights = [[ridge(x, s, b, a) for x in range(WIDTH)] for s, b, a, _ in layers]

    rows = []
    for y in range(HEIGHT):
        if y < 300:
            sky = mix(sky_top, sky_mid, y / 300)
        else:
            sky = mix(sky_mid, horizon, min(1.0, (y - 300) / 160))
        row = bytearray(WIDTH * 3)
        for x in range(WIDTH):
            colour = sky
            d = math.hypot(x - sun_x, y - sun_y)
            if d < sun_r:
                colour = (252, 214, 150)
            elif d < sun_r * 3:
                colour = mix(colour, (250, 190, 120), (1 - (d - sun_r) / (sun_r * 2)) ** 2 * 0.6)
            for (_, _, _, layer_colour), h in zip(layers, heights):
                if y >= h[x]:
                    # Mist: the foot of each ridge fades toward the sky colour.
                    colour = mix(layer_colour, sky, max(0.0, 0.35 - (y - h[x]) / 400))
            if y > 560:
                colour = mix(colour, (26, 22, 28), min(1.0, (y - 560) / 60))
            # A faint brush grain, deterministic.
            grain = ((x * 73 + y * 151) ^ (x * y)) % 7 - 3
            r, g, b = (clamp(c + grain) for c in colour)
            row[x * 3:x * 3 + 3] = bytes((b, g, r))
        rows.append(row)

    # The dark band for the preview lines, with thin gold rules at its edges.
    for y in range(BAND_TOP, BAND_BOTTOM):
        shade = 14 + int(6 * math.sin((y - BAND_TOP) / (BAND_BOTTOM - BAND_TOP) * math.pi))
        row = rows[y]
        for x in range(WIDTH):
            edge = min(x, WIDTH - 1 - x)
            fade = min(1.0, edge / 120)
            r, g, b = row[x * 3 + 2], row[x * 3 + 1], row[x * 3]
            dark = (shade + 4, shade + 2, shade + 6)
            nr, ng, nb = mix((r, g, b), dark, 0.55 + 0.45 * fade)
            row[x * 3:x * 3 + 3] = bytes((nb, ng, nr))
    for y in (BAND_TOP, BAND_TOP + 1, BAND_BOTTOM - 2, BAND_BOTTOM - 1):
        row = rows[y]
        for x in range(40, WIDTH - 40):
            row[x * 3:x * 3 + 3] = bytes((70, 118, 160))
    return rows


def write_bmp(path, rows):
    stride = WIDTH * 3  # already a multiple of 4
    image_size = stride * HEIGHT + TRAILING_PAD
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, image_size, PIXELS_PER_METRE, PIXELS_PER_METRE,
                       0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + image_size, 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(file_header)
        f.write(info)
        for row in reversed(rows):  # bottom-up
            f.write(row)
        f.write(bytes(TRAILING_PAD))


def paint_icon(size):
    """The program icon as RGBA rows, top-down: a red seal stone bearing a
    stylised character in pale ink."""
    seal, rim, ink = (178, 34, 38), (120, 18, 22), (250, 236, 214)
    s = size / 48.0
    radius = 7 * s
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            # Rounded square: distance outside the inner rectangle.
            dx = max(radius + 1 - cx, 0, cx - (size - 1 - radius))
            dy = max(radius + 1 - cy, 0, cy - (size - 1 - radius))
            if math.hypot(dx, dy) > radius:
                row.append((0, 0, 0, 0))
                continue
            colour = seal
            if cx < 3 * s or cy < 3 * s or cx > size - 3 * s or cy > size - 3 * s:
                colour = rim
            row.append(colour + (255,))
        pixels.append(row)

    # Strokes in 48-unit coordinates: (x0, y0, x1, y1).
    strokes = [
        (22, 8, 26, 13),  # dot
        (10, 13, 38, 16),  # roof
        (10, 13, 13, 20),
        (35, 13, 38, 20),
        (15, 21, 33, 24),  # upper bar
        (29, 21, 33, 27),
        (22, 26, 26, 40),  # hook
        (17, 37, 26, 40),
        (9, 29, 39, 32),  # cross bar
    ]
    for x0, y0, x1, y1 in strokes:
        for y in range(int(y0 * s), max(int(y1 * s), int(y0 * s) + 1)):
            for x in range(int(x0 * s), max(int(x1 * s), int(x0 * s) + 1)):
                pixels[y][x] = ink + (255,)
    return pixels


def palette_for(pixels, entries):
    colours = []
    for row in pixels:
        for p in row:
            if p[3] and p[:3] not in colours:
                colours.append(p[:3])
    colours.insert(0, (0, 0, 0))  # index 0: under the transparent parts
    assert len(colours) <= entries, "icon has more colours than its palette"
    return colours + [(0, 0, 0)] * (entries - len(colours))


def icon_image(size, bits):
    """One icon image as stored in an .ico file: info header, palette, colour
    rows and the transparency mask, both bottom-up."""
    pixels = paint_icon(size)
    palette = []
    if bits == 32:
        stride = size * 4
        colour_rows = [b"".join(bytes((p[2], p[1], p[0], p[3])) for p in row) for row in pixels]
    else:
        palette = palette_for(pixels, 1 << bits)
        index = {c: i for i, c in reversed(list(enumerate(palette)))}
        stride = (size * bits + 31) // 32 * 4
        colour_rows = []
        for row in pixels:
            indices = [index[p[:3]] if p[3] else 0 for p in row]
            if bits == 8:
                data = bytes(indices)
            else:
                data = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
            colour_rows.append(data.ljust(stride, b"\0"))
    mask_stride = (size + 31) // 32 * 4
    mask_rows = []
    for row in pixels:
        bits_row = bytearray(mask_stride)
        for x, p in enumerate(row):
            if not p[3]:
                bits_row[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(bits_row))
    colour = b"".join(reversed(colour_rows))
    mask = b"".join(reversed(mask_rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask), 0, 0, 0, 0)
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal + colour + mask


def write_ico(path, formats):
    images = [(size, bits, icon_image(size, bits)) for size, bits in formats]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, bits, image in images:
        colour_count = 16 if bits == 4 else 0
        entries += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(image), offset)
        offset += len(image)
        data += image
    with open(path, "wb") as f:
        f.write(directory + entries + data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_artwork.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    rows = paint_background()
    band = b"".join(rows[BAND_TOP:BAND_BOTTOM])
    r, g, b = PREVIEW_TEXT
    assert all(band[i:i + 3] != bytes((b, g, r)) for i in range(0, len(band), 3)), "band holds the text colour"
    write_bmp(os.path.join(out, "background.bmp"), rows)
    write_ico(os.path.join(out, "icon_single.ico"), [(48, 8)])
    write_ico(os.path.join(out, "icon_set.ico"), [(32, 4), (16, 4), (48, 8), (32, 8), (16, 8), (48, 32), (32, 32),
                                                  (16, 32)])


if __name__ == "__main__":
    main()
