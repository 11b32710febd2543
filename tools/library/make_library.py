#!/usr/bin/env python3
"""Makes the sample media library that the player simulator serves:

  Holiday Films/     video files with a .JPG side image of their scene, one with a .THM (a small
                     JPEG) only, one with both showing different scenes; without side images, real
                     MJPEG videos at one frame a second, each frame showing its time as "M:SS"
                     (AVI and QuickTime of 20 s, a ten-minute AVI, Matroska and MP4 of 30 s), an
                     AVI cut off in its first frame, and a text file named like a video
  Jazz Evenings/     MP3 files carrying an embedded cover picture (ID3v2 APIC)
  Live at the Harbour/  thirty MP3 files sharing one cover, for paging
  Night Sessions/    MP3 (ID3v2.3, ID3v2.4), FLAC and M4A files with covers of several sizes and
                     shapes, a PNG one, a back cover stored before the front one, and no cover
  Field Recordings/  a WAV file, an Ogg file and a few files that are not media
  Evening Mix.m3u    a playlist across the albums

Usage: make_library.py DIR
       make_library.py --video PATH SECONDS   one such video at one frame a second: Matroska for
                                              .mkv, MP4 for .mp4, QuickTime for .mov, else AVI
The files are small; the pictures are drawn here, nothing is fetched."""
import math, os, struct, sys, tempfile, zlib
from collections import namedtuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pylib"))
from raster import (Canvas, circle, encode_jpeg, polygon, ring, rrect, segment, subtract, union,  # noqa: E402
                    vgrad, write_jpeg_bytes, write_png)

W, H = 320, 180

def sky(c, top, bottom, horizon):
    c.shape(lambda x, y: -1, vgrad(top, bottom, 0, horizon))

def beach():
    c = Canvas(W, H, (0, 0, 0, 255))
    sky(c, (70, 150, 235), (190, 225, 250), 110)
    c.shape(circle(240, 52, 24), (255, 230, 120))
    c.shape(lambda x, y: 105 - y + 3 * math.sin(x / 14), vgrad((20, 110, 180), (10, 70, 140), 100, 140))
    c.shape(lambda x, y: 138 - y + 6 * math.sin(x / 40), vgrad((240, 215, 160), (215, 185, 125), 130, 180))
    c.shape(segment(70, 150, 86, 95, 3), (110, 80, 50))  # a palm
    for a in range(5):
        ang = math.pi * (0.9 + a * 0.3)
        c.shape(segment(86, 95, 86 + 30 * math.cos(ang), 95 + 14 * math.sin(ang) - 6, 3), (40, 140, 60))
    return c

def mountains():
    c = Canvas(W, H, (0, 0, 0, 255))
    sky(c, (120, 170, 230), (225, 235, 245), 120)
    c.shape(polygon([(0, 150), (90, 40), (170, 150)]), (90, 100, 120))
    c.shape(polygon([(70, 60), (90, 40), (112, 66), (98, 60), (86, 70)]), (250, 250, 255))
    c.shape(polygon([(120, 150), (220, 55), (320, 150)]), (70, 85, 105))
    c.shape(polygon([(200, 74), (220, 55), (242, 76), (226, 70), (212, 80)]), (250, 250, 255))
    c.shape(lambda x, y: 135 - y + 5 * math.sin(x / 30), vgrad((70, 140, 70), (40, 100, 45), 130, 180))
    c.shape(segment(150, 180, 175, 138, 5), (200, 180, 140))  # the trail
    return c

def city():
    c = Canvas(W, H, (0, 0, 0, 255))
    sky(c, (10, 15, 50), (60, 40, 100), 180)
    c.shape(circle(60, 40, 14), (240, 240, 220))
    heights = [90, 120, 70, 140, 100, 60, 130, 85, 110, 75]
    for i, h in enumerate(heights):
        x0 = i * 32
        c.shape(rrect(x0 + 2, H - h, x0 + 30, H + 5, 1), (25, 25, 45))
        for wy in range(H - h + 8, H - 6, 12):
            for wx in (x0 + 7, x0 + 17):
                if (wx * 7 + wy * 3) % 5 < 3:
                    c.shape(rrect(wx, wy, wx + 6, wy + 6, 0.5), (255, 210, 90))
    return c

def harbour():
    c = Canvas(W, H, (0, 0, 0, 255))
    sky(c, (250, 140, 60), (255, 210, 130), 100)
    c.shape(circle(160, 100, 30), (255, 240, 190))
    c.shape(lambda x, y: 100 - y, vgrad((230, 120, 70), (90, 50, 80), 100, 180))
    c.shape(polygon([(100, 140), (190, 140), (175, 155), (112, 155)]), (40, 30, 40))  # a boat
    c.shape(segment(145, 140, 145, 95, 2), (40, 30, 40))
    c.shape(polygon([(147, 98), (147, 136), (178, 136)]), (240, 235, 225))
    return c

def snow(w=160, h=120):
    c = Canvas(w, h, (0, 0, 0, 255))
    sky(c, (150, 180, 215), (225, 235, 245), h * 0.6)
    c.shape(lambda x, y: h * 0.62 - y + 6 * math.sin(x / 17), (245, 248, 255))
    for tx, ty, s in ((30, 70, 22), (58, 78, 16), (118, 66, 26)):  # pines
        c.shape(polygon([(tx - s / 2, ty), (tx, ty - s * 1.4), (tx + s / 2, ty)]), (30, 80, 60))
    for i in range(40):  # flakes
        c.shape(circle((i * 37) % w, (i * 53) % (h - 10), 1.3), (255, 255, 255))
    return c

def fields():
    c = Canvas(W, H, (0, 0, 0, 255))
    sky(c, (90, 170, 250), (200, 230, 255), 100)
    c.shape(circle(270, 40, 20), (255, 225, 80))
    c.shape(lambda x, y: 105 - y + 8 * math.sin(x / 50), vgrad((120, 200, 70), (60, 140, 40), 100, 180))
    c.shape(rrect(90, 90, 150, 135, 1), (190, 40, 35))  # a red barn
    c.shape(polygon([(84, 92), (120, 62), (156, 92)]), (120, 30, 30))
    c.shape(rrect(112, 110, 128, 135, 0.5), (250, 240, 220))
    return c

def night(w=160, h=120):
    c = Canvas(w, h, (0, 0, 0, 255))
    sky(c, (5, 5, 25), (30, 30, 70), h)
    c.shape(subtract(circle(120, 30, 14), circle(127, 26, 12)), (250, 245, 200))  # a crescent moon
    for i in range(30):
        c.shape(circle((i * 53 + 17) % w, (i * i * 7 + i * 3) % (h // 2), 0.9), (255, 255, 230))
    c.shape(lambda x, y: h * 0.75 - y + 5 * math.sin(x / 20), (15, 20, 20))
    c.shape(polygon([(70, 100), (80, 80), (90, 100)]), (255, 140, 30))  # a campfire
    return c

def cover(hue):
    c = Canvas(300, 300, (0, 0, 0, 255))
    c.shape(lambda x, y: -1, vgrad((20, 20, 30), hue, 0, 300))
    c.shape(circle(150, 150, 110), (15, 15, 20))
    for r in (100, 85, 70):
        c.shape(lambda x, y, r=r: abs(math.hypot(x - 150, y - 150) - r) - 0.8, (60, 60, 70))
    c.shape(circle(150, 150, 36), hue)
    c.shape(circle(150, 150, 5), (15, 15, 20))
    return c

SEGMENTS = {"1": "bc", "2": "abged", "3": "abgcd", "4": "fgbc", "5": "afgcd", "6": "afgedc"}

def numeral(ch, x0, y0, x1, y1, r):
    """A digit of seven rounded strokes in the box."""
    ym = (y0 + y1) / 2
    ends = {"a": (x0, y0, x1, y0), "b": (x1, y0, x1, ym), "c": (x1, ym, x1, y1), "d": (x0, y1, x1, y1),
            "e": (x0, ym, x0, y1), "f": (x0, y0, x0, ym), "g": (x0, ym, x1, ym)}
    return union(*(segment(*ends[s], r) for s in SEGMENTS[ch]))

def enlarged(c, w, h):
    """The canvas at w x h, each pixel repeated: a big cover costs no more drawing than a small one."""
    out = Canvas(1, 1)
    out.w, out.h = w, h
    out.px = [c.px[(y * c.h // h) * c.w + x * c.w // w] for y in range(h) for x in range(w)]
    return out

# The Night Sessions covers, each told apart at a glance by its colour, motif and number.
def cover_rings():  # magenta rings on purple, "1"
    c = Canvas(150, 150, (0, 0, 0, 255))
    c.shape(lambda x, y: -1, vgrad((60, 10, 90), (150, 20, 120), 0, 150))
    for r in (66, 54, 42):
        c.shape(ring(circle(75, 75, r), 4), (255, 80, 200))
    c.shape(numeral("1", 75, 45, 75, 105, 7), (255, 255, 255))
    return c

def cover_moon():  # a crescent moon on teal, "2"
    c = Canvas(150, 150, (0, 0, 0, 255))
    c.shape(lambda x, y: -1, vgrad((0, 90, 100), (0, 150, 140), 0, 150))
    c.shape(subtract(circle(105, 40, 26), circle(117, 32, 22)), (250, 245, 190))
    c.shape(numeral("2", 35, 55, 85, 125, 8), (255, 255, 255))
    return c

def cover_wide():  # sunset bands, a black "3" (drawn 200 x 112 for 400 x 225)
    c = Canvas(200, 112, (0, 0, 0, 255))
    for i, colour in enumerate(((255, 200, 60), (255, 150, 40), (240, 90, 40), (180, 40, 60), (90, 20, 60))):
        c.shape(rrect(-1, i * 112 / 5, 201, (i + 1) * 112 / 5 + 1, 0), colour)
    c.shape(numeral("3", 80, 20, 120, 92, 7), (10, 10, 10))
    return c

def cover_tiny():  # a black "4" on yellow, 50 x 50
    c = Canvas(50, 50, (250, 210, 0, 255))
    c.shape(numeral("4", 16, 10, 34, 40, 3.5), (0, 0, 0))
    return c

def cover_bells():  # blue bells on white, a navy "5" (PNG)
    c = Canvas(128, 128, (255, 255, 255, 255))
    for bx, by in ((28, 30), (100, 30), (28, 98), (100, 98)):
        c.shape(circle(bx, by, 14), (90, 170, 240))
    c.shape(numeral("5", 44, 30, 84, 98, 7), (20, 30, 110))
    return c

def cover_front():  # the front cover: a white "6" on red, a gold frame
    c = Canvas(120, 120, (200, 20, 30, 255))
    c.shape(ring(rrect(6, 6, 114, 114, 8), 5), (250, 200, 60))
    c.shape(numeral("6", 40, 26, 80, 94, 7), (255, 255, 255))
    return c

def cover_back():  # the back cover, which must not be shown: a dark "X" on grey
    c = Canvas(140, 140, (150, 150, 150, 255))
    c.shape(union(segment(30, 30, 110, 110, 9), segment(110, 30, 30, 110, 9)), (60, 60, 60))
    return c

Picture = namedtuple("Picture", "mime data width height")

def jpeg(c):
    return Picture(b"image/jpeg", write_jpeg_bytes(c), c.w, c.h)

def png(c):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "cover.png")
        write_png(path, c)
        with open(path, "rb") as f:
            return Picture(b"image/png", f.read(), c.w, c.h)

FRONT, BACK = 3, 4  # picture types of ID3v2 and FLAC

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])

def mp3(title, artist, album, pictures, seconds=1, version=3, padding=0):
    """An ID3v2.3 or v2.4 tag with text frames and one APIC frame per (type, Picture), then silence."""
    def frame(fid, body):
        size = syncsafe(len(body)) if version == 4 else struct.pack(">I", len(body))
        return fid + size + b"\x00\x00" + body
    def text_frame(fid, text):  # v2.4 has UTF-8 (3), v2.3 takes Latin-1 (0)
        return frame(fid, b"\x03" + text.encode("utf-8") if version == 4 else b"\x00" + text.encode("latin-1"))
    frames = text_frame(b"TIT2", title) + text_frame(b"TPE1", artist) + text_frame(b"TALB", album)
    for kind, picture in pictures:
        frames += frame(b"APIC", b"\x00" + picture.mime + b"\x00" + bytes([kind]) + b"Cover\x00" + picture.data)
    frames += bytes(padding)
    tag = b"ID3" + bytes([version, 0, 0]) + syncsafe(len(frames)) + frames
    # Silent MPEG-1 Layer III frames, 128 kbit/s at 44.1 kHz: 417 bytes each, about 38 a second.
    frame = b"\xFF\xFB\x90\x64" + bytes(413)
    return tag + frame * (38 * seconds)

def flac(title, artist, album, pictures):
    """A FLAC stream of metadata only: STREAMINFO (44.1 kHz, stereo, 16 bits, length unknown), a
    Vorbis comment, and one PICTURE block per (type, Picture)."""
    def block(kind, body):
        return bytes([kind]) + len(body).to_bytes(3, "big") + body
    # Block sizes, frame sizes unknown, rate, channels - 1, bits - 1, sample count unknown, no MD5.
    info = (struct.pack(">HH", 4096, 4096) + bytes(6) + ((44100 << 44) | (1 << 41) | (15 << 36)).to_bytes(8, "big") +
            bytes(16))
    vendor = b"make_library"
    comments = [f"{k}={v}".encode("utf-8") for k, v in (("TITLE", title), ("ARTIST", artist), ("ALBUM", album))]
    blocks = [block(0, info),
              block(4, struct.pack("<I", len(vendor)) + vendor + struct.pack("<I", len(comments)) +
                    b"".join(struct.pack("<I", len(t)) + t for t in comments))]
    for kind, p in pictures:
        blocks.append(block(6, struct.pack(">II", kind, len(p.mime)) + p.mime + struct.pack(">I", 0) +
                            struct.pack(">IIIII", p.width, p.height, 24, 0, len(p.data)) + p.data))
    blocks[-1] = bytes([blocks[-1][0] | 0x80]) + blocks[-1][1:]  # the last block says so
    return b"fLaC" + b"".join(blocks)

def atom(kind, body):
    return struct.pack(">I", 8 + len(body)) + kind + body

def m4a(title, artist, album, picture):
    """MPEG-4 audio without samples: ftyp, moov with a movie header and the item list under
    udta/meta/ilst (cover in covr/data), and an empty mdat."""
    def item(kind, text):  # data type 1: UTF-8
        return atom(kind, atom(b"data", struct.pack(">II", 1, 0) + text.encode("utf-8")))
    matrix = struct.pack(">9I", 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000)
    mvhd = atom(b"mvhd", struct.pack(">IIIII", 0, 0, 0, 44100, 0) + struct.pack(">IH", 0x10000, 0x100) + bytes(10) +
                matrix + bytes(24) + struct.pack(">I", 1))
    hdlr = atom(b"hdlr", bytes(8) + b"mdirappl" + bytes(9))
    kind = 14 if picture.mime == b"image/png" else 13
    ilst = atom(b"ilst", item(b"\xa9nam", title) + item(b"\xa9ART", artist) + item(b"\xa9alb", album) +
                atom(b"covr", atom(b"data", struct.pack(">II", kind, 0) + picture.data)))
    meta = atom(b"meta", bytes(4) + hdlr + ilst)  # a full box: version and flags first
    return (atom(b"ftyp", b"M4A " + bytes(4) + b"M4A mp42isom") + atom(b"moov", mvhd + atom(b"udta", meta)) +
            atom(b"mdat", b""))

def wav(seconds=1, rate=8000):
    samples = bytes(128 + int(40 * math.sin(i / 6.0) * math.sin(i / 900.0)) for i in range(rate * seconds))
    return (b"RIFF" + struct.pack("<I", 36 + len(samples)) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, rate, rate, 1, 8) + b"data" + struct.pack("<I", len(samples)) + samples)

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)

# ---------------------------------------------------------------- videos
# Real videos: JPEG keyframes (one a second by default), each frame showing its own time as big
# block digits on a background of the video's own colour, in an AVI, Matroska or MP4/QuickTime file.

DIGITS = {"0": "abcdef", "1": "bc", "2": "abdeg", "3": "abcdg", "4": "bcfg", "5": "acdfg", "6": "acdefg",
          "7": "abc", "8": "abcdefg", "9": "abcdfg"}
BACKGROUNDS = [(35, 90, 170), (170, 50, 50), (40, 130, 70), (120, 60, 150), (185, 105, 20), (20, 120, 130),
               (160, 40, 110), (85, 90, 105)]

def fill(buf, w, x0, y0, x1, y1, rgb):
    """Fills a rectangle of a packed RGB buffer w pixels wide, one slice copy a row."""
    x0, x1 = max(0, x0), min(w, x1)
    if x1 <= x0: return
    row = bytes(rgb) * (x1 - x0)
    for y in range(max(0, y0), min(len(buf) // (3 * w), y1)):
        buf[(y * w + x0) * 3:(y * w + x1) * 3] = row

def draw_text(buf, w, text, x, y, dh, rgb):
    """Block digits and colons dh pixels high, from (x, y) rightwards."""
    dw, t = dh * 11 // 20, max(2, dh // 6)
    for ch in text:
        if ch == ":":
            for cy in (y + dh * 3 // 10, y + dh * 7 // 10 - t):
                fill(buf, w, x, cy, x + t, cy + t, rgb)
            x += t + t
            continue
        mid = y + (dh - t) // 2
        rects = {"a": (x, y, x + dw, y + t), "b": (x + dw - t, y, x + dw, mid + t),
                 "c": (x + dw - t, mid, x + dw, y + dh), "d": (x, y + dh - t, x + dw, y + dh),
                 "e": (x, mid, x + t, y + dh), "f": (x, y, x + t, mid + t), "g": (x, mid, x + dw, mid + t)}
        for s in DIGITS[ch]:
            fill(buf, w, *rects[s], rgb)
        x += dw + t

def text_width(text, dh):
    dw, t = dh * 11 // 20, max(2, dh // 6)
    return sum(2 * t if ch == ":" else dw + t for ch in text) - t

def clock(seconds):
    m, s = divmod(int(seconds), 60)
    return f"{m}:{s:02d}"

def video_frame(text, done, background, w=W, h=H):
    """A frame: text ("M:SS") in white block digits over a dark shadow, as large as the frame
    allows so that a 100-pixel thumbnail still reads it, and a bar at the bottom done (0..1) full."""
    buf = bytearray(bytes(background) * (w * h))
    shade = tuple(c * 2 // 5 for c in background)
    dh = h * 5 // 9
    while dh > 8 and text_width(text, dh) > w * 9 // 10: dh -= 2
    x, y, off = (w - text_width(text, dh)) // 2, (h - dh) * 2 // 5, max(2, dh // 25)
    draw_text(buf, w, text, x + off, y + off, dh, shade)
    draw_text(buf, w, text, x, y, dh, (255, 255, 255))
    bar = max(3, h // 30)
    fill(buf, w, 8, h - 2 * bar, w - 8, h - bar, shade)
    fill(buf, w, 8, h - 2 * bar, 8 + int((w - 16) * done), h - bar, (255, 255, 255))
    return buf

def film_frames(seconds, fps, background, w=W, h=H):
    """JPEG frames for seconds at fps (at least one), frame i showing its time i / fps."""
    count = max(1, int(seconds * fps + 0.5))
    return [encode_jpeg(w, h, video_frame(clock(i // fps), i / count, background, w, h), 80) for i in range(count)]

def avi(frames, fps, w=W, h=H):
    """RIFF 'AVI ': hdrl (avih, one strl of an MJPG 'vids' stream), the frames as '00dc' chunks in
    movi, and idx1 marking each a keyframe."""
    def chunk(fourcc, body):
        return fourcc + struct.pack("<I", len(body)) + body + bytes(len(body) & 1)  # word-aligned
    def lst(kind, body):
        return chunk(b"LIST", kind + body)
    n, biggest = len(frames), max(map(len, frames))
    avih = struct.pack("<14I", 1000000 // fps, biggest * fps, 0, 0x10, n, 0, 1, biggest, w, h, 0, 0, 0, 0)  # has idx1
    strh = b"vidsMJPG" + struct.pack("<IHHIIIIIIiI4h", 0, 0, 0, 0, 1, fps, 0, n, biggest, -1, 0, 0, 0, w, h)
    strf = struct.pack("<IiiHH4sIiiII", 40, w, h, 1, 24, b"MJPG", w * h * 3, 0, 0, 0, 0)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi, index, offset = [], [], 4  # idx1 offsets count from the 'movi' tag
    for f in frames:
        movi.append(chunk(b"00dc", f))
        index.append(struct.pack("<4sIII", b"00dc", 0x10, offset, len(f)))  # AVIIF_KEYFRAME
        offset += len(movi[-1])
    return chunk(b"RIFF", b"AVI " + hdrl + lst(b"movi", b"".join(movi)) + chunk(b"idx1", b"".join(index)))

def vint(n, length=None):
    """An EBML variable-size integer, as short as it can be unless length is given."""
    length = length or next(k for k in range(1, 9) if n < (1 << 7 * k) - 1)
    return ((1 << 7 * length) | n).to_bytes(length, "big")

def element(eid, body):
    return eid + vint(len(body)) + body

def uint(eid, n, size=0):
    return element(eid, n.to_bytes(size or max(1, (n.bit_length() + 7) // 8), "big"))

def mkv(frames, fps, w=W, h=H):
    """Matroska: EBML header, then a Segment of SeekHead, Info (1 ms ticks, Duration), Tracks (one
    V_MJPEG track), Clusters of up to five seconds of keyframe SimpleBlocks, and Cues to them."""
    def text(eid, s):
        return element(eid, s.encode("ascii"))
    header = element(b"\x1A\x45\xDF\xA3", uint(b"\x42\x86", 1) + uint(b"\x42\xF7", 1) + uint(b"\x42\xF2", 4) +
                     uint(b"\x42\xF3", 8) + text(b"\x42\x82", "matroska") + uint(b"\x42\x87", 2) +
                     uint(b"\x42\x85", 2))
    info = element(b"\x15\x49\xA9\x66", uint(b"\x2A\xD7\xB1", 1000000) +
                   element(b"\x44\x89", struct.pack(">d", len(frames) * 1000 / fps)) +
                   text(b"\x4D\x80", "make_library") + text(b"\x57\x41", "make_library"))
    size = element(b"\xE0", uint(b"\xB0", w) + uint(b"\xBA", h))
    tracks = element(b"\x16\x54\xAE\x6B", element(b"\xAE", uint(b"\xD7", 1) + uint(b"\x73\xC5", 1) +
                     uint(b"\x83", 1) + uint(b"\x9C", 0) + text(b"\x86", "V_MJPEG") +
                     uint(b"\x23\xE3\x83", 1000000000 // fps) + size))
    clusters, starts = [], []
    for first in range(0, len(frames), 5 * fps):
        start = first * 1000 // fps
        blocks = b"".join(element(b"\xA3", b"\x81" + struct.pack(">hB", i * 1000 // fps - start, 0x80) + f)
                          for i, f in enumerate(frames[first:first + 5 * fps], first))  # track 1, keyframe
        clusters.append(element(b"\x1F\x43\xB6\x75", uint(b"\xE7", start) + blocks))
        starts.append(start)
    def seek_head(places):  # fixed-size positions, so its length does not depend on them
        return element(b"\x11\x4D\x9B\x74", b"".join(
            element(b"\x4D\xBB", element(b"\x53\xAB", eid) + uint(b"\x53\xAC", at, 8)) for eid, at in places))
    ids = (b"\x15\x49\xA9\x66", b"\x16\x54\xAE\x6B", b"\x1C\x53\xBB\x6B")
    head = len(seek_head((eid, 0) for eid in ids))
    at = head + len(info) + len(tracks)  # positions count from the Segment's body
    cues = []
    for start, cluster in zip(starts, clusters):
        cues.append(element(b"\xBB", uint(b"\xB3", start) + element(b"\xB7", uint(b"\xF7", 1) + uint(b"\xF1", at))))
        at += len(cluster)
    body = (seek_head(zip(ids, (head, head + len(info), at))) + info + tracks + b"".join(clusters) +
            element(b"\x1C\x53\xBB\x6B", b"".join(cues)))
    return header + b"\x18\x53\x80\x67" + vint(len(body), 8) + body

def mp4(frames, fps, w=W, h=H, quicktime=False):
    """ISO (or QuickTime) movie: ftyp, moov with one 'vide' track of 'jpeg' samples, one a chunk,
    all sync samples (no stss), then mdat."""
    n = len(frames)
    ftyp = atom(b"ftyp", b"qt  \x00\x00\x02\x00qt  " if quicktime else b"isom\x00\x00\x02\x00isomiso2mp41")
    matrix = struct.pack(">9I", 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000)
    millis = n * 1000 // fps
    def moov(first):
        mvhd = atom(b"mvhd", struct.pack(">IIIII", 0, 0, 0, 1000, millis) + struct.pack(">IH", 0x10000, 0x100) +
                    bytes(10) + matrix + bytes(24) + struct.pack(">I", 2))
        tkhd = atom(b"tkhd", struct.pack(">IIIIII", 3, 0, 0, 1, 0, millis) + bytes(16) + matrix +
                    struct.pack(">II", w << 16, h << 16))  # enabled, in the movie; layer, volume 0
        mdhd = atom(b"mdhd", struct.pack(">IIIIIHH", 0, 0, 0, 1000 * fps, 1000 * n, 0x55C4, 0))  # 'und'
        hdlr = atom(b"hdlr", bytes(8) + b"vide" + bytes(12) + b"VideoHandler\x00")
        name = b"Photo - JPEG"
        entry = atom(b"jpeg", bytes(6) + struct.pack(">H", 1) + bytes(16) +
                     struct.pack(">HHIIIH", w, h, 0x480000, 0x480000, 0, 1) +
                     bytes([len(name)]) + name.ljust(31, b"\x00") + struct.pack(">Hh", 24, -1))
        offsets, at = [], first
        for f in frames:
            offsets.append(at)
            at += len(f)
        stbl = atom(b"stbl", atom(b"stsd", struct.pack(">II", 0, 1) + entry) +
                    atom(b"stts", struct.pack(">IIII", 0, 1, n, 1000)) +
                    atom(b"stsc", struct.pack(">IIIII", 0, 1, 1, 1, 1)) +
                    atom(b"stsz", struct.pack(">III", 0, 0, n) + b"".join(struct.pack(">I", len(f)) for f in frames)) +
                    atom(b"stco", struct.pack(">II", 0, n) + b"".join(struct.pack(">I", o) for o in offsets)))
        dinf = atom(b"dinf", atom(b"dref", struct.pack(">II", 0, 1) + atom(b"url ", struct.pack(">I", 1))))
        minf = atom(b"minf", atom(b"vmhd", struct.pack(">IHHHH", 1, 0, 0, 0, 0)) + dinf + stbl)
        return atom(b"moov", mvhd + atom(b"trak", tkhd + atom(b"mdia", mdhd + hdlr + minf)))
    first = len(ftyp) + len(moov(0)) + 8  # the samples follow mdat's header
    return ftyp + moov(first) + atom(b"mdat", b"".join(frames))

def video(path, seconds, fps=1, background=None):
    """The bytes of a real video of seconds (at fps frames a second) whose frames show their
    times: Matroska for .mkv, MP4 for .mp4, QuickTime for .mov, AVI for any other extension."""
    ext = os.path.splitext(path)[1].lower()
    if background is None:  # each name its own colour
        background = BACKGROUNDS[zlib.crc32(os.path.basename(path).encode("utf-8")) % len(BACKGROUNDS)]
    frames = film_frames(seconds, fps, background)
    if ext == ".mkv": return mkv(frames, fps)
    if ext in (".mp4", ".mov"): return mp4(frames, fps, quicktime=ext == ".mov")
    return avi(frames, fps)

def write_video(path, seconds, fps=1, background=None):
    write(path, video(path, seconds, fps, background))

def broken_avi(seconds=20):
    """A real AVI cut off halfway through its first frame: shorter than its RIFF size says."""
    data = avi(film_frames(seconds, 1, BACKGROUNDS[1]), 1)
    first = data.index(b"movi00dc") + 12  # the first frame's bytes
    return data[:first + struct.unpack("<I", data[first - 4:first])[0] // 2]

def main(root):
    films = os.path.join(root, "Holiday Films")
    for name, ext, draw in (("Beach Day", ".avi", beach), ("Mountain Trail", ".mkv", mountains),
                            ("City Lights", ".mp4", city), ("Harbour Sunset", ".wmv", harbour)):
        write(os.path.join(films, name + ext), b"RIFF\x00\x10\x00\x00AVI LIST" + bytes(4096))
        write(os.path.join(films, name + ".JPG"), write_jpeg_bytes(draw()))
    # Named to sort after the demo's scratch take, which stays the fifth video.
    write(os.path.join(films, "Snow Walk.mpg"), b"RIFF\x00\x10\x00\x00AVI LIST" + bytes(4096))
    write(os.path.join(films, "Snow Walk.THM"), write_jpeg_bytes(snow()))
    # Both side images, different scenes: the .JPG (a day on the farm) wins over the .THM (night).
    write(os.path.join(films, "Summer Fields.avi"), b"RIFF\x00\x10\x00\x00AVI LIST" + bytes(4096))
    write(os.path.join(films, "Summer Fields.THM"), write_jpeg_bytes(night()))
    write(os.path.join(films, "Summer Fields.JPG"), write_jpeg_bytes(fields()))
    # No side image: real videos whose frames show their times. The new ones are named to sort
    # after "Window Seat", so the places of the others stay as they were.
    for name, seconds, colour in (("Tram Ride.avi", 20, 0), ("Window Seat.mov", 20, 2),
                                  ("Winter Ferry.avi", 600, 5), ("Woodland Train.mkv", 30, 3),
                                  ("Yacht Race.mp4", 30, 4)):
        write_video(os.path.join(films, name), seconds, background=BACKGROUNDS[colour])
    write(os.path.join(films, "Worn Reel.avi"), broken_avi())
    write(os.path.join(films, "Written Notes.avi"), b"Notes for the next trip: pack the tripod.\r\n")
    # Wine shows files whose names start with a dot as hidden: the player leaves them out.
    write(os.path.join(films, ".folder-settings"), b"[View]\r\nMode=Thumbnails\r\n")

    jazz = os.path.join(root, "Jazz Evenings")
    songs = [("Blue Corner", (40, 90, 200)), ("Late Tram", (200, 80, 40)), ("Quiet Harbour", (40, 160, 120)),
             ("Rooftop Rain", (150, 60, 170)), ("Last Call", (210, 170, 40))]
    for i, (title, hue) in enumerate(songs, 1):
        write(os.path.join(jazz, f"{i:02d} {title}.mp3"),
              mp3(title, "The Night Quartet", "Jazz Evenings", [(FRONT, jpeg(cover(hue)))]))

    # A long album, for paging: thirty live takes sharing one cover.
    live = os.path.join(root, "Live at the Harbour")
    live_cover = [(FRONT, jpeg(cover((230, 120, 40))))]
    tunes = ["Opening", "Tide Song", "Lantern Waltz", "Gull Call", "Foghorn Blues", "Quay Side"]
    for i in range(1, 31):
        title = f"{tunes[(i - 1) % len(tunes)]} (Take {(i - 1) // len(tunes) + 1})"
        write(os.path.join(live, f"{i:02d} {title}.mp3"),
              mp3(title, "The Harbour Band", "Live at the Harbour", live_cover, seconds=0))

    # Covers of several sizes and shapes in every tag format; it sorts after the other albums, so
    # their places in the album list stay as they were.
    night_sessions = os.path.join(root, "Night Sessions")
    band, album = "The Late Shift", "Night Sessions"
    tracks = (("01 Neon Avenue.mp3", mp3, [(FRONT, jpeg(enlarged(cover_rings(), 600, 600)))], {}),
              ("02 Slow Motion.mp3", mp3, [(FRONT, jpeg(enlarged(cover_moon(), 300, 300)))],
               {"version": 4, "padding": 256}),
              ("03 Wide Screen.flac", flac, [(FRONT, jpeg(enlarged(cover_wide(), 400, 225)))], {}),
              ("04 Tiny Hours.m4a", m4a, jpeg(cover_tiny()), {}),
              ("05 Glass Bells.mp3", mp3, [(FRONT, png(enlarged(cover_bells(), 256, 256)))], {}),
              ("06 Back to Front.mp3", mp3, [(BACK, jpeg(enlarged(cover_back(), 280, 280))),
                                             (FRONT, jpeg(enlarged(cover_front(), 240, 240)))], {"version": 4}),
              ("07 Silent Room.mp3", mp3, [], {}))
    for name, make, pictures, options in tracks:
        title = name[3:].rsplit(".", 1)[0]
        write(os.path.join(night_sessions, name), make(title, band, album, pictures, **options))

    field = os.path.join(root, "Field Recordings")
    write(os.path.join(field, "Rain on the Roof.wav"), wav())
    write(os.path.join(field, "Forest Birds.ogg"), b"OggS" + bytes(2048))
    write(os.path.join(field, "Session Notes.txt"), b"Recorded on a quiet morning.\r\n")
    write(os.path.join(field, "Route Map.pdf"), b"%PDF-1.4\n%%EOF\n")

    with open(os.path.join(root, "Evening Mix.m3u"), "w", newline="\r\n") as f:
        f.write("#EXTM3U\n")
        for path in ("Jazz Evenings\\02 Late Tram.mp3", "Holiday Films\\Harbour Sunset.wmv",
                     "Jazz Evenings\\05 Last Call.mp3", "Field Recordings\\Rain on the Roof.wav"):
            f.write(path + "\n")

if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--video":
        try:
            seconds = float(sys.argv[3])
        except ValueError:
            sys.exit(__doc__)
        write_video(sys.argv[2], seconds)
    elif len(sys.argv) == 2 and not sys.argv[1].startswith("-"):
        main(sys.argv[1])
    else:
        sys.exit(__doc__)
