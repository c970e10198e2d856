#!/usr/bin/env python3
"""Writes the tiny sample images of the image decoder tests (run it in this folder).

PNG files are written with zlib; the JPEG files are hand-built baseline JPEGs of flat 8 x 8
blocks (one DC coefficient each, quantiser 1), which is enough to pin the colour conversion of
grayscale and Adobe CMYK sources exactly.
"""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(width, height, color_type, bit_depth, raw, extra=b"", interlace=0):
    ihdr = struct.pack(">IIBBBBB", width, height, bit_depth, color_type, 0, 0, interlace)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def rows(pixel_rows):
    return b"".join(b"\x00" + r for r in pixel_rows)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def adam7_rgb(width, height, pixel):
    out = b""
    for x0, y0, dx, dy in ADAM7:
        xs = range(x0, width, dx)
        for y in range(y0, height, dy):
            if xs:
                out += b"\x00" + b"".join(bytes(pixel(x, y)) for x in xs)
    return out


def huffman(bits, values):
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[values[k]] = (code, length)
            code, k = code + 1, k + 1
        code <<= 1
    return codes


DC_BITS = [0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0]
DC_VALUES = list(range(12))
AC_BITS = [1] + [0] * 15  # a single code: end of block
AC_VALUES = [0]


class BitWriter:
    def __init__(self):
        self.out, self.acc, self.n = bytearray(), 0, 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = self.acc << 1 | (value >> i & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc, self.n = 0, 0

    def flush(self):
        while self.n:
            self.put(1, 1)
        return bytes(self.out)


def marker(code, data):
    return b"\xff" + bytes([code]) + struct.pack(">H", len(data) + 2) + data


def flat_jpeg(blocks, components, adobe):
    """`blocks`: one row of 8 x 8 blocks, each a tuple of component samples."""
    width, height = 8 * len(blocks), 8
    dc = huffman(DC_BITS, DC_VALUES)
    ac = huffman(AC_BITS, AC_VALUES)
    out = b"\xff\xd8"
    if adobe:
        out += marker(0xEE, b"Adobe" + struct.pack(">HHHB", 100, 0, 0, 0))
    out += marker(0xDB, b"\x00" + b"\x01" * 64)
    out += marker(0xC0, struct.pack(">BHHB", 8, height, width, components)
                  + b"".join(bytes([i + 1, 0x11, 0]) for i in range(components)))
    out += marker(0xC4, b"\x00" + bytes(DC_BITS) + bytes(DC_VALUES))
    out += marker(0xC4, b"\x10" + bytes(AC_BITS) + bytes(AC_VALUES))
    out += marker(0xDA, bytes([components]) + b"".join(bytes([i + 1, 0]) for i in range(components))
                  + b"\x00\x3f\x00")
    bits, previous = BitWriter(), [0] * components
    for block in blocks:
        for c in range(components):
            coefficient = 8 * (block[c] - 128)
            diff = coefficient - previous[c]
            previous[c] = coefficient
            size = abs(diff).bit_length()
            bits.put(*dc[size])
            if size:
                bits.put(diff if diff > 0 else diff + (1 << size) - 1, size)
            bits.put(*ac[0])
    return out + bits.flush() + b"\xff\xd9"


def progressive_jpeg(scans):
    """An 8 x 8 grey progressive JPEG of one DC scan and `scans` - 1 (repeated) AC scans."""
    dc = huffman(DC_BITS, DC_VALUES)
    out = b"\xff\xd8" + marker(0xDB, b"\x00" + b"\x01" * 64)
    out += marker(0xC2, struct.pack(">BHHB", 8, 8, 8, 1) + bytes([1, 0x11, 0]))
    out += marker(0xC4, b"\x00" + bytes(DC_BITS) + bytes(DC_VALUES))
    out += marker(0xC4, b"\x10" + bytes(AC_BITS) + bytes(AC_VALUES))
    bits = BitWriter()
    bits.put(*dc[0])
    out += marker(0xDA, bytes([1, 1, 0, 0, 0, 0])) + bits.flush()
    # End-of-band symbol 0 has the code "0"; the byte is padded with ones.
    ac_scan = marker(0xDA, bytes([1, 1, 0, 1, 63, 0])) + b"\x7f"
    return out + ac_scan * (scans - 1) + b"\xff\xd9"


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


write("rgba.png", png(3, 2, 6, 8, rows([bytes([255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0]),
                                        bytes([10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255])])))
write("palette_trns.png", png(4, 1, 3, 2, rows([bytes([0b00011011])]),
                              chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255]))
                              + chunk(b"tRNS", bytes([255, 0]))))
write("gray16.png", png(2, 2, 0, 16, rows([bytes([0, 0, 255, 255]), bytes([0x80, 0x80, 0x12, 0x34])])))
write("adam7.png", png(9, 9, 2, 8, adam7_rgb(9, 9, lambda x, y: (x * 20, y * 20, 100)), interlace=1))
# Exactly as many scans as the decoder accepts (limits::JpegMaxScans).
write("progressive_500_scans.jpg", progressive_jpeg(500))
write("gray.jpg", flat_jpeg([(50,), (200,)], 1, adobe=False))
# Adobe CMYK is stored inverted: 255 means no ink. Left block red, right block blue.
write("cmyk_adobe.jpg", flat_jpeg([(255, 0, 0, 255), (0, 0, 255, 255)], 4, adobe=True))
