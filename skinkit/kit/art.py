"""The artwork of the default skin: a dark interface with one cyan accent.

Every function draws one family of bitmaps, registers them under their file names in `SKINS` and
returns an `Art` (one bitmap) or `States` (normal, over, down, disabled). Items that are drawn over
a known background get corners anti-aliased against that colour, so no masks are needed for them;
only windows that are really shaped (the main window and the popups) carry masks.
"""

import math

from .names import color_rgb
from .raster import Canvas, MAGENTA, WHITE, BLACK, mix, shade, vtext_width

SKINS = {}

# Palette. The accent and the list colours are the named colours the layouts give the items, so
# that bitmaps and items drawn by the programs agree.
ACCENT = color_rgb("VEXA_TAB_SELECT")        # cyan
ACCENT_MID = color_rgb("VEXA_PANEL_BORDER")   # teal
ACCENT_DEEP = color_rgb("VEXA_PANEL_HIGHLIGHT")
COMBO_BK = color_rgb("VEXA_COMBO_BK")
HEADING = color_rgb("GREY_VX_HEADING")
BG = (11, 14, 18)          # window
PANEL = (16, 21, 27)       # content panel
PANEL_EDGE = (38, 48, 58)
RAISED = (28, 35, 43)
RAISED_EDGE = (55, 67, 79)
DIM = (96, 104, 112)


class Art:
    def __init__(self, file, canvas):
        self.file, self.w, self.h = file, canvas.w, canvas.h


class States:
    def __init__(self, arts):
        self.files = [a.file if a else None for a in arts]
        self.w, self.h = arts[0].w, arts[0].h


def register(file, canvas):
    if file in SKINS and SKINS[file].px != canvas.px:
        raise ValueError("two different bitmaps named %s" % file)
    SKINS[file] = canvas
    return Art(file, canvas)


def mask_from(canvas, key=MAGENTA):
    """The mask of a shaped window: black where the window is, white where it is not."""
    m = Canvas(canvas.w, canvas.h, BLACK)
    for y in range(canvas.h):
        for x in range(canvas.w):
            if canvas.get(x, y) == key:
                m.put(x, y, WHITE)
    return m


def keyed(c, under, key=MAGENTA):
    """Turns what was drawn over the plain colour `under` into the transparent key colour, with
    no blended fringe: pixels mostly `under` become the key."""
    def f(p):
        return key if p == under else p
    c.map(f)
    return c


# -- windows ---------------------------------------------------------------------------------
def logo(c, x, y, height=30):
    """The maker's word mark in white, the product's in the accent; returns the x after it."""
    weight = height * 0.17
    x = c.vtext(x, y, "HALVO", WHITE, height, weight, shear=0.2)
    return c.vtext(x + height * 0.3, y, "VEXA", ACCENT, height, weight, shear=0.2)


def slashes(c, x, y, n, h, color):
    for i in range(n):
        x0 = x + i * 14
        c.polygon([(x0 + 10, y), (x0 + 16, y), (x0 + 6, y + h), (x0, y + h)], color)


def main_background(W, H, content, footer_y):
    """The main window: a rounded dark body (the rest magenta, the transparent colour), a
    header with the logo, the tab strip and the content panel."""
    c = Canvas(W, H, MAGENTA)
    body = Canvas(W, H, (1, 2, 3))
    body.panel(0, 0, W, H, 16, BG, (44, 56, 66), 1)
    body.vgrad(1, 1, W - 1, 76, (24, 31, 38), BG)
    body.round_rect(1, 1, W - 1, 40, 15, (24, 31, 38))
    body.vgrad(16, 1, W - 16, 40, (24, 31, 38), (19, 25, 31))
    # accent rule under the header, fading out to the right
    body.hgrad(24, 74, W - 24, 76, ACCENT, BG)
    end = logo(body, 32, 22, 30)
    slashes(body, int(end) + 26, 22, 3, 30, ACCENT_DEEP)
    slashes(body, int(end) + 68, 22, 5, 30, (22, 36, 42))
    x0, y0, x1, y1 = content
    body.panel(x0, y0, x1, y1, 8, PANEL, PANEL_EDGE, 1)
    body.rect(x0 + 8, y0, x1 - 8, y0 + 1, mix(PANEL_EDGE, ACCENT_MID, 0.4))
    # footer rule
    body.rect(24, footer_y, W - 24, footer_y + 1, (30, 38, 46))
    # keep only what lies inside the rounded outline; the corners stay exactly magenta
    for y in range(H):
        for x in list(range(0, 20)) + list(range(W - 20, W)):
            p = body.get(x, y)
            if p == (1, 2, 3):
                body.put(x, y, MAGENTA)
            elif (y < 20 or y >= H - 20):
                # anti-aliased edge pixels: blend against the window colour, never magenta
                cov = _corner_cover(x, y, W, H, 16)
                if cov < 0.5:
                    body.put(x, y, MAGENTA)
    c.blit(body, 0, 0)
    return c


def _corner_cover(x, y, W, H, r):
    cx = r if x < r else (W - r if x >= W - r else x + 0.5)
    cy = r if y < r else (H - r if y >= H - r else y + 0.5)
    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) - r
    return max(0.0, min(1.0, 0.5 - d))


def popup_background(file, w, h, accent=True):
    """A popup: rounded, with an accent bar at the top; returns (background, mask)."""
    body = Canvas(w, h, (1, 2, 3))
    body.panel(0, 0, w, h, 12, PANEL, ACCENT_MID if accent else PANEL_EDGE, 1)
    body.vgrad(1, 1, w - 1, 46, (26, 34, 41), PANEL)
    body.round_rect(1, 1, w - 1, 24, 11, (26, 34, 41))
    body.rect(14, 4, w - 14, 5, ACCENT if accent else RAISED_EDGE)
    body.hgrad(16, 46, w - 16, 47, ACCENT_MID, PANEL)
    slashes(body, w - 70, 14, 3, 16, (30, 52, 58))
    for y in range(h):
        for x in range(w):
            if x >= 14 and x < w - 14 and y >= 14 and y < h - 14:
                continue
            if body.get(x, y) == (1, 2, 3) or _corner_cover(x, y, w, h, 12) < 0.5:
                body.put(x, y, MAGENTA)
    m = mask_from(body)
    return register(file + ".bmp", body), register(file + "_mask.bmp", m)


# -- buttons ---------------------------------------------------------------------------------
def _btn(w, h, fill_top, fill_bot, edge, under, r=4, glow=None):
    c = Canvas(w, h, under)
    if glow:
        c.round_rect(0, 0, w, h, r, glow)
        c.round_rect(1, 1, w - 1, h - 1, r - 1, edge)
    else:
        c.round_rect(0, 0, w, h, r, edge)
    c.round_rect(1, 1, w - 1, h - 1, r - 1, None, (fill_top, fill_bot))
    return c


def button(w, h, under=PANEL, style="std", icon=None):
    """States of a push button; style std, primary (accent filled when over) or flat."""
    key = "btn_%s_%dx%d_%02x%02x%02x" % ((style, w, h) + tuple(under))
    n = _btn(w, h, (40, 49, 59), (29, 36, 44), RAISED_EDGE, under)
    o = _btn(w, h, (30, 62, 70), (20, 44, 51), ACCENT, under)
    d = _btn(w, h, ACCENT_DEEP, shade(ACCENT_DEEP, 0.8), ACCENT, under)
    x = _btn(w, h, (24, 28, 33), (22, 26, 31), (40, 45, 51), under)
    if style == "primary":
        n = _btn(w, h, (20, 76, 88), (12, 58, 68), ACCENT_MID, under)
    arts = []
    for tag, c in zip("nodx", (n, o, d, x)):
        if icon:
            icon(c, tag)
        arts.append(register("%s_%s.bmp" % (key, tag), c))
    return States(arts)


def tab(w, h, under=BG, panel=PANEL):
    """Page tabs: flat text on the window colour; the selected one merges into the panel."""
    n = Canvas(w, h, under)
    n.rect(6, h - 1, w - 6, h, (32, 40, 48))
    o = Canvas(w, h, under)
    o.round_rect(2, 4, w - 2, h + 6, 6, (20, 27, 33))
    o.rect(10, h - 2, w - 10, h, ACCENT_MID)
    d = Canvas(w, h, under)
    d.round_rect(2, 2, w - 2, h + 8, 7, PANEL_EDGE)
    d.round_rect(3, 3, w - 3, h + 8, 6, panel)
    d.rect(10, 3, w - 10, 6, ACCENT)
    x = Canvas(w, h, under)
    key = "tab_%dx%d" % (w, h)
    return States([register("%s_%s.bmp" % (key, t), c) for t, c in zip("nodx", (n, o, d, x))])


def product_tab(w, h, kind, under=BG):
    """The product switch: a wide pill with the product's outline icon at the left."""
    def icon(c, state):
        col = {"n": HEADING, "o": ACCENT, "d": WHITE, "x": DIM}[state]
        if kind == "mouse":
            mouse_icon(c, 18, 9, h - 18, col)
        else:
            keyboard_icon(c, 12, (h - 18) // 2, 34, 18, col)

    def pill(top, bot, edge):
        c = Canvas(w, h, under)
        c.round_rect(0, 0, w, h, h // 2, edge)
        c.round_rect(1, 1, w - 1, h - 1, h // 2 - 1, None, (top, bot))
        return c
    n = pill((30, 38, 46), (22, 28, 35), (50, 62, 73))
    o = pill((26, 56, 64), (18, 40, 47), ACCENT)
    d = pill(ACCENT_DEEP, shade(ACCENT_DEEP, 0.75), ACCENT)
    x = pill((20, 24, 29), (18, 22, 27), (34, 39, 45))
    arts = []
    for t, c in zip("nodx", (n, o, d, x)):
        icon(c, t)
        arts.append(register("prod_%s_%s.bmp" % (kind, t), c))
    return States(arts)


def mouse_icon(c, x, y, h, col):
    w = h * 0.62
    pts = []
    for i in range(40):
        a = 2 * math.pi * i / 40
        px = x + w / 2 + math.sin(a) * w / 2
        py = y + h / 2 - math.cos(a) * h / 2 * (1.0 if math.cos(a) > 0 else 1.0)
        pts.append((px, py))
    c.polygon(pts, col)
    inner = [(x + w / 2 + (px - x - w / 2) * 0.78, y + h / 2 + (py - y - h / 2) * 0.84) for px, py in pts]
    c.polygon(inner, c.get(int(x + 1), int(y + 1)))
    c.line(x + w / 2, y + 2, x + w / 2, y + h * 0.42, col, 1.6)
    c.line(x + 2, y + h * 0.42, x + w - 2, y + h * 0.42, col, 1.4)


def keyboard_icon(c, x, y, w, h, col):
    c.round_rect(x, y, x + w, y + h, 3, col)
    bgc = c.get(x - 2 if x > 2 else 0, y)
    c.round_rect(x + 2, y + 2, x + w - 2, y + h - 2, 2, bgc)
    for row in range(3):
        for k in range(6):
            kx = x + 4 + k * ((w - 8) / 6.0)
            c.rect(int(kx), y + 4 + row * 4, int(kx) + 3, y + 6 + row * 4, col)
    c.rect(x + 9, y + h - 5, x + w - 9, y + h - 3, col)


def close_button(size=30, under=BG):
    def icon(c, t):
        col = {"n": HEADING, "o": WHITE, "d": WHITE, "x": DIM}[t]
        m = size * 0.34
        c.line(m, m, size - m, size - m, col, 2.2)
        c.line(size - m, m, m, size - m, col, 2.2)
    return button(size, size, under, "close", icon)


def help_button(size=32, under=BG):
    def icon(c, t):
        col = {"n": HEADING, "o": WHITE, "d": WHITE, "x": DIM}[t]
        h = size * 0.5
        c.vtext(size / 2.0 - h / 3.0 - 1.2, (size - h) / 2.0, "?", col, h, 2.6)
    return button(size, size, under, "help", icon)


def step_button(size, sign, under=PANEL):
    def icon(c, t):
        col = {"n": WHITE, "o": ACCENT, "d": WHITE, "x": DIM}[t]
        m = size // 2
        c.rect(m - 7, m - 1, m + 7, m + 1, col)
        if sign == "+":
            c.rect(m - 1, m - 7, m + 1, m + 7, col)
    return button(size, size, under, "step" + ("p" if sign == "+" else "m"), icon)


def checkbox(size=18, under=PANEL):
    """Check boxes: the down picture is the checked box."""
    def box(edge, fill):
        c = Canvas(size, size, under)
        c.round_rect(0, 0, size, size, 4, edge)
        c.round_rect(1, 1, size - 1, size - 1, 3, fill)
        return c
    n = box(RAISED_EDGE, (20, 26, 32))
    o = box(ACCENT, (22, 38, 44))
    d = box(ACCENT, ACCENT_MID)
    d.polyline([(4, 9.5), (7.5, 13), (14, 5.5)], WHITE, 2.2)
    x = box((40, 45, 51), (20, 23, 27))
    key = "check_%d_%02x%02x%02x" % ((size,) + under)
    return States([register("%s_%s.bmp" % (key, t), c) for t, c in zip("nodx", (n, o, d, x))])


def segment(w, h, under=PANEL):
    """Option buttons that work as a group (polling rate, lights, play modes)."""
    def seg(edge, top, bot):
        c = Canvas(w, h, under)
        c.round_rect(0, 0, w, h, 5, edge)
        c.round_rect(1, 1, w - 1, h - 1, 4, None, (top, bot))
        return c
    n = seg(RAISED_EDGE, (30, 38, 46), (24, 30, 37))
    o = seg(ACCENT, (28, 50, 58), (22, 38, 45))
    d = seg(ACCENT, shade(ACCENT_MID, 1.1), ACCENT_DEEP)
    d.rect(8, h - 4, w - 8, h - 2, ACCENT)
    x = seg((40, 45, 51), (22, 26, 31), (20, 24, 28))
    key = "seg_%dx%d" % (w, h)
    return States([register("%s_%s.bmp" % (key, t), c) for t, c in zip("nodx", (n, o, d, x))])


# -- sliders and scroll bars -----------------------------------------------------------------
def slider_track(w, h=26, under=PANEL, disabled=False):
    """Returns (track art, fill rectangle in track coordinates)."""
    c = Canvas(w, h, under)
    gy = h // 2 - 3
    c.round_rect(4, gy, w - 4, gy + 6, 3, (8, 10, 13))
    c.round_rect(5, gy + 1, w - 5, gy + 5, 2, (22, 28, 34) if not disabled else (18, 21, 25))
    for i in range(11):
        tx = int(10 + (w - 20) * i / 10)
        c.rect(tx, gy + 9, tx + 1, gy + 13 if i % 5 else gy + 15, (58, 70, 82) if not disabled else (34, 38, 44))
    name = "track_%d%s.bmp" % (w, "_off" if disabled else "")
    return register(name, c), (6, gy + 1, w - 12, 4)


def slider_thumb(hot=False, disabled=False, w=14, h=26, under=PANEL):
    c = Canvas(w, h, under)
    edge = ACCENT if hot else (HEADING if not disabled else (70, 76, 84))
    c.round_rect(0, 1, w, h - 1, 4, edge)
    top = (58, 70, 80) if not disabled else (36, 40, 46)
    c.round_rect(1, 2, w - 1, h - 2, 3, None, (shade(top, 1.25), top))
    c.rect(w // 2 - 1, 8, w // 2 + 1, h - 8, ACCENT if not disabled else (70, 76, 84))
    keyed(c, under)
    name = "thumb%s%s.bmp" % ("_hot" if hot else "", "_off" if disabled else "")
    return register(name, c)


def scrollbar(width=14, under=COMBO_BK):
    """The six pieces of the skinned vertical scroll bar."""
    def piece(name, h, draw):
        c = Canvas(width, h, under)
        draw(c)
        return register("sb_%s.bmp" % name, c).file

    def arrow(up):
        def d(c):
            c.round_rect(1, 1, width - 1, width - 1, 3, (34, 42, 50))
            m = width / 2.0
            if up:
                c.polygon([(m, 4.5), (width - 4, 9.5), (4, 9.5)], ACCENT)
            else:
                c.polygon([(4, 4.5), (width - 4, 4.5), (m, 9.5)], ACCENT)
        return d

    def trough(c):
        c.rect(width // 2 - 1, 0, width // 2 + 1, c.h, (30, 38, 46))

    def thumb(c):
        c.round_rect(2, 0, width - 2, c.h, 3, ACCENT_MID)
        c.rect(4, c.h // 2 - 3, width - 4, c.h // 2 - 2, ACCENT)
        c.rect(4, c.h // 2 + 1, width - 4, c.h // 2 + 2, ACCENT)

    return [piece("top", 2, lambda c: c.rect(0, 0, width, 1, (30, 38, 46))),
            piece("bot", 2, lambda c: c.rect(0, 1, width, 2, (30, 38, 46))),
            piece("up", width, arrow(True)), piece("down", width, arrow(False)),
            piece("trough", 8, trough), piece("thumb", 24, thumb)]


# -- lists and macro icons -------------------------------------------------------------------
def list_check(size=14, under=COMBO_BK):
    off = Canvas(size, size, under)
    off.round_rect(1, 1, size - 1, size - 1, 3, RAISED_EDGE)
    off.round_rect(2, 2, size - 2, size - 2, 2, under)
    on = Canvas(size, size, under)
    on.round_rect(1, 1, size - 1, size - 1, 3, ACCENT)
    on.polyline([(3.5, 7), (6, 9.5), (10.5, 4)], COMBO_BK, 2.0)
    return register("lcheck_off.bmp", off).file, register("lcheck_on.bmp", on).file


def macro_icons(under=COMBO_BK, hi=ACCENT_DEEP):
    """Row icons of the macro display, 28 x 18: key down, key up, mouse, mouse selected,
    delay, delay selected."""
    def keycap(down):
        c = Canvas(28, 18, under)
        c.round_rect(4, 2, 18, 16, 3, HEADING)
        c.round_rect(5, 3, 17, 15, 2, (40, 49, 59))
        col = ACCENT if down else (200, 120, 90)
        if down:
            c.polygon([(20, 6), (26, 6), (23, 13)], col)
        else:
            c.polygon([(20, 12), (26, 12), (23, 5)], col)
        return c

    def mouse(bg):
        c = Canvas(28, 18, bg)
        mouse_icon(c, 9, 1, 16, HEADING)
        return c

    def clock(bg):
        c = Canvas(28, 18, bg)
        c.circle(14, 9, 7.5, HEADING, ring=1.6)
        c.line(14, 9, 14, 4.5, ACCENT, 1.5)
        c.line(14, 9, 17.5, 10.5, ACCENT, 1.5)
        return c
    return [register("md_keydown.bmp", keycap(True)), register("md_keyup.bmp", keycap(False)),
            register("md_mouse.bmp", mouse(under)), register("md_mouse_sel.bmp", mouse(hi)),
            register("md_delay.bmp", clock(under)), register("md_delay_sel.bmp", clock(hi))]


# -- decorations -----------------------------------------------------------------------------
def rule(w, h=2, under=PANEL, horizontal=True):
    c = Canvas(w, h, under)
    if horizontal:
        c.hgrad(0, 0, w, h, ACCENT_MID, under)
    else:
        c.vgrad(0, 0, w, h, ACCENT_MID, under)
    return register("rule_%dx%d.bmp" % (w, h), c)


def bar(file, w, h, color=None):
    c = Canvas(w, h, color or ACCENT_MID)
    return register(file, c)


def badge_strip(file, numbers, pitch, w=28, under=PANEL):
    """Numbered badges stacked at `pitch`, matching the rows of dropdowns beside them."""
    c = Canvas(w, pitch * len(numbers), under)
    for i, n in enumerate(numbers):
        cy = i * pitch + pitch / 2.0
        c.circle(w / 2.0, cy, 11, ACCENT_MID)
        c.circle(w / 2.0, cy, 9.5, (14, 40, 47))
        s = str(n)
        c.vtext(w / 2.0 - vtext_width(s, 10, 1.7) / 2.0, cy - 5, s, WHITE, 10, 1.7)
    return register(file, c)


def footnote(file, kind, w=220, h=40, under=BG):
    c = Canvas(w, h, under)
    if kind == "mouse":
        mouse_icon(c, 6, 4, h - 8, ACCENT_MID)
        label = "VEXA MOUSE"
    else:
        keyboard_icon(c, 2, 10, 34, 20, ACCENT_MID)
        label = "VEXA KEYBOARD"
    c.vtext(46, 12, label, HEADING, 12, 1.9, shear=0.18)
    c.rect(46, 30, 46 + int(vtext_width(label, 12, 1.9)), 31, ACCENT_MID)
    return register(file, c)
