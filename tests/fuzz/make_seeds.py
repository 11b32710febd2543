#!/usr/bin/env python3
"""Writes the seed corpus of the cache-file fuzzer: well-formed cache files with PNG blocks, and
a few typical kinds of damage. Run by hand; the outputs are committed."""
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

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cache_corpus")
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
