"""Reads and writes the 8-bit, non-interlaced RGB and RGBA PNG files the
window's pictures are, and the .ico file of the tool. Pure Python, so that
rendering and checking the pictures needs nothing beyond the renderer and
python3; the output is byte for byte the same on every run."""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
RGB, RGBA = 2, 6
CHANNELS = {RGB: 3, RGBA: 4}


class Image:
    """Pixels as rows of (r, g, b, a) tuples, and the colour type read."""

    def __init__(self, width, height, pixels, kind=RGBA):
        self.width, self.height, self.pixels, self.kind = width, height, pixels, kind

    def crop(self, x, y, width, height):
        if x + width > self.width or y + height > self.height:
            raise ValueError("crop %d,%d %dx%d outside %dx%d" % (x, y, width, height, self.width, self.height))
        rows = [row[x:x + width] for row in self.pixels[y:y + height]]
        return Image(width, height, rows, self.kind)


def _chunks(data):
    if data[:8] != SIGNATURE:
        raise ValueError("not a PNG file")
    pos = 8
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        yield kind, data[pos + 8:pos + 8 + length]
        pos += 12 + length


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def header(path):
    """(width, height, bit depth, colour type, interlace) of a PNG file."""
    with open(path, "rb") as f:
        for kind, body in _chunks(f.read()):
            if kind == b"IHDR":
                width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
                return width, height, depth, colour, interlace
    raise ValueError("no IHDR in " + path)


def read(path):
    with open(path, "rb") as f:
        return decode(f.read(), path)


def decode(data, name="PNG data"):
    idat = b""
    for kind, body in _chunks(data):
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    if depth != 8 or colour not in CHANNELS or interlace != 0:
        raise ValueError("%s: only 8-bit non-interlaced RGB or RGBA" % name)
    bpp = CHANNELS[colour]
    stride = width * bpp
    raw = zlib.decompress(idat)
    previous = bytearray(stride)
    rows = []
    for y in range(height):
        start = y * (stride + 1)
        filter_type, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            if filter_type == 1:
                line[i] = (line[i] + a) & 0xFF
            elif filter_type == 2:
                line[i] = (line[i] + b) & 0xFF
            elif filter_type == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif filter_type == 4:
                line[i] = (line[i] + _paeth(a, b, c)) & 0xFF
        previous = line
        if colour == RGBA:
            rows.append([tuple(line[i:i + 4]) for i in range(0, stride, 4)])
        else:
            rows.append([tuple(line[i:i + 3]) + (255,) for i in range(0, stride, 3)])
    return Image(width, height, rows, colour)


def _chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def encode(image, kind):
    """The PNG bytes of an image as colour type kind, without any metadata
    chunk, so that the same pixels always give the same file. RGB refuses
    an image that is not opaque."""
    raw = bytearray()
    for row in image.pixels:
        raw.append(0)
        for r, g, b, a in row:
            if kind == RGB:
                if a != 255:
                    raise ValueError("an RGB picture must be opaque")
                raw += bytes((r, g, b))
            else:
                raw += bytes((r, g, b, a))
    ihdr = struct.pack(">IIBBBBB", image.width, image.height, 8, kind, 0, 0, 0)
    return SIGNATURE + _chunk(b"IHDR", ihdr) + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b"")


def write(path, image, kind):
    with open(path, "wb") as f:
        f.write(encode(image, kind))


def encode_ico(images):
    """An .ico file holding each image as a PNG entry (read by Windows since
    Vista and by Wine), largest last as Windows lists them."""
    entries = [(image, encode(image, RGBA)) for image in images]
    directory, offset = b"", 6 + 16 * len(entries)
    for image, png in entries:
        size = lambda n: 0 if n >= 256 else n
        directory += struct.pack("<BBBBHHII", size(image.width), size(image.height), 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    return struct.pack("<HHH", 0, 1, len(entries)) + directory + b"".join(png for _, png in entries)


def read_ico(path):
    """The PNG entries of an .ico file as Images."""
    with open(path, "rb") as f:
        return decode_ico(f.read(), path)


def decode_ico(data, name="icon data"):
    _, _, count = struct.unpack("<HHH", data[:6])
    images = []
    for i in range(count):
        _, _, _, _, _, _, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        images.append(decode(data[offset:offset + length], name))
    return images
