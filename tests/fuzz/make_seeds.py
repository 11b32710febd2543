#!/usr/bin/env python3
"""Writes the seed corpora of the cache-file fuzzer (well-formed cache files with PNG blocks, and a
few typical kinds of damage), of the image fuzzer (pictures and headers, within the limits and past
them) and of the media-format fuzzer (packed DIBs and format blocks). Run by hand; the outputs are
committed."""
import os, struct, zlib

def png(w, h, rgb):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(rgb) * w for _ in range(h))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))

def cache(entries, count=None):
    blocks, table = b"", b""
    start = 12 + 272 * len(entries)
    for name, block in entries:
        table += struct.pack("<ii", start + len(blocks), len(block)) + name.encode().ljust(256, b"\0") + struct.pack("<II", 0x89ABCDEF, 0x01D9ABCD)
        blocks += block
    n = len(entries) if count is None else count
    return struct.pack("<IIi", 0x94439412, 1, n) + table + blocks

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "cache_corpus")
seeds = {
    "empty": cache([]),
    "one": cache([("C:\\Media\\a.avi", png(16, 12, (200, 40, 40)))]),
    "three": cache([("C:\\Media\\a.avi", png(8, 8, (1, 2, 3))), ("C:\\Media\\b.avi", png(1, 1, (0, 0, 0))),
                    ("C:\\Media\\c.mp3", png(24, 18, (9, 90, 200)))]),
    "more-claimed": cache([("C:\\Media\\a.avi", png(4, 4, (5, 5, 5)))], count=9),
    "truncated": cache([("C:\\Media\\a.avi", png(16, 16, (7, 7, 7)))])[:300],
    "wrong-version": struct.pack("<IIi", 0x94439412, 2, 0),
}
for name, data in seeds.items():
    with open(os.path.join(out, name + ".cache"), "wb") as f:
        f.write(data)


def bmp(w, h, bpp, info=40):
    stride = (w * bpp // 8 + 3) & ~3
    pixels = bytes(range(256)) * (stride * abs(h) // 256 + 1)
    header = (struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, 0, 0, 0, 0, 0) if info == 40
              else struct.pack("<IHHHH", 12, w, h, 1, bpp))
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + stride * abs(h), 0, 0, 14 + len(header)) + header + pixels[:stride * abs(h)]

jpeg = open(os.path.join(here, "..", "ximage", "data", "progressive.jpg"), "rb").read()
sof = jpeg.index(b"\xff\xc2")  # height, then width, 5 and 7 bytes in
images = {
    "small.png": png(16, 12, (200, 40, 40)),
    "huge-claim.png": png(16, 12, (1, 2, 3)).replace(struct.pack(">II", 16, 12), struct.pack(">II", 100000, 100000)),
    "cut.png": png(8, 8, (9, 9, 9))[:-12],
    "trailing.png": png(2, 2, (5, 6, 7)) + b"more bytes",
    "progressive.jpg": jpeg,
    "wide.jpg": jpeg[:sof + 7] + struct.pack(">H", 9000) + jpeg[sof + 9:],
    "24.bmp": bmp(4, 3, 24),
    "32-top-down.bmp": bmp(3, -3, 32),
    "core.bmp": bmp(5, 2, 24, info=12),
    "wide.bmp": bmp(10000, 1, 24)[:200],
}
dibs = {
    "24.dib": bmp(4, 2, 24)[14:],
    "32-top-down.dib": bmp(3, -3, 32)[14:],
    "cut.dib": bmp(4, 4, 24)[14:-5],
    "wide.dib": bmp(9000, 1, 32)[14:140],
    "videoinfo": struct.pack("<iiii", 0, 0, 640, 360) + bytes(32) + struct.pack("<IiiHHI", 40, 640, 360, 1, 24, 0) + bytes(20),
    "videoinfo2": struct.pack("<iiii", 0, 0, 720, 576) + bytes(56) + struct.pack("<IiiHHI", 40, 720, 576, 1, 12, 0x32315659) + bytes(20),
    "waveformat": struct.pack("<HHIIHHH", 1, 2, 44100, 176400, 4, 16, 0),
}
for folder, seeds in (("image_corpus", images), ("dshow_corpus", dibs)):
    os.makedirs(os.path.join(here, folder), exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(here, folder, name), "wb") as f:
            f.write(data)
