#!/usr/bin/env python3
"""Makes the sample media library that the player simulator serves:

  Holiday Films/     video files, each with a .JPG side image of its scene
  Jazz Evenings/     MP3 files carrying an embedded cover picture (ID3v2 APIC)
  Live at the Harbour/  thirty MP3 files sharing one cover, for paging
  Field Recordings/  a WAV file, an Ogg file and a few files that are not media
  Evening Mix.m3u    a playlist across the albums

Usage: make_library.py DIR. The files are small; the pictures are drawn here, nothing is fetched."""
import math, os, struct, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pylib"))
from raster import Canvas, circle, polygon, rrect, segment, union, vgrad, write_jpeg_bytes  # noqa: E402

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

def cover(hue):
    c = Canvas(300, 300, (0, 0, 0, 255))
    c.shape(lambda x, y: -1, vgrad((20, 20, 30), hue, 0, 300))
    c.shape(circle(150, 150, 110), (15, 15, 20))
    for r in (100, 85, 70):
        c.shape(lambda x, y, r=r: abs(math.hypot(x - 150, y - 150) - r) - 0.8, (60, 60, 70))
    c.shape(circle(150, 150, 36), hue)
    c.shape(circle(150, 150, 5), (15, 15, 20))
    return c

def mp3(title, artist, album, jpeg, seconds=1):
    def text_frame(fid, text):
        body = b"\x00" + text.encode("latin-1")
        return fid + struct.pack(">I", len(body)) + b"\x00\x00" + body
    apic = b"\x00" + b"image/jpeg\x00" + b"\x03" + b"Cover\x00" + jpeg
    frames = (text_frame(b"TIT2", title) + text_frame(b"TPE1", artist) + text_frame(b"TALB", album) +
              b"APIC" + struct.pack(">I", len(apic)) + b"\x00\x00" + apic)
    size = len(frames)
    syncsafe = bytes([(size >> 21) & 0x7F, (size >> 14) & 0x7F, (size >> 7) & 0x7F, size & 0x7F])
    tag = b"ID3\x03\x00\x00" + syncsafe + frames
    # Silent MPEG-1 Layer III frames, 128 kbit/s at 44.1 kHz: 417 bytes each, about 38 a second.
    frame = b"\xFF\xFB\x90\x64" + bytes(413)
    return tag + frame * (38 * seconds)

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
    # Wine shows files whose names start with a dot as hidden: the player leaves them out.
    write(os.path.join(films, ".folder-settings"), b"[View]\r\nMode=Thumbnails\r\n")

    jazz = os.path.join(root, "Jazz Evenings")
    songs = [("Blue Corner", (40, 90, 200)), ("Late Tram", (200, 80, 40)), ("Quiet Harbour", (40, 160, 120)),
             ("Rooftop Rain", (150, 60, 170)), ("Last Call", (210, 170, 40))]
    for i, (title, hue) in enumerate(songs, 1):
        write(os.path.join(jazz, f"{i:02d} {title}.mp3"),
              mp3(title, "The Night Quartet", "Jazz Evenings", write_jpeg_bytes(cover(hue))))

    # A long album, for paging: thirty live takes sharing one cover.
    live = os.path.join(root, "Live at the Harbour")
    live_cover = write_jpeg_bytes(cover((230, 120, 40)))
    tunes = ["Opening", "Tide Song", "Lantern Waltz", "Gull Call", "Foghorn Blues", "Quay Side"]
    for i in range(1, 31):
        title = f"{tunes[(i - 1) % len(tunes)]} (Take {(i - 1) // len(tunes) + 1})"
        write(os.path.join(live, f"{i:02d} {title}.mp3"),
              mp3(title, "The Harbour Band", "Live at the Harbour", live_cover, seconds=0))

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
