"""A small RGB canvas, the shapes the skin is drawn from, and a 24-bit BMP writer.

Everything is plain Python so that the build needs nothing beyond the interpreter. Shapes are
anti-aliased by coverage: rounded rectangles and circles by distance to their edge, polygons by
sub-scanlines. Colours are (r, g, b) tuples of 0..255.
"""

import math
import struct

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def mix(a, b, t):
    """a blended towards b by t (0 keeps a, 1 gives b)."""
    return (int(a[0] + (b[0] - a[0]) * t + 0.5),
            int(a[1] + (b[1] - a[1]) * t + 0.5),
            int(a[2] + (b[2] - a[2]) * t + 0.5))


def shade(c, f):
    """c scaled by f, clamped (f > 1 brightens)."""
    return tuple(max(0, min(255, int(v * f + 0.5))) for v in c)


class Canvas:
    def __init__(self, w, h, color=BLACK):
        if w <= 0 or h <= 0:
            raise ValueError("empty canvas %dx%d" % (w, h))
        self.w, self.h = w, h
        self.px = bytearray(bytes(color) * (w * h))

    # -- pixels -----------------------------------------------------------------------------
    def get(self, x, y):
        i = (y * self.w + x) * 3
        return (self.px[i], self.px[i + 1], self.px[i + 2])

    def put(self, x, y, c, a=1.0):
        if 0 <= x < self.w and 0 <= y < self.h and a > 0.0:
            i = (y * self.w + x) * 3
            if a >= 1.0:
                self.px[i:i + 3] = bytes(c)
            else:
                p = self.px
                p[i] = int(p[i] + (c[0] - p[i]) * a + 0.5)
                p[i + 1] = int(p[i + 1] + (c[1] - p[i + 1]) * a + 0.5)
                p[i + 2] = int(p[i + 2] + (c[2] - p[i + 2]) * a + 0.5)

    def _span(self, x0, x1, y, c):
        x0, x1 = max(0, x0), min(self.w, x1)
        if x1 > x0 and 0 <= y < self.h:
            i = (y * self.w + x0) * 3
            self.px[i:i + (x1 - x0) * 3] = bytes(c) * (x1 - x0)

    # -- rectangles -------------------------------------------------------------------------
    def fill(self, c):
        self.px[:] = bytes(c) * (self.w * self.h)

    def rect(self, x0, y0, x1, y1, c):
        """Fills [x0, x1) x [y0, y1)."""
        for y in range(max(0, y0), min(self.h, y1)):
            self._span(x0, x1, y, c)

    def frame(self, x0, y0, x1, y1, c, width=1):
        self.rect(x0, y0, x1, y0 + width, c)
        self.rect(x0, y1 - width, x1, y1, c)
        self.rect(x0, y0, x0 + width, y1, c)
        self.rect(x1 - width, y0, x1, y1, c)

    def vgrad(self, x0, y0, x1, y1, top, bottom):
        n = max(1, y1 - y0 - 1)
        for y in range(max(0, y0), min(self.h, y1)):
            self._span(x0, x1, y, mix(top, bottom, (y - y0) / n))

    def hgrad(self, x0, y0, x1, y1, left, right):
        n = max(1, x1 - x0 - 1)
        for x in range(max(0, x0), min(self.w, x1)):
            c = mix(left, right, (x - x0) / n)
            for y in range(max(0, y0), min(self.h, y1)):
                self.put(x, y, c)

    def round_rect(self, x0, y0, x1, y1, r, c, grad=None):
        """A filled rectangle [x0, x1) x [y0, y1) with corners of radius r, edges anti-aliased.
        With grad=(top, bottom) the fill is a vertical gradient instead of c."""
        r = max(0.0, min(float(r), (x1 - x0) / 2.0, (y1 - y0) / 2.0))
        ri = int(math.ceil(r))
        n = max(1, y1 - y0 - 1)
        for y in range(max(0, y0), min(self.h, y1)):
            col = mix(grad[0], grad[1], (y - y0) / n) if grad else c
            cy = y + 0.5
            if cy < y0 + r:
                dy = y0 + r - cy
            elif cy > y1 - r:
                dy = cy - (y1 - r)
            else:
                dy = 0.0
            if dy <= 0.0 or r == 0.0:
                self._span(x0, x1, y, col)
                continue
            # Corner rows: a solid middle and per-pixel coverage near both ends.
            self._span(x0 + ri, x1 - ri, y, col)
            for x in list(range(x0, x0 + ri)) + list(range(x1 - ri, x1)):
                cx = x + 0.5
                dx = (x0 + r - cx) if cx < x0 + r else (cx - (x1 - r)) if cx > x1 - r else 0.0
                d = math.hypot(max(dx, 0.0), dy) - r
                self.put(x, y, col, max(0.0, min(1.0, 0.5 - d)))

    def panel(self, x0, y0, x1, y1, r, fill, border=None, bw=1, grad=None):
        """A rounded panel with an optional border of width bw."""
        if border is not None:
            self.round_rect(x0, y0, x1, y1, r, border)
            self.round_rect(x0 + bw, y0 + bw, x1 - bw, y1 - bw, max(0, r - bw), fill, grad)
        else:
            self.round_rect(x0, y0, x1, y1, r, fill, grad)

    # -- curves -----------------------------------------------------------------------------
    def circle(self, cx, cy, r, c, ring=None):
        """A disc centred at (cx, cy); with ring=w only its outer ring of width w."""
        for y in range(max(0, int(cy - r - 1)), min(self.h, int(cy + r + 2))):
            for x in range(max(0, int(cx - r - 1)), min(self.w, int(cx + r + 2))):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                a = max(0.0, min(1.0, r - d + 0.5))
                if ring is not None:
                    a = min(a, max(0.0, min(1.0, d - (r - ring) + 0.5)))
                self.put(x, y, c, a)

    def polygon(self, pts, c, sub=4):
        """Fills a polygon (even-odd), anti-aliased with `sub` sub-scanlines per pixel row."""
        ys = [p[1] for p in pts]
        ymin, ymax = max(0, int(math.floor(min(ys)))), min(self.h, int(math.ceil(max(ys))))
        edges = [(pts[i], pts[(i + 1) % len(pts)]) for i in range(len(pts))]
        for y in range(ymin, ymax):
            cov = {}
            for s in range(sub):
                sy = y + (s + 0.5) / sub
                xs = []
                for (ax, ay), (bx, by) in edges:
                    if (ay <= sy < by) or (by <= sy < ay):
                        xs.append(ax + (sy - ay) * (bx - ax) / (by - ay))
                xs.sort()
                for k in range(0, len(xs) - 1, 2):
                    xa, xb = xs[k], xs[k + 1]
                    for x in range(int(math.floor(xa)), int(math.ceil(xb))):
                        part = min(xb, x + 1) - max(xa, x)
                        if part > 0:
                            cov[x] = cov.get(x, 0.0) + part / sub
            for x, a in cov.items():
                self.put(x, y, c, min(1.0, a))

    def line(self, x0, y0, x1, y1, c, w=1.0):
        dx, dy = x1 - x0, y1 - y0
        n = math.hypot(dx, dy) or 1.0
        ox, oy = -dy / n * w / 2.0, dx / n * w / 2.0
        self.polygon([(x0 + ox, y0 + oy), (x1 + ox, y1 + oy), (x1 - ox, y1 - oy), (x0 - ox, y0 - oy)], c)

    def polyline(self, pts, c, w=1.0):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], c, w)

    # -- text from the built-in pixel font ---------------------------------------------------
    def text(self, x, y, s, c, scale=1, shear=0.0, spacing=1):
        """Draws s with the 5x7 pixel font; each font pixel is a scale x scale block, slanted to
        the right by `shear` pixels per pixel of height. Returns the x after the last glyph."""
        for ch in s.upper():
            g = GLYPHS.get(ch, GLYPHS["?"])
            gw = len(g[0])
            for row, bits in enumerate(g):
                for col, b in enumerate(bits):
                    if b == "#":
                        px, py = x + col * scale, y + row * scale
                        if shear:
                            off0 = (7 * scale - (py - y)) * shear
                            off1 = (7 * scale - (py - y + scale)) * shear
                            self.polygon([(px + off0, py), (px + scale + off0, py),
                                          (px + scale + off1, py + scale), (px + off1, py + scale)], c)
                        else:
                            self.rect(px, py, px + scale, py + scale, c)
            x += (gw + spacing) * scale
        return x

    # -- composition ------------------------------------------------------------------------
    def blit(self, src, x, y, key=None):
        """Copies src at (x, y); pixels equal to `key` are left out."""
        for sy in range(src.h):
            ty = y + sy
            if not 0 <= ty < self.h:
                continue
            if key is None:
                x0, x1 = max(0, x), min(self.w, x + src.w)
                if x1 > x0:
                    si = (sy * src.w + (x0 - x)) * 3
                    ti = (ty * self.w + x0) * 3
                    self.px[ti:ti + (x1 - x0) * 3] = src.px[si:si + (x1 - x0) * 3]
            else:
                for sx in range(src.w):
                    c = src.get(sx, sy)
                    if c != key:
                        self.put(x + sx, ty, c)

    def crop(self, x0, y0, x1, y1):
        out = Canvas(x1 - x0, y1 - y0)
        for y in range(y0, y1):
            si = (y * self.w + x0) * 3
            ti = ((y - y0) * out.w) * 3
            out.px[ti:ti + out.w * 3] = self.px[si:si + out.w * 3]
        return out

    def copy(self):
        out = Canvas(self.w, self.h)
        out.px[:] = self.px
        return out

    def map(self, fn):
        """Replaces every pixel c by fn(c)."""
        cache = {}
        p = self.px
        for i in range(0, len(p), 3):
            c = (p[i], p[i + 1], p[i + 2])
            r = cache.get(c)
            if r is None:
                r = cache[c] = bytes(fn(c))
            p[i:i + 3] = r

    # -- files ------------------------------------------------------------------------------
    def bmp_bytes(self):
        """The canvas as an uncompressed 24-bit BMP: bottom-up rows of BGR, padded to 4 bytes."""
        row = self.w * 3
        pad = (4 - row % 4) % 4
        body = bytearray()
        for y in range(self.h - 1, -1, -1):
            r = self.px[y * row:(y + 1) * row]
            bgr = bytearray(row)
            bgr[0::3], bgr[1::3], bgr[2::3] = r[2::3], r[1::3], r[0::3]
            body += bgr + b"\0" * pad
        header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        return header + info + bytes(body)

    def save(self, path):
        with open(path, "wb") as f:
            f.write(self.bmp_bytes())


def read_bmp(path):
    """Reads back a 24-bit BMP this module wrote (used by the checks)."""
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError("%s: not a BMP" % path)
    off, = struct.unpack_from("<I", data, 10)
    size, w, h, planes, bpp, comp = struct.unpack_from("<IiiHHI", data, 14)
    if bpp != 24 or comp != 0 or w <= 0 or h == 0:
        raise ValueError("%s: not an uncompressed 24-bit BMP" % path)
    row = (w * 3 + 3) & ~3
    if off + row * abs(h) > len(data):
        raise ValueError("%s: truncated" % path)
    c = Canvas(w, abs(h))
    for y in range(abs(h)):
        sy = (abs(h) - 1 - y) if h > 0 else y
        r = data[off + sy * row: off + sy * row + w * 3]
        c.px[y * w * 3:(y + 1) * w * 3] = bytes(b for i in range(0, len(r), 3) for b in (r[i + 2], r[i + 1], r[i]))
    return c


# 5 x 7 pixel font (a few glyphs are narrower); enough for logos, badges and short labels.
_FONT = """
A .###. #...# #...# ##### #...# #...# #...#
B ####. #...# #...# ####. #...# #...# ####.
C .###. #...# #.... #.... #.... #...# .###.
D ####. #...# #...# #...# #...# #...# ####.
E ##### #.... #.... ####. #.... #.... #####
F ##### #.... #.... ####. #.... #.... #....
G .###. #...# #.... #.### #...# #...# .####
H #...# #...# #...# ##### #...# #...# #...#
I ### .#. .#. .#. .#. .#. ###
J ..### ...#. ...#. ...#. ...#. #..#. .##..
K #...# #..#. #.#.. ##... #.#.. #..#. #...#
L #.... #.... #.... #.... #.... #.... #####
M #...# ##.## #.#.# #.#.# #...# #...# #...#
N #...# ##..# #.#.# #..## #...# #...# #...#
O .###. #...# #...# #...# #...# #...# .###.
P ####. #...# #...# ####. #.... #.... #....
Q .###. #...# #...# #...# #.#.# #..#. .##.#
R ####. #...# #...# ####. #.#.. #..#. #...#
S .#### #.... #.... .###. ....# ....# ####.
T ##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..
U #...# #...# #...# #...# #...# #...# .###.
V #...# #...# #...# #...# #...# .#.#. ..#..
W #...# #...# #...# #.#.# #.#.# #.#.# .#.#.
X #...# #...# .#.#. ..#.. .#.#. #...# #...#
Y #...# #...# .#.#. ..#.. ..#.. ..#.. ..#..
Z ##### ....# ...#. ..#.. .#... #.... #####
0 .###. #...# #..## #.#.# ##..# #...# .###.
1 ..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.
2 .###. #...# ....# ...#. ..#.. .#... #####
3 ####. ....# ....# .###. ....# ....# ####.
4 ...#. ..##. .#.#. #..#. ##### ...#. ...#.
5 ##### #.... ####. ....# ....# #...# .###.
6 .###. #.... #.... ####. #...# #...# .###.
7 ##### ....# ...#. ..#.. .#... .#... .#...
8 .###. #...# #...# .###. #...# #...# .###.
9 .###. #...# #...# .####. ....# ....# .###.
- ..... ..... ..... ##### ..... ..... .....
. . . . . . . #
: . # . . . # .
/ ....# ...#. ...#. ..#.. .#... .#... #....
+ ..... ..#.. ..#.. ##### ..#.. ..#.. .....
? .###. #...# ...#. ..#.. ..#.. ..... ..#..
"""
GLYPHS = {" ": ["..."] * 7}
for _line in _FONT.strip().splitlines():
    _ch, *_rows = _line.split()
    GLYPHS[_ch] = [r[:5] if len(r) > 5 else r for r in _rows]


def text_width(s, scale=1, spacing=1):
    return sum((len(GLYPHS.get(ch, GLYPHS["?"])[0]) + spacing) * scale for ch in s.upper()) - spacing * scale
