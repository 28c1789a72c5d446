"""Reads the PNG files qzffont writes (8-bit grey or RGB, not interlaced):
the chunks and their CRCs checked here, the pixels decoded by Pillow."""
import struct
import zlib

from PIL import Image


def read_png(path):
    """Returns (width, height, rows): rows[y][x] is a grey value or an (r, g, b) tuple."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos = 8
    width = height = channels = None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if zlib.crc32(kind + body) != struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]:
            raise ValueError("bad CRC in " + kind.decode())
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or interlace != 0 or colour not in (0, 2):
                raise ValueError("unexpected PNG format")
            channels = 1 if colour == 0 else 3
        pos += 12 + length
    if channels is None:
        raise ValueError("no IHDR")
    with Image.open(path) as image:
        image.load()
        if image.size != (width, height) or image.mode != ("L" if channels == 1 else "RGB"):
            raise ValueError("unexpected PNG format")
        pixels = image.tobytes()
    stride = width * channels
    rows = []
    for y in range(height):
        line = pixels[y * stride:(y + 1) * stride]
        rows.append(list(line) if channels == 1 else list(zip(line[0::3], line[1::3], line[2::3])))
    return width, height, rows
