"""The symbolic names the programs resolve while loading a layout, read from the programs' own
tables so that the tables are written once: the item ids from core/ItemIds.inc, the colours, list
columns, control types and languages from the name tables (core/NameTables.cpp).

`load` must run before anything asks for a name (the artwork takes its palette from the colour
table when its module is imported). The layouts may only use names found here: the loader skips
an element whose name does not resolve, so a typo would silently drop an item. Every builder in
this package goes through `item_id`, which refuses unknown names at generation time instead.

Look-ups follow the programs' tables: each table maps a number to one name (a later row with the
same number replaces the earlier one, which is why "LANGUAGE_ENGLISH" resolves to nothing and
layouts must say LANGUAGE_DEFAULT), and a name is found without regard to case, lowest number
first.
"""

import re

# The arrays of NameTables.cpp the generator reads: array name -> row pattern. List columns and
# control types are {number, L"name"}; colours are {0xBBGGRR, L"name"}.
_NAME_ROW = re.compile(r'\{\s*(-?(?:0x[0-9A-Fa-f]+|\d+))\s*,\s*L"([^"\\]*)"\s*\}')
TABLES = ("kColorRows", "kListColumnRows", "kControlTypeRows", "kMacroColumnTypeRows", "kLanguageRows")

# One row of the item id table, as its header gives it; every other line is empty or a comment.
_ITEM_ID_ROW = re.compile(r"^HV_ITEM_ID\(([A-Z][A-Z0-9_]*), (0|[1-9][0-9]*)\)(  // .*)?$")

SOURCE = None          # the file the name tables were read from
ITEM_ID_SOURCE = None  # the file the item ids were read from
ITEM_IDS = {}          # upper-case name -> item id
COLORS = {}            # upper-case name -> COLORREF (0x00BBGGRR)
LIST_COLUMNS = {}      # name -> column id
CONTROL_TYPES = {}     # name -> control type of a list column
MACRO_COLUMN_TYPES = {}
LANGUAGES = []         # [(language code, registry name, LANGUAGE_* item name)], by code
ROWS = {}              # array name -> [(number, name)] in source order, for the checks

# Item kinds, by the layout element that builds them.
KIND_BY_ELEMENT = {
    "BACKGROUND": 0, "MASK": 0, "BITMAPITEM": 1, "BUTTON": 2, "AVIBUTTON": 3, "VSLIDER": 5,
    "STAGE": 6, "DMARKER": 7, "HSLIDERM": 8, "HSLIDERMAPM": 9, "MACRODISPLAY": 10,
    "TEXTITEM": 11, "FONT": 12, "LANG": 13, "COMBO": 14, "COMBOCOLOR": 15, "LISTPANEL": 16,
    "BITMAPWINDOW": 17, "LISTCTRL": 18, "EDITCTRL": 19, "EDITCTRLSK": 20, "EDITCTRLSKMMO": 20,
    "DPISTAGEWINDOW": 21, "KEYBOARDDEF": 22, "KBDKEY": 23, "KBLAYOUT": 24, "SLIDERTRACK": 25,
    "PROGRESSPANELITEM": 26,
}



def array_body(source, array):
    """The text between the braces of `const <type> array[] = { ... };`, or None."""
    m = re.search(r"\b%s\s*\[\s*\]\s*=\s*\{" % re.escape(array), source)
    if not m:
        return None
    depth, i = 1, m.end()
    while i < len(source) and depth:
        depth += {"{": 1, "}": -1}.get(source[i], 0)
        i += 1
    return source[m.end():i - 1] if depth == 0 else None


def parse_rows(source, array):
    body = array_body(source, array)
    if body is None:
        raise ValueError("%s: no array %s" % (SOURCE, array))
    body = re.sub(r"//[^\n]*", "", body)
    return [(int(num, 0), name) for num, name in _NAME_ROW.findall(body)]


def _by_name(rows, upper=False):
    """name -> number as the programs' table answers it: one name per number, the later row
    winning, then the lowest number first for a name."""
    by_number = {}
    for num, name in rows:
        by_number[num] = name
    out = {}
    for num in sorted(by_number):
        key = by_number[num].upper() if upper else by_number[num]
        out.setdefault(key, num)
    return out


def read_item_ids(path):
    """The rows of the item id table in their order. A line that is neither empty, a comment nor a
    row, a name given twice (without regard to case) or a number below the one before is refused."""
    rows, seen = [], set()
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("//"):
                continue
            m = _ITEM_ID_ROW.match(line)
            if not m:
                raise ValueError("%s:%d: not a row of the item id table: %r" % (path, n, line))
            name, num = m.group(1), int(m.group(2))
            if name in seen:
                raise ValueError("%s:%d: %s is given twice" % (path, n, name))
            if rows and num < rows[-1][0]:
                raise ValueError("%s:%d: %s has %d, below the %d before it" % (path, n, name, num, rows[-1][0]))
            seen.add(name)
            rows.append((num, name))
    if not rows:
        raise ValueError("%s: no item id rows" % path)
    return rows


def load(path, item_ids):
    """Reads the programs' name tables from NameTables.cpp and their item ids from ItemIds.inc."""
    global SOURCE, ITEM_ID_SOURCE
    SOURCE, ITEM_ID_SOURCE = path, item_ids
    with open(path, encoding="utf-8") as f:
        source = f.read()
    ROWS.clear()
    for array in TABLES:
        ROWS[array] = parse_rows(source, array)
        if not ROWS[array]:
            raise ValueError("%s: array %s has no rows the generator can read" % (path, array))
    item_rows = read_item_ids(item_ids)
    ITEM_IDS.clear()
    ITEM_IDS.update(_by_name(item_rows, True))
    for target, array, upper in ((COLORS, "kColorRows", True),
                                 (LIST_COLUMNS, "kListColumnRows", False),
                                 (CONTROL_TYPES, "kControlTypeRows", False),
                                 (MACRO_COLUMN_TYPES, "kMacroColumnTypeRows", False)):
        target.clear()
        target.update(_by_name(ROWS[array], upper))
    LANGUAGES[:] = _languages(ROWS["kLanguageRows"], item_rows)


def _languages(language_rows, item_rows):
    """Every language a registry name can choose: the programs turn the name into its code (the
    lowest number of that name) and take the language table registered under the item id equal to
    the code. Numbers whose name a lower number holds too (10 to 14 say "English") are never
    chosen and get no language of their own."""
    item_names = dict(item_rows)
    out = []
    for name, code in sorted(_by_name(language_rows).items(), key=lambda row: row[1]):
        item = item_names.get(code, "")
        if not item.startswith("LANGUAGE_"):
            raise ValueError("%s: language %s (code %d) has no LANGUAGE_ item of that id" % (SOURCE, name, code))
        out.append((code, name, item))
    return out


def _loaded():
    if SOURCE is None:
        raise RuntimeError("the name tables are not loaded: call names.load(NameTables.cpp, ItemIds.inc) first")


def item_id(name):
    """The id a layout name resolves to; unknown names are a generator bug."""
    _loaded()
    try:
        return ITEM_IDS[name.upper()]
    except KeyError:
        raise KeyError("not an item name of the programs: %s" % name) from None


def color_rgb(name):
    """The (r, g, b) a colour name stands for, so that artwork can match the items drawn over it."""
    _loaded()
    v = COLORS[name.upper()]
    return (v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF)
