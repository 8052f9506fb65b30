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


def _coverage(pts, sub, height):
    """{(x, y): covered fraction} of a polygon (even-odd), rows 0..height."""
    cov = {}
    ys = [p[1] for p in pts]
    ymin, ymax = max(0, int(math.floor(min(ys)))), min(height, int(math.ceil(max(ys))))
    edges = [(pts[i], pts[(i + 1) % len(pts)]) for i in range(len(pts))]
    for y in range(ymin, ymax):
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
                        cov[(x, y)] = cov.get((x, y), 0.0) + part / sub
    return cov


def _stroke(x0, y0, x1, y1, w):
    """The outline of a straight stroke of width w with square ends that reach w/2 past its
    end points, so that the strokes of a glyph meet without notches."""
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy) or 1.0
    ux, uy = dx / n * w / 2.0, dy / n * w / 2.0
    ox, oy = -uy, ux
    return [(x0 - ux + ox, y0 - uy + oy), (x1 + ux + ox, y1 + uy + oy),
            (x1 + ux - ox, y1 + uy - oy), (x0 - ux - ox, y0 - uy - oy)]


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
        for (x, y), a in _coverage(pts, sub, self.h).items():
            self.put(x, y, c, min(1.0, a))

    def line(self, x0, y0, x1, y1, c, w=1.0):
        dx, dy = x1 - x0, y1 - y0
        n = math.hypot(dx, dy) or 1.0
        ox, oy = -dy / n * w / 2.0, dx / n * w / 2.0
        self.polygon([(x0 + ox, y0 + oy), (x1 + ox, y1 + oy), (x1 - ox, y1 - oy), (x0 - ox, y0 - oy)], c)

    def polyline(self, pts, c, w=1.0):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], c, w)

    # -- text in the skin's stroke face --------------------------------------------------
    def vtext(self, x, y, s, c, height, weight=None, shear=0.0, spacing=None):
        """Draws s in the skin's own angular stroke face: capitals, digits and a few signs,
        `height` pixels tall from y, strokes of `weight` pixels, slanted right by `shear`.
        Each glyph is laid down as one anti-aliased shape. Returns the x after the last glyph."""
        u = height / 6.0
        weight = weight if weight is not None else max(1.0, height * 0.16)
        spacing = spacing if spacing is not None else 1.6 * u + weight
        for ch in s.upper():
            if ch == " ":
                x += 2.6 * u + spacing
                continue
            strokes, gw = STROKES.get(ch, STROKES["?"])
            cov = {}
            for line in strokes:
                for (ax, ay), (bx, by) in zip(line, line[1:]):
                    pts = _stroke(x + ax * u + (6 - ay) * u * shear, y + ay * u,
                                  x + bx * u + (6 - by) * u * shear, y + by * u, weight)
                    for key, a in _coverage(pts, 4, self.h).items():
                        if a > cov.get(key, 0.0):
                            cov[key] = a
            for (px, py), a in cov.items():
                self.put(px, py, c, min(1.0, a))
            x += gw * u + spacing
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


# The stroke face: per character its polylines on a grid 6 units tall, and its advance.
_C = 1.1  # the chamfer of the face's corners
STROKES = {
    "A": ([[(0, 6), (0, _C), (_C, 0), (4, 0), (4, 6)], [(0, 3.4), (4, 3.4)]], 4),
    "B": ([[(0, 0), (0, 6), (4 - _C, 6), (4, 6 - _C), (4, 3.9), (3, 3), (0, 3)],
           [(0, 0), (3.4, 0), (3.4, 3)]], 4),
    "C": ([[(4, 0), (_C, 0), (0, _C), (0, 6 - _C), (_C, 6), (4, 6)]], 4),
    "D": ([[(0, 0), (4 - _C, 0), (4, _C), (4, 6 - _C), (4 - _C, 6), (0, 6), (0, 0)]], 4),
    "E": ([[(4, 0), (0, 0), (0, 6), (4, 6)], [(0, 3), (3, 3)]], 4),
    "F": ([[(4, 0), (0, 0), (0, 6)], [(0, 3), (3, 3)]], 4),
    "G": ([[(4, 0), (_C, 0), (0, _C), (0, 6), (4, 6), (4, 3), (2.2, 3)]], 4),
    "H": ([[(0, 0), (0, 6)], [(4, 0), (4, 6)], [(0, 3), (4, 3)]], 4),
    "I": ([[(0, 0), (0, 6)]], 0),
    "J": ([[(4, 0), (4, 6 - _C), (4 - _C, 6), (0, 6), (0, 4.4)]], 4),
    "K": ([[(0, 0), (0, 6)], [(4, 0), (1.2, 3), (4, 6)], [(0, 3), (1.2, 3)]], 4),
    "L": ([[(0, 0), (0, 6), (4, 6)]], 4),
    "M": ([[(0, 6), (0, 0), (2.5, 2.8), (5, 0), (5, 6)]], 5),
    "N": ([[(0, 6), (0, 0), (4, 6), (4, 0)]], 4),
    "O": ([[(_C, 0), (4, 0), (4, 6 - _C), (4 - _C, 6), (0, 6), (0, _C), (_C, 0)]], 4),
    "P": ([[(0, 6), (0, 0), (4 - _C, 0), (4, _C), (4, 3), (0, 3)]], 4),
    "Q": ([[(_C, 0), (4, 0), (4, 6), (0, 6), (0, _C), (_C, 0)], [(2.6, 4.6), (4, 6)]], 4),
    "R": ([[(0, 6), (0, 0), (4 - _C, 0), (4, _C), (4, 3), (0, 3)], [(2, 3), (4, 6)]], 4),
    "S": ([[(4, 0), (_C, 0), (0, _C), (0, 3), (4, 3), (4, 6 - _C), (4 - _C, 6), (0, 6)]], 4),
    "T": ([[(0, 0), (4, 0)], [(2, 0), (2, 6)]], 4),
    "U": ([[(0, 0), (0, 6), (4 - _C, 6), (4, 6 - _C), (4, 0)]], 4),
    "V": ([[(0, 0), (2, 6), (4, 0)]], 4),
    "W": ([[(0, 0), (1.2, 6), (2.5, 2.2), (3.8, 6), (5, 0)]], 5),
    "X": ([[(0, 0), (4, 6)], [(4, 0), (0, 6)]], 4),
    "Y": ([[(0, 0), (2, 3)], [(4, 0), (2, 3), (2, 6)]], 4),
    "Z": ([[(0, 0), (4, 0), (0, 6), (4, 6)]], 4),
    "0": ([[(_C, 0), (4, 0), (4, 6 - _C), (4 - _C, 6), (0, 6), (0, _C), (_C, 0)]], 4),
    "1": ([[(0.4, 1.4), (1.8, 0), (1.8, 6)]], 2),
    "2": ([[(0, 0), (4, 0), (4, 3), (0, 3), (0, 6), (4, 6)]], 4),
    "3": ([[(0, 0), (4, 0), (4, 6), (0, 6)], [(1.2, 3), (4, 3)]], 4),
    "4": ([[(3, 6), (3, 0), (0, 4), (4, 4)]], 4),
    "5": ([[(4, 0), (0, 0), (0, 3), (4, 3), (4, 6), (0, 6)]], 4),
    "6": ([[(4, 0), (_C, 0), (0, _C), (0, 6), (4, 6), (4, 3), (0, 3)]], 4),
    "7": ([[(0, 0), (4, 0), (4, _C), (1.6, 6)]], 4),
    "8": ([[(0, 0), (4, 0), (4, 6), (0, 6), (0, 0)], [(0, 3), (4, 3)]], 4),
    "9": ([[(4, 3), (0, 3), (0, 0), (4, 0), (4, 6 - _C), (4 - _C, 6), (0, 6)]], 4),
    "?": ([[(0, _C), (_C, 0), (4, 0), (4, 2.4), (2, 3.3), (2, 4.1)], [(2, 5.6), (2, 5.9)]], 4),
    "-": ([[(0, 3), (3, 3)]], 3),
    ".": ([[(0, 5.7), (0, 6)]], 0),
    "/": ([[(0, 6), (3, 0)]], 3),
    "+": ([[(0, 3), (4, 3)], [(2, 1), (2, 5)]], 4),
}


def vtext_width(s, height, weight=None, spacing=None):
    """The width vtext draws s with (without the slant)."""
    u = height / 6.0
    weight = weight if weight is not None else max(1.0, height * 0.16)
    spacing = spacing if spacing is not None else 1.6 * u + weight
    x = 0.0
    for ch in s.upper():
        x += (2.6 * u if ch == " " else STROKES.get(ch, STROKES["?"])[1] * u) + spacing
    return x - spacing + weight
