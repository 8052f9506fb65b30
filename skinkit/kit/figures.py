"""Pictures of the products and the larger pieces of artwork: the mouse seen from above with
its buttons and lights, the sensor window, the DPI stage windows and the key description window."""

import math

from .art import (register, States, ACCENT, ACCENT_MID, ACCENT_DEEP, PANEL, HEADING, RAISED_EDGE,
                  COMBO_BK, DIM, mouse_icon, keyboard_icon)
from .raster import Canvas, WHITE, mix, shade, vtext_width


def _mouse_outline(cx, top, w, h, n=120):
    """The outline of the mouse body: narrow nose, wide palm."""
    pts = []
    for i in range(n):
        a = 2 * math.pi * i / n
        s, co = math.sin(a), math.cos(a)
        y = -co                       # -1 top .. 1 bottom
        t = (y + 1) / 2.0
        half = (0.80 + 0.22 * math.sin(math.pi * min(1.0, t * 1.25))) * w / 2.0
        x = math.copysign(abs(s) ** 0.75, s) * half
        yy = math.copysign(abs(y) ** 0.9, y)
        pts.append((cx + x, top + h / 2.0 + yy * h / 2.0))
    return pts


def mouse_picture(file, W, H, cx, top, mw, mh, badges=None, lights=None):
    """The mouse from above. badges: {number: (x, y)} markers drawn on the buttons; lights: the
    zones lit in the accent colour ("main", "side", "base"). Returns the art and the button
    positions."""
    c = Canvas(W, H, PANEL)
    # soft shadow and body
    c.polygon([(x + 6, y + 8) for x, y in _mouse_outline(cx, top, mw, mh)], (10, 13, 17))
    if lights and "base" in lights:
        c.polygon(_mouse_outline(cx, top - 4, mw + 14, mh + 10), ACCENT_DEEP)
        c.polygon(_mouse_outline(cx, top - 2, mw + 8, mh + 5), ACCENT_MID)
    c.polygon(_mouse_outline(cx, top, mw, mh), (72, 86, 98))
    c.polygon(_mouse_outline(cx, top + 2, mw - 4, mh - 4), (34, 41, 49))
    c.polygon(_mouse_outline(cx, top + 14, mw - 30, mh - 40), (28, 34, 41))
    split_y = top + mh * 0.40
    # button split and the edge of the palm
    c.line(cx, top + 4, cx, split_y, (14, 17, 21), 3)
    c.polyline([(cx - mw * 0.47, split_y + 14), (cx - mw * 0.2, split_y + 2), (cx, split_y),
                (cx + mw * 0.2, split_y + 2), (cx + mw * 0.47, split_y + 14)], (14, 17, 21), 3)
    # wheel
    wy0, wy1 = top + mh * 0.11, top + mh * 0.28
    c.round_rect(int(cx - 11), int(wy0), int(cx + 11), int(wy1), 9, (14, 17, 21))
    c.round_rect(int(cx - 8), int(wy0 + 3), int(cx + 8), int(wy1 - 3), 7, ACCENT_MID)
    for k in range(6):
        yy = int(wy0 + 7 + k * (wy1 - wy0 - 14) / 5.0)
        c.rect(int(cx - 6), yy, int(cx + 6), yy + 1, ACCENT_DEEP)
    # side buttons: 4 and 5 on the left, 6 and 7 on the right
    side = {}
    for sgn, (front, rear) in ((-1, (4, 5)), (1, (6, 7))):
        for k, num in enumerate((front, rear)):
            y0 = top + mh * (0.44 + k * 0.11)
            x0 = cx + sgn * (mw * 0.5 - 2)
            pts = [(x0, y0), (x0 + sgn * 7, y0 + 3), (x0 + sgn * 7, y0 + mh * 0.09), (x0, y0 + mh * 0.095)]
            c.polygon(pts, (72, 86, 98))
            c.polygon([(x0 + sgn * 1, y0 + 3), (x0 + sgn * 5, y0 + 5), (x0 + sgn * 5, y0 + mh * 0.085),
                       (x0 + sgn * 1, y0 + mh * 0.088)], (40, 48, 57))
            side[num] = (x0 + sgn * 22, y0 + mh * 0.048)
    # the logo on the palm (the main light)
    ly = top + mh * 0.70
    logo_col = ACCENT if (lights and "main" in lights) else (58, 68, 78)
    c.polygon([(cx - 20, ly - 12), (cx - 11, ly - 12), (cx, ly + 6), (cx + 11, ly - 12), (cx + 20, ly - 12),
               (cx, ly + 20)], logo_col)
    if lights and "side" in lights:
        for sgn in (-1, 1):
            pts = [(cx + sgn * (mw * 0.5 - 7), top + mh * (0.66 + k * 0.004)) for k in range(1)]
            x0 = cx + sgn * (mw * 0.5 - 9)
            c.line(x0, top + mh * 0.68, x0 + sgn * 1, top + mh * 0.86, ACCENT, 4)
    pos = {1: (cx - mw * 0.24, top + mh * 0.2), 2: (cx + mw * 0.24, top + mh * 0.2),
           3: (cx, top + mh * 0.195), 8: (cx, wy0 - 12), 9: (cx, wy1 + 12)}
    pos.update(side)
    for num in (badges or ()):
        x, y = pos[num]
        c.circle(x, y, 11, (10, 13, 17))
        c.circle(x, y, 10, ACCENT)
        c.circle(x, y, 8.5, (14, 40, 47))
        c.vtext(x - vtext_width(str(num), 9, 1.6) / 2.0, y - 4.5, str(num), WHITE, 9, 1.6)
    return register(file, c), pos


def sensor_window(file, w, h):
    """The sensitivity display beside the DPI sliders: a stylised optical sensor."""
    c = Canvas(w, h, PANEL)
    c.panel(0, 0, w, h, 10, (12, 18, 23), (36, 52, 60), 1)
    cx, cy = w / 2.0, h / 2.0 - 6
    for r, col in ((34, (18, 40, 47)), (26, ACCENT_DEEP), (18, ACCENT_MID), (9, ACCENT)):
        c.circle(cx, cy, r, col)
    c.circle(cx, cy, 34, ACCENT_MID, ring=1.5)
    for k in range(12):
        a = k * math.pi / 6
        c.line(cx + math.cos(a) * 38, cy + math.sin(a) * 38, cx + math.cos(a) * 44,
               cy + math.sin(a) * 44, ACCENT_MID if k % 3 else ACCENT, 2)
    c.vtext(cx - vtext_width("DPI", 11, 1.8) / 2.0, h - 19, "DPI", HEADING, 11, 1.8)
    return register(file, c)


def display_box(file, w, h, under=PANEL):
    """A recessed value display (the stage count of the stages popup)."""
    c = Canvas(w, h, under)
    c.round_rect(0, 0, w, h, 5, (50, 64, 76))
    c.round_rect(1, 1, w - 1, h - 1, 4, (6, 9, 12))
    c.rect(4, h - 3, w - 4, h - 2, ACCENT_MID)
    return register(file, c)


def dpi_stage_pieces(w, h):
    """The pieces of a DPI stage window: frame, selected frame, value boxes."""
    def frame(sel):
        c = Canvas(w, h, PANEL)
        c.round_rect(0, 0, w, h, 8, ACCENT if sel else (46, 58, 68))
        c.round_rect(1, 1, w - 1, h - 1, 7, None,
                     ((22, 52, 60), (14, 30, 36)) if sel else ((28, 35, 43), (19, 24, 30)))
        c.rect(10, 28, w - 10, 29, ACCENT_MID if sel else (46, 58, 68))
        return c
    bw, bh = w - 24, 30

    def box(sel, width):
        c = Canvas(width, bh, (0, 0, 0))
        c.round_rect(0, 0, width, bh, 4, ACCENT if sel else (60, 74, 86))
        c.round_rect(1, 1, width - 1, bh - 1, 3, ACCENT_DEEP if sel else (0, 0, 0))
        return c
    return {
        "DPIFRAME": register("dpi_frame.bmp", frame(False)),
        "DPIFRAMESELECTED": register("dpi_frame_sel.bmp", frame(True)),
        "DPIWIN": register("dpi_box.bmp", box(False, bw)),
        "DPIWINX": register("dpi_boxx.bmp", box(False, bw)),
        "DPIWINY": register("dpi_boxy.bmp", box(False, bw)),
        "selected": register("stageSelected.bmp", box(True, bw)),
    }


def key_window(w, h):
    """The window that describes the key under the cursor: normal, hover, selected."""
    def win(edge, top, bot, line):
        c = Canvas(w, h, PANEL)
        c.round_rect(0, 0, w, h, 8, edge)
        c.round_rect(1, 1, w - 1, h - 1, 7, None, (top, bot))
        c.rect(12, h - 3, w - 12, h - 2, line)
        return c
    n = win((42, 52, 62), (22, 28, 34), (18, 23, 28), (42, 52, 62))
    o = win(ACCENT_MID, (20, 36, 42), (16, 26, 31), ACCENT_MID)
    d = win(ACCENT, (18, 50, 58), (14, 34, 40), ACCENT)
    return States([register("keywin_%s.bmp" % t, c) for t, c in zip("nod", (n, o, d))] +
                  [register("keywin_n.bmp", n)])


def assignment_icons(size=26):
    """Icons of the assignment types shown before the key description (by type code; 100 to 103
    are the macro play modes)."""
    out = []

    def icon(code, draw):
        c = Canvas(size, size, (0, 0, 0))
        c.circle(size / 2.0, size / 2.0, size / 2.0 - 1, ACCENT_DEEP)
        draw(c)
        out.append((code, register("assn_%d.bmp" % code, c)))
    m = size / 2.0
    icon(0, lambda c: c.circle(m, m, 5, WHITE, ring=2))
    icon(5, lambda c: (c.round_rect(7, 7, size - 7, size - 7, 2, WHITE),
                       c.round_rect(9, 9, size - 9, size - 9, 1, ACCENT_DEEP)))

    def play(c, marks):
        c.polygon([(m - 4, m - 6), (m + 6, m), (m - 4, m + 6)], WHITE)
        for k in range(marks):
            c.rect(5 + k * 4, size - 6, 7 + k * 4, size - 4, ACCENT)
    icon(6, lambda c: play(c, 0))
    for code, marks in ((100, 1), (101, 2), (102, 3), (103, 4)):
        icon(code, lambda c, marks=marks: play(c, marks))
    icon(22, lambda c: (c.line(m - 5, m - 3, m + 5, m - 3, WHITE, 2), c.line(m - 5, m + 3, m + 5, m + 3, WHITE, 2),
                        c.polygon([(m + 3, m - 7), (m + 7, m - 3), (m + 3, m + 1)], WHITE),
                        c.polygon([(m - 3, m - 1), (m - 7, m + 3), (m - 3, m + 7)], WHITE)))
    icon(63, lambda c: (c.round_rect(6, 8, size - 6, size - 7, 2, WHITE),
                        c.rect(8, 11, size - 8, size - 9, ACCENT_DEEP)))
    return out
