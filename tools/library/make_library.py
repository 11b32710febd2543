#!/usr/bin/env python3
"""Makes the sample media library that the player simulator serves:

  Holiday Films/     video files with a .JPG side image of their scene, one with a .THM (a small
                     JPEG) only, one with both showing different scenes, two with none
  Jazz Evenings/     MP3 files carrying an embedded cover picture (ID3v2 APIC)
  Live at the Harbour/  thirty MP3 files sharing one cover, for paging
  Night Sessions/    MP3 (ID3v2.3, ID3v2.4), FLAC and M4A files with covers of several sizes and
                     shapes, a PNG one, a back cover stored before the front one, and no cover
  Field Recordings/  a WAV file, an Ogg file and a few files that are not media
  Evening Mix.m3u    a playlist across the albums

Usage: make_library.py DIR. The files are small; the pictures are drawn here, nothing is fetched."""
import math, os, struct, sys, tempfile
from collections import namedtuple

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pylib"))
from raster import (Canvas, circle, polygon, ring, rrect, segment, subtract, union, vgrad,  # noqa: E402
                    write_jpeg_bytes, write_png)

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
    for name in ("Tram Ride.avi", "Window Seat.mov"):  # no side image: a placeholder
        write(os.path.join(films, name), b"RIFF\x00\x10\x00\x00AVI LIST" + bytes(4096))
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

if len(sys.argv) != 2:
    sys.exit(__doc__)
main(sys.argv[1])
