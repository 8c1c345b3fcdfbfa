"""Minimal PNG reading and writing with the standard library only.

Reads the 8-bit RGB and RGBA files that rsvg-convert writes and writes 8-bit
RGB files, which is all the picture generator and its checks need.
"""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {2: 3, 6: 4}  # colour type -> samples per pixel


class Image:
    """A picture as rows of pixels: width, height, channels and a flat bytearray."""

    def __init__(self, width, height, channels, data=None):
        self.width = width
        self.height = height
        self.channels = channels
        self.data = data if data is not None else bytearray(width * height * channels)

    def pixel(self, x, y):
        i = (y * self.width + x) * self.channels
        return tuple(self.data[i:i + self.channels])


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(raw, width, height, bpp):
    stride = width * bpp
    out = bytearray(stride * height)
    prev = bytearray(stride)
    pos = 0
    for y in range(height):
        if pos + 1 + stride > len(raw):
            raise ValueError("image data too short")
        kind = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 0xFF
        elif kind == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 0xFF
        elif kind == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                upleft = prev[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + _paeth(left, prev[i], upleft)) & 0xFF
        elif kind != 0:
            raise ValueError("unknown filter %d" % kind)
        out[y * stride:(y + 1) * stride] = line
        prev = line
    return out


def read(path):
    """Reads an 8-bit, non-interlaced RGB or RGBA PNG file."""
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:8] != SIGNATURE:
        raise ValueError("%s: not a PNG file" % path)
    pos = 8
    header = None
    idat = bytearray()
    while pos + 8 <= len(blob):
        length, kind = struct.unpack(">I4s", blob[pos:pos + 8])
        body = blob[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise ValueError("%s: chunk cut short" % path)
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if header is None:
        raise ValueError("%s: no header" % path)
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in CHANNELS or interlace != 0:
        raise ValueError("%s: only 8-bit RGB or RGBA without interlace is read" % path)
    channels = CHANNELS[colour]
    data = _unfilter(zlib.decompress(bytes(idat)), width, height, channels)
    return Image(width, height, channels, data)


def _chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body
            + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def write_rgb(path, image):
    """Writes an RGB image (3 channels) as an 8-bit PNG file."""
    assert image.channels == 3
    stride = image.width * 3
    raw = bytearray()
    for y in range(image.height):
        raw.append(0)
        raw += image.data[y * stride:(y + 1) * stride]
    header = struct.pack(">IIBBBBB", image.width, image.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(SIGNATURE)
        f.write(_chunk(b"IHDR", header))
        f.write(_chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(_chunk(b"IEND", b""))
