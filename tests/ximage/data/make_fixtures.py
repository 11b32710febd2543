#!/usr/bin/env python3
"""Writes the image fixtures of the image-module tests. Run by hand (needs cjpeg from
libjpeg-turbo-progs); the outputs are committed.

Every picture is 64x48 in four quadrants: red, green / blue, white (top row first)."""
import struct, subprocess, zlib

W, H = 64, 48
QUADRANTS = [[(255, 0, 0), (0, 255, 0)], [(0, 0, 255), (255, 255, 255)]]

def colour(x, y):
    return QUADRANTS[y * 2 // H][x * 2 // W]

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

def png(ihdr, rows, extra=b""):
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

# 16 bits per channel, RGB.
rows = [b"".join(struct.pack(">HHH", *(c * 257 for c in colour(x, y))) for x in range(W)) for y in range(H)]
open("rgb16.png", "wb").write(png(struct.pack(">IIBBBBB", W, H, 16, 2, 0, 0, 0), rows))

# Palette of four with the white quadrant fully transparent (tRNS).
palette = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]
rows = [bytes(palette.index(colour(x, y)) for x in range(W)) for y in range(H)]
extra = chunk(b"PLTE", b"".join(bytes(c) for c in palette)) + chunk(b"tRNS", bytes([255, 255, 255, 0]))
open("palette.png", "wb").write(png(struct.pack(">IIBBBBB", W, H, 8, 3, 0, 0, 0), rows, extra))

# Progressive JPEG.
ppm = b"P6 %d %d 255\n" % (W, H) + b"".join(bytes(colour(x, y)) for y in range(H) for x in range(W))
jpeg = subprocess.run(["cjpeg", "-progressive", "-quality", "95"], input=ppm, capture_output=True, check=True).stdout
open("progressive.jpg", "wb").write(jpeg)
