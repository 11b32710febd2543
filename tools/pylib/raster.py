"""Pictures drawn from signed-distance shapes, anti-aliased per pixel, written as PNG, JPEG (through
cjpeg from libjpeg-turbo-progs) or ICO. Shared by the skin and sample-library generators."""
import math, struct, subprocess, zlib

# ---------------------------------------------------------------- pixels and files
class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def over(self, x, y, rgb, alpha):
        """Composites a straight-alpha colour over pixel (x, y)."""
        if alpha <= 0: return
        p = self.px[y * self.w + x]
        a0 = p[3] / 255.0
        a = alpha + a0 * (1 - alpha)
        for i in range(3):
            p[i] = (rgb[i] * alpha + p[i] * a0 * (1 - alpha)) / a if a > 0 else 0
        p[3] = a * 255

    def shape(self, sdf, colour, opacity=1.0):
        """Fills where sdf(x, y) < 0; colour is an RGB tuple or a function of (x, y)."""
        for y in range(self.h):
            for x in range(self.w):
                cx, cy = x + 0.5, y + 0.5
                cover = min(1.0, max(0.0, 0.5 - sdf(cx, cy)))
                if cover > 0:
                    c = colour(cx, cy) if callable(colour) else colour
                    self.over(x, y, c, cover * opacity)

    def rows(self, alpha=True):
        out = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                p = self.px[y * self.w + x]
                vals = [int(round(min(255, max(0, v)))) for v in (p if alpha else p[:3])]
                row += bytes(vals)
            out.append(bytes(row))
        return out

def write_png(path, canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + r for r in canvas.rows())
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    open(path, "wb").write(data)

def encode_jpeg(w, h, rgb, quality=90):
    """JPEG of w x h packed RGB bytes, through cjpeg (PPM in, JPEG out)."""
    ppm = b"P6 %d %d 255\n" % (w, h) + bytes(rgb)
    return subprocess.run(["cjpeg", "-quality", str(quality), "-optimize"], input=ppm, capture_output=True,
                          check=True).stdout

def write_jpeg_bytes(canvas, quality=90):
    return encode_jpeg(canvas.w, canvas.h, b"".join(canvas.rows(alpha=False)), quality)

def write_jpeg(path, canvas):
    open(path, "wb").write(write_jpeg_bytes(canvas))

def write_ico(path, canvases):
    """An icon file with 32-bit BMP images (colour and AND mask) of each canvas."""
    images = []
    for c in canvases:
        header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        bgra = bytearray()
        for y in reversed(range(c.h)):
            for x in range(c.w):
                r, g, b, a = [int(round(min(255, max(0, v)))) for v in c.px[y * c.w + x]]
                bgra += bytes((b, g, r, a))
        mask_row = ((c.w + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(c.h)):
            bits = bytearray(mask_row)
            for x in range(c.w):
                if c.px[y * c.w + x][3] < 128: bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        images.append(header + bytes(bgra) + bytes(mask))
    out = struct.pack("<HHH", 0, 1, len(canvases))
    offset = 6 + 16 * len(canvases)
    for c, img in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    open(path, "wb").write(out + b"".join(images))

# ---------------------------------------------------------------- shapes
def rrect(x0, y0, x1, y1, r):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
    def f(x, y):
        qx, qy = abs(x - cx) - hw + r, abs(y - cy) - hh + r
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return f

def ring(sdf, width):
    return lambda x, y: abs(sdf(x, y) + width / 2) - width / 2

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r

def segment(ax, ay, bx, by, r):
    def f(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = max(0, min(1, (px * dx + py * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - dx * t, py - dy * t) - r
    return f

def polygon(points):
    """Signed distance to a convex or concave polygon."""
    def f(x, y):
        d, inside = float("inf"), False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            dx, dy = bx - ax, by - ay
            t = max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            d = min(d, math.hypot(x - ax - dx * t, y - ay - dy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * dx / dy: inside = not inside
        return -d if inside else d
    return f

def union(*fs): return lambda x, y: min(f(x, y) for f in fs)
def subtract(a, b): return lambda x, y: max(a(x, y), -b(x, y))

def vgrad(top, bottom, y0, y1):
    def c(x, y):
        t = max(0.0, min(1.0, (y - y0) / max(1e-6, y1 - y0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return c

