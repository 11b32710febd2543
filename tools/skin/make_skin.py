#!/usr/bin/env python3
"""Draws the Navigator's skin: one dark-blue 10-foot theme matching the default colours.

Writes res/skin/*.png, res/skin/background.jpg (through cjpeg, from libjpeg-turbo-progs) and
res/rembrix.ico. Run by hand from the repository root; the outputs are committed.
Shapes are signed-distance fields sampled per pixel, so every edge is anti-aliased."""
import math, os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pylib"))
from raster import *  # noqa: E402,F401,F403

OUT = "res/skin"

# ---------------------------------------------------------------- the theme
NAVY = (0, 35, 80)          # colour 12, header band
BLUE = (0, 78, 152)         # colour 0, window background
DEEP = (0, 40, 120)         # colour 3, current entry
PRESSED = (73, 147, 230)    # colour 5, pressed entry
ICE = (148, 214, 252)       # colour 2, entry text
EDGE = (31, 86, 136)        # colour 17, frames
WHITE = (255, 255, 255)

def background(w, h):
    c = Canvas(w, h, (0, 0, 0, 255))
    for y in range(h):
        for x in range(w):
            t = y / h
            base = [0 + 0 * t, 52 - 26 * t, 118 - 62 * t]
            # a soft light from the top centre, and a faint sheen band across
            g = math.exp(-(((x - w * 0.5) / (w * 0.55)) ** 2 + ((y - h * 0.05) / (h * 0.5)) ** 2))
            sheen = 0.5 + 0.5 * math.cos((x * 0.7 + y) / (h * 0.9) * math.pi * 2)
            k = 0.55 * g + 0.06 * sheen
            p = c.px[y * w + x]
            p[0] = base[0] + (30 - base[0]) * k * 0.5
            p[1] = base[1] + (110 - base[1]) * k
            p[2] = base[2] + (200 - base[2]) * k
    return c

def frame(w, h, state):
    """Thumbnail frame: a rounded plate with a bright edge; the picture sits inside."""
    border = {"normal": EDGE, "hot": (90, 160, 225), "selected": (120, 205, 255), "selhot": (215, 240, 255)}[state]
    s = min(w, h)
    r, bw = max(3, s * 0.09), max(1.5, s * 0.035)
    c = Canvas(w, h)
    if state in ("selected", "selhot"):
        c.shape(rrect(0, 0, w, h, r + 1), border, 0.25)  # glow
    plate = rrect(bw * 0.6, bw * 0.6, w - bw * 0.6, h - bw * 0.6, r)
    c.shape(plate, vgrad((0, 22, 55), (0, 10, 30), 0, h))
    c.shape(ring(plate, bw), border)
    return c

def close_button(state):
    w, h = 25, 21
    fill = {"normal": NAVY, "hot": (30, 100, 170), "pressed": PRESSED}[state]
    cross = {"normal": ICE, "hot": WHITE, "pressed": WHITE}[state]
    c = Canvas(w, h)
    box = rrect(0.5, 0.5, w - 0.5, h - 0.5, 4)
    c.shape(box, fill)
    c.shape(ring(box, 1.2), (90, 150, 210) if state != "pressed" else WHITE)
    cx, cy, a = w / 2, h / 2, 4.6
    c.shape(union(segment(cx - a, cy - a, cx + a, cy + a, 1.2), segment(cx - a, cy + a, cx + a, cy - a, 1.2)), cross)
    return c

def cell(w, h, state):
    """Highlight behind an entry. It is stretched to cells of any width, so it carries nothing
    that depends on x: a band with a vertical gradient and a bright line along each long edge."""
    c = Canvas(w, h)
    if state == "selected":
        top, bottom, edge, alpha = (0, 70, 165), (0, 32, 100), (80, 160, 240), 0.92
    else:
        top, bottom, edge, alpha = (64, 140, 235), (22, 88, 190), (235, 245, 255), 1.0
    c.shape(lambda x, y: -1, vgrad(top, bottom, 0, h), alpha)
    line = max(1.0, h / 60.0)
    c.shape(lambda x, y: y - line, edge)
    c.shape(lambda x, y: (h - line) - y, edge, 0.8)
    return c

def placeholder(kind, n):
    c = Canvas(n, n)
    s = n / 128.0
    if kind == "video":
        # a film frame with sprocket holes and a play triangle
        body = rrect(8 * s, 22 * s, 120 * s, 106 * s, 10 * s)
        holes = union(*[rrect((16 + 20 * i) * s, 27 * s, (26 + 20 * i) * s, 35 * s, 2 * s) for i in range(5)] +
                      [rrect((16 + 20 * i) * s, 93 * s, (26 + 20 * i) * s, 101 * s, 2 * s) for i in range(5)])
        c.shape(subtract(body, holes), vgrad((255, 170, 60), (225, 110, 20), 22 * s, 106 * s))
        c.shape(rrect(14 * s, 40 * s, 114 * s, 88 * s, 5 * s), (40, 20, 10))
        c.shape(polygon([(54 * s, 48 * s), (54 * s, 80 * s), (82 * s, 64 * s)]), WHITE)
    elif kind == "audio":
        # two beamed eighth notes
        col = vgrad((140, 230, 255), (40, 160, 240), 10 * s, 110 * s)
        note = union(circle(36 * s, 94 * s, 15 * s), circle(92 * s, 84 * s, 15 * s),
                     segment(49 * s, 94 * s, 49 * s, 30 * s, 4 * s), segment(105 * s, 84 * s, 105 * s, 20 * s, 4 * s),
                     polygon([(45 * s, 24 * s), (109 * s, 12 * s), (109 * s, 28 * s), (45 * s, 40 * s)]))
        c.shape(note, col)
    else:
        # a page with a folded corner and lines of text
        page = polygon([(26 * s, 10 * s), (80 * s, 10 * s), (104 * s, 34 * s), (104 * s, 118 * s), (26 * s, 118 * s)])
        c.shape(page, vgrad((235, 240, 248), (180, 195, 215), 10 * s, 118 * s))
        c.shape(polygon([(80 * s, 10 * s), (80 * s, 34 * s), (104 * s, 34 * s)]), (140, 160, 185))
        if n >= 24:
            for i in range(4):
                y = (52 + 16 * i) * s
                c.shape(segment(38 * s, y, (92 - (18 if i == 3 else 0)) * s, y, max(0.8, 3 * s)), (110, 130, 160))
    return c

def icon(n):
    c = Canvas(n, n)
    s = n / 32.0
    body = rrect(2 * s, 2 * s, 30 * s, 30 * s, 6 * s)
    c.shape(body, vgrad((0, 110, 200), (0, 45, 110), 0, n))
    c.shape(polygon([(12 * s, 9 * s), (12 * s, 23 * s), (24 * s, 16 * s)]), WHITE)
    return c

def main():
    os.makedirs(OUT, exist_ok=True)
    only = sys.argv[1:]
    def want(name): return not only or any(name.startswith(o) for o in only)
    if want("background"):
        write_jpeg(f"{OUT}/background.jpg", background(1280, 1024))
    frames = {"normal": (5019, 5023, 5028, 5032), "hot": (5018, 5022, 5026, 5031),
              "selected": (5020, 5024, 5029, 5027), "selhot": (5021, 5025, 5030, 5017)}
    for state, ids in frames.items():
        for rid, (w, h) in zip(ids, ((64, 56), (100, 90), (160, 144), (240, 216))):
            if want("frame"): write_png(f"{OUT}/{rid}.png", frame(w, h, state))
    for rid, state in zip((5013, 5014, 5015), ("normal", "hot", "pressed")):
        if want("close"): write_png(f"{OUT}/{rid}.png", close_button(state))
    cells = {"selected": (5035, 5036, 5037, 5034), "pressed": (5040, 5041, 5038, 5039)}
    for state, ids in cells.items():
        for rid, (w, h) in zip(ids, ((50, 68), (70, 108), (90, 172), (110, 260))):
            if want("cell"): write_png(f"{OUT}/{rid}.png", cell(w, h, state))
    holders = {"video": (5049, 5048, 5047, 5046, 5045, 5044, 5043),
               "audio": (5057, 5056, 5055, 5053, 5052, 5051, 5050),
               "other": (5042, 5054, 5062, 5061, 5060, 5059, 5058)}
    for kind, ids in holders.items():
        for rid, n in zip(ids, (128, 96, 64, 48, 32, 24, 16)):
            if want("placeholder"): write_png(f"{OUT}/{rid}.png", placeholder(kind, n))
    if want("icon"):
        write_ico("res/rembrix.ico", [icon(16), icon(32)])

main()
