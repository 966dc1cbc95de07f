#!/usr/bin/env python3
"""Writes examples/demo.swf: a small looping movie (a ball crossing a gradient-free sky).

Kept beside the project so the demo movie can be made again; it is not part of the build.
Usage: tools/make-demo-movie.py examples/demo.swf
"""
import math
import struct
import sys


class Bits:
    def __init__(self):
        self.bits = []

    def u(self, value, n):
        self.bits += [(value >> (n - 1 - i)) & 1 for i in range(n)]

    def s(self, value, n):
        self.u(value & ((1 << n) - 1), n)

    def data(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, padded[i:i + 8])), 2) for i in range(0, len(padded), 8))


def signed_bits(*values):
    return max(max(abs(v) for v in values).bit_length() + 1, 2)


def rect(xmin, xmax, ymin, ymax):
    b = Bits()
    n = signed_bits(xmin, xmax, ymin, ymax)
    b.u(n, 5)
    for v in (xmin, xmax, ymin, ymax):
        b.s(v, n)
    return b.data()


def tag(code, body):
    if len(body) < 63:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 63, len(body)) + body


def shape(shape_id, color, points):
    """A closed polygon filled with one solid colour (DefineShape)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    body = struct.pack("<H", shape_id) + rect(min(xs), max(xs), min(ys), max(ys))
    body += bytes([1, 0x00]) + bytes(color) + bytes([0])  # one solid fill, no lines
    b = Bits()
    b.u(1, 4)  # fill bits
    b.u(0, 4)  # line bits
    b.u(0, 1), b.u(0, 1), b.u(0, 1), b.u(1, 1), b.u(0, 1), b.u(1, 1)  # style change: fill1, move
    n = signed_bits(*points[0])
    b.u(n, 5), b.s(points[0][0], n), b.s(points[0][1], n)
    b.u(1, 1)  # fill style 1
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        dx, dy = x1 - x0, y1 - y0
        n = signed_bits(dx, dy)
        b.u(1, 1), b.u(1, 1), b.u(n - 2, 4), b.u(1, 1), b.s(dx, n), b.s(dy, n)
    b.u(0, 6)  # end of shape
    return tag(2, body + b.data())


def place(depth, char_id, x, y, move):
    flags = 0x04 | (0x01 if move else 0x02)
    body = struct.pack("<BH", flags, depth)
    if not move:
        body += struct.pack("<H", char_id)
    b = Bits()
    b.u(0, 1), b.u(0, 1)
    n = signed_bits(x, y)
    b.u(n, 5), b.s(x, n), b.s(y, n)
    return tag(26, body + b.data())


def main(path):
    width, height, frames = 550 * 20, 400 * 20, 48
    ball = [(int(600 * math.cos(a * math.pi / 12)), int(600 * math.sin(a * math.pi / 12))) for a in range(24)]
    ground = [(0, 6400), (width, 6400), (width, height), (0, height)]
    tags = tag(9, bytes([0x1E, 0x3C, 0x72]))  # a deep blue background
    tags += shape(1, (0x2E, 0x8B, 0x57), ground) + shape(2, (0xFF, 0xC8, 0x3C), ball)
    tags += place(1, 1, 0, 0, False)
    for frame in range(frames):
        t = frame / frames
        x = int(1000 + t * (width - 2000))
        y = int(5600 - 3600 * math.sin(t * math.pi))
        tags += place(2, 2, x, y, frame > 0) + tag(1, b"")
    tags += tag(0, b"")
    header = rect(0, width, 0, height) + struct.pack("<HH", 24 << 8, frames)
    movie = b"FWS" + bytes([6]) + struct.pack("<I", 8 + len(header) + len(tags)) + header + tags
    with open(path, "wb") as out:
        out.write(movie)


if __name__ == "__main__":
    main(sys.argv[1])
