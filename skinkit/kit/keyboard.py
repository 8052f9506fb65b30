"""The keyboard: its key table, the binary definition and default files, the picture of the
board and the key layout files that put one key item on every key of the picture.

The key table is the simulated keyboard's own (mwsim/KeyTable.inc), so that names, make codes,
prefixes and device key codes are the same in the simulator, the definition files and the key
items. A key is identified everywhere by the djb2 hash of its name.
"""

import re
import struct

from . import art
from .layout import Layout
from .raster import Canvas, WHITE, mix, shade

ROW = re.compile(r'^HV_KEY\(L"((?:[^"\\]|\\.)*)", (0x[0-9A-Fa-f]+), ([0-2]), (0x[0-9A-Fa-f]+), ([01])\)')


class Key:
    def __init__(self, name, scan, prefix, vk, on_board):
        self.name, self.scan, self.prefix, self.vk, self.on_board = name, scan, prefix, vk, on_board

    @property
    def device_code(self):
        return self.scan | {0: 0, 1: 0x20000, 2: 0x40000}[self.prefix]

    @property
    def flags(self):
        """The flag byte of the key's code in the definition: 1 for E0 keys, 2 for the E1 key."""
        return self.prefix


def parse_key_table(path):
    keys = []
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            s = line.strip()
            if not s.startswith("HV_KEY("):
                continue
            m = ROW.match(s)
            if not m:
                raise ValueError("%s:%d: key row not understood: %s" % (path, n, s))
            name = re.sub(r"\\(.)", r"\1", m.group(1))
            keys.append(Key(name, int(m.group(2), 16), int(m.group(3)), int(m.group(4), 16),
                            m.group(5) == "1"))
    if not keys:
        raise ValueError("%s: no key rows" % path)
    seen = set()
    for k in keys:
        if k.name in seen:
            raise ValueError("%s: key %r twice" % (path, k.name))
        seen.add(k.name)
    return keys


def key_hash(name):
    h = 5381
    for ch in name.encode("utf-16-le").decode("utf-16-le"):
        for unit in struct.unpack("<%dH" % (len(ch.encode("utf-16-le")) // 2), ch.encode("utf-16-le")):
            h = (h * 33 + unit) & 0xFFFFFFFF
    return h


def definition_bytes(keys):
    """The keyboard definition file: count, then one record per key."""
    out = bytearray(struct.pack("<i", len(keys)))
    for k in keys:
        name = k.name.encode("utf-16-le")
        out += struct.pack("<I", len(name)) + name
        out += struct.pack("<hh", k.vk, 1 if k.on_board else 0)
        if k.prefix == 2:
            # the E1 key reports as E1 1D 45: the prefixed run ends in the key's own make code
            entries = [(0x1D, 2), (k.scan, 0)]
        else:
            entries = [(k.scan, k.flags)]
        entries += [(0, 0)] * (10 - len(entries))
        for code, flags in entries:
            out += struct.pack("<hBB", code, flags, 0)
        out += b"\0" * (3 * 40)
    return bytes(out)


def defaults_bytes(keys):
    """The default assignment of every key: the key itself (make code, prefix flags)."""
    out = bytearray(struct.pack("<i", len(keys)))
    for k in keys:
        out += struct.pack("<II", key_hash(k.name), k.scan | (k.flags << 16))
    return bytes(out)


def read_definition(data):
    """Reads a definition file back the way the programs do (used by the checks)."""
    if len(data) < 4:
        raise ValueError("definition shorter than its count")
    count, = struct.unpack_from("<i", data, 0)
    pos, recs = 4, []
    for _ in range(count):
        if pos + 4 > len(data):
            raise ValueError("truncated record header")
        n, = struct.unpack_from("<I", data, pos)
        if pos + 4 + n + 164 > len(data):
            raise ValueError("truncated record")
        name = data[pos + 4:pos + 4 + n].decode("utf-16-le")
        v1, v2 = struct.unpack_from("<hh", data, pos + 4 + n)
        entries = [struct.unpack_from("<hBB", data, pos + 8 + n + 4 * i)[:2] for i in range(10)]
        code, flags = entries[0]
        if flags:
            for c, f in entries[1:]:
                if c == 0 or f != 0:
                    break
                code = c
        recs.append((name, code, flags, v1, v2))
        pos += 4 + n + 164
    if pos != len(data):
        raise ValueError("bytes after the last record")
    return recs


# -- the board -------------------------------------------------------------------------------
U = 36          # one key unit in pixels
GAP = 4
PAD = 14

# (item name, key name, x, y, width, height) in key units; captions by layout below.
def _board():
    keys = []

    def add(item, name, x, y, w=1.0, h=1.0):
        keys.append((item, name, x, y, w, h))
    add("ESC", "Escape", 0, 0)
    for i in range(12):
        add("F%d" % (i + 1), "F%d" % (i + 1), 2 + i + (i // 4) * 0.5, 0)
    add("PRTSC", "Print Screen (Note 1)", 15.5, 0)
    add("SCRLK", "Scroll Lock", 16.5, 0)
    add("PAUSE", "Pause", 17.5, 0)
    row = [("TILDE", "` ~")] + [(str(d), "%s %s" % (d, s)) for d, s in zip("1234567890", "!@#$%^&*()")] + \
          [("MINUS", "- _"), ("PLUS", "= +")]
    for i, (item, name) in enumerate(row):
        add(item, name, i, 1.5)
    add("BKSPC", "Backspace", 13, 1.5, 2)
    add("TAB", "Tab", 0, 2.5, 1.5)
    for i, ch in enumerate("QWERTYUIOP"):
        add(ch, "%s %s" % (ch.lower(), ch), 1.5 + i, 2.5)
    add("LTCRBKT", "[ {", 11.5, 2.5)
    add("RTCRBKT", "] }", 12.5, 2.5)
    add("VRTLINE", "\\ |", 13.5, 2.5, 1.5)
    add("CAPSLK", "Caps Lock", 0, 3.5, 1.75)
    for i, ch in enumerate("ASDFGHJKL"):
        add(ch, "%s %s" % (ch.lower(), ch), 1.75 + i, 3.5)
    add("COLON", "; :", 10.75, 3.5)
    add("QUOTN", "' \"", 11.75, 3.5)
    add("ENTER", "Return", 12.75, 3.5, 2.25)
    add("LTSHFT", "Left Shift", 0, 4.5, 2.25)
    for i, ch in enumerate("ZXCVBNM"):
        add(ch, "%s %s" % (ch.lower(), ch), 2.25 + i, 4.5)
    add("LESSTHN", ", <", 9.25, 4.5)
    add("GRTRTHN", ". >", 10.25, 4.5)
    add("QTNMRK", "/ ?", 11.25, 4.5)
    add("RTSHFT", "Right Shift", 12.25, 4.5, 2.75)
    add("LTCTRL", "Left Control", 0, 5.5, 1.25)
    add("LTWIN", "Left GUI", 1.25, 5.5, 1.25)
    add("LTALT", "Left Alt", 2.5, 5.5, 1.25)
    add("SPACE", "Space", 3.75, 5.5, 6.25)
    add("RTALT", "Right Alt", 10, 5.5, 1.25)
    add(None, "Right GUI", 11.25, 5.5, 1.25)      # no key item of its own: drawn only
    add("MENU", "App", 12.5, 5.5, 1.25)
    add("RTCTRL", "Right Control", 13.75, 5.5, 1.25)
    for i, (item, name) in enumerate((("INSRT", "Insert (Note 1)"), ("HOME", "Home (Note 1)"),
                                      ("PGUP", "Page Up (Note 1)"))):
        add(item, name, 15.5 + i, 1.5)
    for i, (item, name) in enumerate((("DEL", "Delete (Note 1)"), ("END", "End (Note 1)"),
                                      ("PGDOWN", "Page Down (Note 1)"))):
        add(item, name, 15.5 + i, 2.5)
    add("UPARW", "Up Arrow (Note 1)", 16.5, 4.5)
    add("LTARW", "Left Arrow (Note 1)", 15.5, 5.5)
    add("DWNARW", "Down Arrow (Note 1)", 16.5, 5.5)
    add("RTARW", "Right Arrow (Note 1)", 17.5, 5.5)
    nx = 19
    add("NUMLK", "Num Lock", nx, 1.5)
    add("NUMSH", "Keypad / (Note 1)", nx + 1, 1.5)
    add("NUMSR", "Keypad *", nx + 2, 1.5)
    add("NUMMS", "Keypad -", nx + 3, 1.5)
    add("NUM7", "Keypad 7 Home", nx, 2.5)
    add("NUM8", "Keypad 8 Up", nx + 1, 2.5)
    add("NUM9", "Keypad 9 PageUp", nx + 2, 2.5)
    add("NUMPLUS", "Keypad +", nx + 3, 2.5, 1, 2)
    add("NUM4", "Keypad 4 Left", nx, 3.5)
    add("NUM5", "Keypad 5", nx + 1, 3.5)
    add("NUM6", "Keypad 6 Right", nx + 2, 3.5)
    add("NUM1", "Keypad 1 End", nx, 4.5)
    add("NUM2", "Keypad 2 Down", nx + 1, 4.5)
    add("NUM3", "Keypad 3 PageDn", nx + 2, 4.5)
    add("NUMENTR", "Keypad Enter", nx + 3, 4.5, 1, 2)
    add("NUM0", "Keypad 0 Insert", nx, 5.5, 2)
    add("NUM_PT", "Keypad . Delete", nx + 2, 5.5)
    return keys


BOARD = _board()
BOARD_W = int(23 * U + 2 * PAD - GAP)
BOARD_H = int(6.5 * U + 2 * PAD - GAP)

CAPTIONS_US = {
    "ESC": "Esc", "PRTSC": "PrtSc", "SCRLK": "ScrLk", "PAUSE": "Pause", "TILDE": "`", "MINUS": "-",
    "PLUS": "=", "BKSPC": "Backspace", "TAB": "Tab", "LTCRBKT": "[", "RTCRBKT": "]", "VRTLINE": "\\",
    "CAPSLK": "Caps Lock", "COLON": ";", "QUOTN": "'", "ENTER": "Enter", "LTSHFT": "Shift",
    "LESSTHN": ",", "GRTRTHN": ".", "QTNMRK": "/", "RTSHFT": "Shift", "LTCTRL": "Ctrl", "LTWIN": "Win",
    "LTALT": "Alt", "SPACE": " ", "RTALT": "Alt", "MENU": "Menu", "RTCTRL": "Ctrl", "INSRT": "Ins",
    "HOME": "Home", "PGUP": "PgUp", "DEL": "Del", "END": "End", "PGDOWN": "PgDn",
    "UPARW": "\u2191", "LTARW": "\u2190", "DWNARW": "\u2193", "RTARW": "\u2192", "NUMLK": "Num",
    "NUMSH": "/", "NUMSR": "*", "NUMMS": "-", "NUMPLUS": "+", "NUMENTR": "Enter", "NUM_PT": ".",
}
for _i in range(10):
    CAPTIONS_US["NUM%d" % _i] = str(_i)
# The key faces' fonts have the arrows but no shift or return symbol (they would show as empty
# boxes), so the German shift and return keys carry words.
CAPTIONS_DE = dict(CAPTIONS_US, **{
    "TILDE": "^", "MINUS": "\u00df", "PLUS": "\u00b4", "LTCRBKT": "\u00dc", "RTCRBKT": "+",
    "VRTLINE": "#", "COLON": "\u00d6", "QUOTN": "\u00c4", "QTNMRK": "-", "Y": "Z", "Z": "Y",
    "CAPSLK": "Feststell", "LTCTRL": "Strg", "RTCTRL": "Strg", "RTALT": "Alt Gr", "DEL": "Entf",
    "INSRT": "Einfg", "HOME": "Pos1", "END": "Ende", "PGUP": "Bild\u2191", "PGDOWN": "Bild\u2193",
    "PRTSC": "Druck", "SCRLK": "Rollen", "ESC": "Esc", "LTSHFT": "Umschalt", "RTSHFT": "Umschalt",
    "BKSPC": "\u2190", "ENTER": "Eingabe", "NUMENTR": "Enter", "NUM_PT": ",", "NUMLK": "Num",
    "MENU": "Men\u00fc",
})


def _key_px(x, y, w, h):
    return (int(PAD + x * U), int(PAD + y * U), int(w * U - GAP), int(h * U - GAP))


def board_pictures():
    """The whole board in each key state: normal, over, down (selected or assigned), disabled."""
    base = Canvas(BOARD_W, BOARD_H, art.PANEL)
    base.panel(0, 0, BOARD_W, BOARD_H, 12, (20, 25, 31), (50, 61, 72), 1)
    base.rect(18, BOARD_H - 4, BOARD_W - 18, BOARD_H - 2, art.ACCENT_MID)
    base.vtext(BOARD_W - 64, 9, "VEXA", art.ACCENT_MID, 8, 1.3, shear=0.2)
    styles = {
        "n": ((56, 66, 78), (44, 52, 62), (34, 41, 49), (12, 15, 19)),
        "o": (art.ACCENT, (40, 72, 82), (28, 54, 62), (12, 15, 19)),
        "d": (art.ACCENT, shade(art.ACCENT_MID, 1.05), art.ACCENT_DEEP, (12, 15, 19)),
        "x": ((34, 39, 45), (28, 32, 37), (24, 28, 32), (12, 15, 19)),
    }
    pics = {}
    for state, (edge, top, bot, shadow) in styles.items():
        c = base.copy()
        for item, name, x, y, w, h in BOARD:
            kx, ky, kw, kh = _key_px(x, y, w, h)
            st = styles["n"] if item is None else (edge, top, bot, shadow)
            c.round_rect(kx, ky + 2, kx + kw, ky + kh + 1, 5, st[3])
            c.round_rect(kx, ky, kx + kw, ky + kh, 5, st[0])
            c.round_rect(kx + 1, ky + 1, kx + kw - 1, ky + kh - 2, 4, None, (st[1], st[2]))
            if item is None:
                # the right Windows key carries its logo in the picture itself
                cx, cy = kx + kw // 2, ky + kh // 2 - 1
                for dx, dy in ((-5, -5), (1, -5), (-5, 1), (1, 1)):
                    c.rect(cx + dx, cy + dy, cx + dx + 4, cy + dy + 4, art.HEADING)
        pics[state] = art.register("kbd_%s.bmp" % state, c)
    return art.States([pics["n"], pics["o"], pics["d"], pics["x"]])


DEF_FILE = "VexaKeyboard.kbd"
DEFAULTS_FILE = "VexaKeyboardDefaults.kbd"
KEY_FONT = "FONT_ARIAL12B"
BOARD_X = 20 + (960 - BOARD_W) // 2
BOARD_Y = 132


def key_layout(filename, captions, keys_by_name):
    """A key layout file: the board picture as an enabled bitmap item and one key item on each
    key of the board that the definition knows."""
    L = Layout(filename, "KEYBOARD")
    L.keyboard_def("KBDDEF_WINDOWS", DEF_FILE, DEFAULTS_FILE)
    shared = board_pictures()
    host = art.Art(shared.files[0], art.SKINS[shared.files[0]])
    L.bitmap("BITMAP_MECHKBD", BOARD_X, BOARD_Y, host, host_children=True, bind="keyboard picture")
    L.key_list("BITMAP_MECHKBD", shared,
               {"SBMN": "WHITE", "SBMO": "VEXA_TAB_SELECT", "SBMD": "WHITE", "SBMDS": "MIDGREY"})
    for item, name, x, y, w, h in BOARD:
        if item is None:
            continue
        if name not in keys_by_name:
            raise ValueError("the key table has no key %r" % name)
        kx, ky, kw, kh = _key_px(x, y, w, h)
        cap = captions.get(item, item)
        L.key("BUTTON_KB_" + item, name, BOARD_X + kx, BOARD_Y + ky, kw, kh, cap, KEY_FONT,
              bind="key %s" % name)
    return L


# Windows keyboard layouts by layout item, and the key layout file each one shows.
KB_LAYOUTS = [
    ("KBLAYOUT_ENGLISH", "00000409"), ("KBLAYOUT_CHINESE_SIMPLIFIED", "00000804"),
    ("KBLAYOUT_CHINESE_TRADITIONAL", "00000404"), ("KBLAYOUT_FRENCH", "0000040C"),
    ("KBLAYOUT_FRENCHCANADIAN", "00001009"), ("KBLAYOUT_GERMAN", "00000407"),
    ("KBLAYOUT_KOREAN", "00000412"), ("KBLAYOUT_RUSSIAN", "00000419"),
    ("KBLAYOUT_JAPANESE", "00000411"), ("KBLAYOUT_SPANISH", "0000040A"),
    ("KBLAYOUT_THAI", "0000041E"), ("KBLAYOUT_NORDIC", "0000041D"), ("KBLAYOUT_UK", "00000809"),
    ("KBLAYOUT_TURKISH", "0000041F"), ("KBLAYOUT_GREEK", "00000408"),
]
KEYS_US = "KeyboardKeys.xml"
KEYS_DE = "KeyboardKeys_DE.xml"


def layouts_file():
    L = Layout("KeyboardLayout.xml")
    L.keyboard_def("KBDDEF_WINDOWS", DEF_FILE, DEFAULTS_FILE)
    for name, klid in KB_LAYOUTS:
        L.kb_layout(name, klid, KEYS_DE if name == "KBLAYOUT_GERMAN" else KEYS_US,
                    bind="keyboard layout")
    return L
