#!/usr/bin/env python3
"""Checks a generated install-directory image the way the programs will read it.

    check.py --image DIR --items required-items.tsv --keytable KeyTable.inc --nametables NameTables.cpp
             --itemids ItemIds.inc

- every layout parses as XML, has a root the loader knows, and names only items, fonts, colours,
  columns and control types the programs' tables know; every file it names exists;
- every "$" key of a layout, and every key the programs show themselves, has a text in every
  language file; the language list declares every language of the programs' language name
  table, each with a file of its own, and those without a translation carry the English texts;
- the keyboard definition and defaults files read back, record by record, as the key table says;
  every key item names a key of the definition;
- every item of the required-items table is in its file with the kind the programs expect;
- shaped windows: the transparent colour and the mask agree; bitmaps are valid 24-bit files;
- the programs' name tables (NameTables.cpp) and item ids (ItemIds.inc), which the generator reads
  too, are read whole.
Prints every problem and exits 1 when there is one.
"""

import argparse
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from kit import names, texts  # noqa: E402
from kit.raster import read_bmp, MAGENTA, WHITE  # noqa: E402

ROOTS = {"GUIPANEL", "ITEMLIST", "KEYBOARD"}
SECTION_CHILDREN = {
    "LANGLIST": {"LANG"}, "KBLAYOUTLIST": {"KBLAYOUT"}, "FONTLIST": {"FONT"},
    "BITMAPLIST": {"BITMAPITEM", "SLIDERTRACK", "BITMAPWINDOW"}, "BUTTONLIST": {"BUTTON", "AVIBUTTON"},
    "SLIDERLIST": {"VSLIDER", "HSLIDERM", "HSLIDERMAPM", "DMARKER"}, "TEXTLIST": {"TEXTITEM"},
    "DPISTAGELIST": {"DPISTAGEWINDOW"}, "MACRODISPLAYLIST": {"MACRODISPLAY"},
    "LISTLIST": {"LISTCTRL", "COMBO", "COMBOCOLOR"}, "LISTPANELLIST": {"LISTPANEL"},
    "EDITCTRLLIST": {"EDITCTRL", "EDITCTRLSK", "EDITCTRLSKMMO"}, "KBDKEYLIST": {"KBDKEY", "BUTTONBITMAPS"},
    "PROGRESSPANELLIST": {"PROGRESSPANELITEM"},
}
COLOR_ATTRS = {"fontclr", "fontclrhi", "fontclrsel", "disbfontclr", "backclr", "backclrhi", "backclrsel",
               "disbbackclr", "bdrclr", "disbbdrclr", "fillclr"}
ITEM_REF_ATTRS = {"fontid", "windowid", "trackid", "checkboxid", "fontsearch", "fontreplace"}
BITMAP_TAGS = {"SBMN", "SBMO", "SBMD", "SBMDS", "SBMM", "BACKGROUND", "MASK", "BMPDATA", "BMPMASK", "MARK",
               "VSBMP_TOP", "VSBMP_BOT", "VSBMP_AUP", "VSBMP_ADN", "VSBMP_SPN", "VSBMP_TMB",
               "MDBMP_KEYDN", "MDBMP_KEYUP", "MDBMP_MSE", "MDBMP_MSEH", "MDBMP_CLK", "MDBMP_CLKH"}
KEY_ROW = re.compile(r'^HV_KEY\(L"((?:[^"\\]|\\.)*)", (0x[0-9A-Fa-f]+), ([0-2]), (0x[0-9A-Fa-f]+), ([01])\)')


class Report:
    def __init__(self):
        self.problems = []

    def __call__(self, where, what):
        self.problems.append("%s: %s" % (where, what))


def djb2(name):
    h = 5381
    data = name.encode("utf-16-le")
    for (unit,) in struct.iter_unpack("<H", data):
        h = (h * 33 + unit) & 0xFFFFFFFF
    return h


# -- language files, read as the programs read them ------------------------------------------
def parse_language(data):
    """(header, {normalised key: text}) following the programs' rules: lines end at CR, runs of
    CR and LF after a line are skipped, line 1 is ignored, key and text lines alternate, END OF
    FILE ends the file."""
    if len(data) % 2:
        data = data[:-1]
    s = data.decode("utf-16-le")
    lines, pos = [], 0
    while pos < len(s):
        end = s.find("\r", pos)
        if end < 0:
            end = len(s)
        lines.append(s[pos:end])
        pos = end
        while pos < len(s) and s[pos] in "\r\n":
            pos += 1
    pairs, pending = {}, None
    for i, line in enumerate(lines):
        if i == 0 or i == 1:
            continue
        if line.lower() == "end of file":
            break
        if i % 2 == 0:
            pending = line
        else:
            key = "".join(ch for ch in pending if ch != " ")[:59].lower()
            pairs.setdefault(key, line)
    return (lines[0] if lines else ""), pairs


def layout_keys(root):
    found = set()
    for el in root.iter():
        vals = list(el.attrib.values()) + [el.text or ""]
        for v in vals:
            v = v.strip()
            if v.startswith("$") and len(v) > 1:
                found.add(v)
    return found


# -- the checks ------------------------------------------------------------------------------
def check_layout(path, rep, skins):
    name = os.path.basename(path)
    try:
        tree = ET.parse(path)
    except ET.ParseError as e:
        rep(name, "not well-formed XML: %s" % e)
        return None
    root = tree.getroot()
    if root.tag not in ROOTS:
        rep(name, "root %s is not one the loader knows" % root.tag)
    if root.tag == "GUIPANEL":
        for tag in ("BACKGROUND", "MASK"):
            if root.find(tag) is None:
                rep(name, "GUIPANEL without %s" % tag)
    if root.tag == "KEYBOARD" and root.find("KEYBOARDDEF") is None:
        rep(name, "KEYBOARD root without KEYBOARDDEF")
    seen_lists = set()
    for lst in root:
        if lst.tag in ("BACKGROUND", "MASK", "KEYBOARDDEF"):
            continue
        if lst.tag not in SECTION_CHILDREN:
            rep(name, "unknown element %s under the root" % lst.tag)
            continue
        if lst.tag in seen_lists:
            rep(name, "second %s (the loader reads only the first)" % lst.tag)
        seen_lists.add(lst.tag)
        for child in lst:
            if child.tag not in SECTION_CHILDREN[lst.tag]:
                rep(name, "%s inside %s is never read" % (child.tag, lst.tag))
            elif child.tag != "BUTTONBITMAPS" and child.get("name", "").upper() not in names.ITEM_IDS:
                rep(name, "%s named %r, which is not an item name" % (child.tag, child.get("name")))
    fonts = {f.get("name").upper() for f in root.iter("FONT")}
    for el in root.iter():
        for attr, v in el.attrib.items():
            if attr in COLOR_ATTRS and v.upper() not in names.COLORS:
                rep(name, "%s %s=%r is not a colour name" % (el.tag, attr, v))
            if attr in ITEM_REF_ATTRS and v.upper() not in names.ITEM_IDS:
                rep(name, "%s %s=%r is not an item name" % (el.tag, attr, v))
            if attr == "fontid" and v.upper() not in fonts:
                rep(name, "%s uses font %s, which the file does not define" % (el.tag, v))
        if el.tag in BITMAP_TAGS:
            f = (el.text or "").strip()
            if f not in skins:
                rep(name, "%s names %r, which is not in skins" % (el.tag, f))
        if el.tag == "STAGE" and (el.text or "").strip().upper() not in names.ITEM_IDS:
            rep(name, "STAGE %r is not an item name" % el.text)
        if el.tag == "LISTCOLUMN":
            if el.get("name") not in names.LIST_COLUMNS:
                rep(name, "LISTCOLUMN %r is not a list column" % el.get("name"))
            if el.get("type") not in names.CONTROL_TYPES:
                rep(name, "LISTCOLUMN type %r is not a control type" % el.get("type"))
    for key in ("windowid", "trackid", "checkboxid"):
        for el in root.iter():
            ref = el.get(key)
            if ref and not any(c.get("name") == ref for c in root.iter()
                               if c.tag in ("BITMAPITEM", "SLIDERTRACK", "BUTTON")):
                rep(name, "%s %s=%s names no item of this file" % (el.tag, key, ref))
    return root


def check_hosted(name, root, rep):
    """Items placed inside a bitmap item must lie inside it, and that item must pass the mouse on."""
    hosts = {}
    for b in root.iter("BITMAPITEM"):
        r = b.find("RECT")
        if r is not None:
            hosts[b.get("name")] = (b, int(r.get("right")), int(r.get("bottom")))
    for el in root.iter():
        h = el.get("windowid")
        if not h or h not in hosts:
            continue
        host, hw, hh = hosts[h]
        if host.get("moveable") != "0":
            rep(name, "%s hosts %s but is disabled (moveable missing)" % (h, el.get("name")))
        r = el.find("RECT")
        if r is not None:
            x, y, w, hgt = (int(r.get(k)) for k in ("left", "top", "right", "bottom"))
            if x < 0 or y < 0 or x + w > hw or y + hgt > hh:
                rep(name, "%s lies outside its host %s" % (el.get("name"), h))


def check_shapes(skins_dir, layouts, rep):
    for name, root in layouts.items():
        if root is None or root.tag != "GUIPANEL":
            continue
        bg = read_bmp(os.path.join(skins_dir, root.find("BACKGROUND").text.strip()))
        mask = read_bmp(os.path.join(skins_dir, root.find("MASK").text.strip()))
        if (bg.w, bg.h) != (mask.w, mask.h):
            rep(name, "background and mask differ in size")
            continue
        bad = 0
        for y in range(bg.h):
            for x in range(bg.w):
                outside = mask.get(x, y) == WHITE
                if outside != (bg.get(x, y) == MAGENTA):
                    bad += 1
        if bad:
            rep(name, "%d pixels where the mask and the transparent colour disagree" % bad)


def check_languages(image, layouts, rep):
    lang_xml = layouts.get("Language.xml")
    if lang_xml is None:
        rep("Language.xml", "missing")
        return
    # Every language a registry name can choose has its table; a language without one would show
    # the raw "$" keys.
    declared = [l.get("name") for l in lang_xml.iter("LANG")]
    expected = [item for _, _, item in names.LANGUAGES]
    if sorted(declared) != sorted(expected):
        rep("Language.xml", "declares %s; expected the languages of the name table %s" % (declared, expected))
    for lang in texts.TRANSLATED:
        if lang not in {name for _, name, _ in names.LANGUAGES}:
            rep("texts", "%s is translated but not a language of the name table" % lang)
    files = [l.get("file") for l in lang_xml.iter("LANG")]
    for f in sorted({f for f in files if files.count(f) > 1}):
        rep("Language.xml", "%s serves more than one language" % f)
    used = {"$" + k for k in texts.CODE_KEYS}
    for root in layouts.values():
        if root is not None:
            used |= layout_keys(root)
    read = {}
    for l in lang_xml.iter("LANG"):
        f = os.path.join(image, "lang", l.get("file"))
        if not os.path.isfile(f):
            rep("Language.xml", "%s names %s, which is missing" % (l.get("name"), l.get("file")))
            continue
        data = open(f, "rb").read()
        if not data.endswith("END OF FILE\r\n".encode("utf-16-le")):
            rep(l.get("file"), "does not end with END OF FILE and CR LF")
        header, pairs = parse_language(data)
        read[l.get("name")] = pairs
        for key in sorted(used):
            norm = "".join(ch for ch in key[1:] if ch != " ")[:59].lower()
            if norm not in pairs:
                rep(l.get("file"), "no text for %s" % key)
    # The languages we do not translate carry the English texts, key for key.
    english = read.get("LANGUAGE_DEFAULT")
    for code, name, item in names.LANGUAGES:
        if name in texts.TRANSLATED or item not in read or english is None:
            continue
        if read[item] != english:
            rep(texts.file_name(name), "texts differ from the English ones, but %s has no translation" % name)
    for k in ("$LoadHalvoVEXA", "$CloseTrayIcon"):
        if k not in used:
            rep("languages", "%s is not among the keys checked" % k)


def check_keyboard(image, layouts, keytable, rep):
    rows = []
    for line in open(keytable, encoding="utf-8"):
        m = KEY_ROW.match(line.strip())
        if m:
            rows.append((re.sub(r"\\(.)", r"\1", m.group(1)), int(m.group(2), 16), int(m.group(3)),
                         int(m.group(4), 16), m.group(5) == "1"))
    if not rows:
        rep(keytable, "no key rows")
        return
    kl = layouts.get("KeyboardLayout.xml")
    kd = kl.find("KEYBOARDDEF") if kl is not None else None
    if kd is None:
        rep("KeyboardLayout.xml", "no KEYBOARDDEF")
        return
    data = open(os.path.join(image, "bin", kd.get("file")), "rb").read()
    count, = struct.unpack_from("<i", data, 0)
    pos, recs = 4, []
    while len(recs) < count:
        if pos + 4 > len(data):
            rep(kd.get("file"), "truncated after %d records" % len(recs))
            return
        n, = struct.unpack_from("<I", data, pos)
        if n >= 512 or pos + 4 + n + 164 > len(data):
            rep(kd.get("file"), "record %d runs past the end" % len(recs))
            return
        nm = data[pos + 4:pos + 4 + n].decode("utf-16-le")
        entries = [struct.unpack_from("<hB", data, pos + 8 + n + 4 * i) for i in range(10)]
        code, flags = entries[0]
        if flags:
            for c, f in entries[1:]:
                if c == 0 or f != 0:
                    break
                code = c
        recs.append((nm, code, flags))
        pos += 4 + n + 164
    if pos != len(data):
        rep(kd.get("file"), "%d bytes after the last record" % (len(data) - pos))
    if len(recs) != len(rows):
        rep(kd.get("file"), "%d records for %d keys of the key table" % (len(recs), len(rows)))
    for (nm, code, flags), (kn, scan, prefix, vk, on) in zip(recs, rows):
        if (nm, code, flags) != (kn, scan, prefix):
            rep(kd.get("file"), "record %r (code %#x, flags %d) differs from key table row %r (%#x, %d)"
                % (nm, code, flags, kn, scan, prefix))
    ddata = open(os.path.join(image, "bin", kd.get("kbddefaults")), "rb").read()
    n, = struct.unpack_from("<i", ddata, 0)
    if n < 1 or len(ddata) != 4 + 8 * n:
        rep(kd.get("kbddefaults"), "length %d does not fit its count %d" % (len(ddata), n))
    else:
        defaults = dict(struct.unpack_from("<II", ddata, 4 + 8 * i) for i in range(n))
        for kn, scan, prefix, vk, on in rows:
            want = scan | (prefix << 16)
            if defaults.get(djb2(kn)) != want:
                rep(kd.get("kbddefaults"), "default of %r is %r, expected %#x" % (kn, defaults.get(djb2(kn)), want))
    names_in_def = {r[0] for r in recs}
    key_files = {l.get("kbditems") for l in kl.iter("KBLAYOUT")}
    for f in sorted(key_files):
        root = layouts.get(f)
        if root is None:
            rep("KeyboardLayout.xml", "names key layout %s, which is missing" % f)
            continue
        keys = list(root.iter("KBDKEY"))
        if not keys or root.find("KBDKEYLIST/BUTTONBITMAPS") is None:
            rep(f, "no keys, or no BUTTONBITMAPS (the loader builds no key without them)")
        ids = set()
        for k in keys:
            if k.get("kbddefid") not in names_in_def:
                rep(f, "%s names key %r, which the definition lacks" % (k.get("name"), k.get("kbddefid")))
            ids.add(k.get("name"))
        on_board = {r[0] for r in rows if r[4]}
        bound = {k.get("kbddefid") for k in keys}
        unplaced = on_board - bound
        # keys of the board without an item name of their own are only drawn
        if unplaced - {"Right GUI"}:
            rep(f, "keys of the board without a key item: %s" % sorted(unplaced))


def check_required(image, items, layouts, rep):
    if not os.path.isfile(items):
        rep(items, "missing")
        return
    n = 0
    for line in open(items, encoding="utf-8"):
        if line.startswith("#") or not line.strip():
            continue
        f, item, iid, kind, role = line.rstrip("\n").split("\t")
        n += 1
        root = layouts.get(f)
        if root is None:
            rep(f, "in the required-items table but not generated")
            continue
        if names.ITEM_IDS.get(item.upper()) != int(iid):
            rep(f, "%s has id %s in the table but %s in the name table" % (item, iid, names.ITEM_IDS.get(item)))
        kinds = {names.KIND_BY_ELEMENT.get(el.tag) for el in root.iter() if el.get("name") == item}
        if int(kind) not in kinds:
            rep(f, "%s (%s) should be of kind %s; the file has kinds %s" % (item, role, kind, sorted(k for k in kinds if k is not None)))
    if n == 0:
        rep(items, "empty")


def check_name_tables(rep):
    """The generator reads its names from the programs' tables; this makes sure the reading is
    whole: every row of each name table is one the row pattern took (the item id table is read
    strictly, a line at a time), no name is empty, and the names the programs bind by fixed id (the
    main window's items, the keyboard definition) are where the programs expect them."""
    source = open(names.SOURCE, encoding="utf-8").read()
    for array in names.TABLES:
        body = re.sub(r"//[^\n]*", "", names.array_body(source, array) or "")
        written = len(re.findall(r'(?<![\w"])L"', body))
        if written != len(names.ROWS[array]):
            rep(names.SOURCE, "%s: %d names written, %d read" % (array, written, len(names.ROWS[array])))
    for name, want in (("LANGUAGE_DEFAULT", 0), ("LANGUAGE_GERMAN", 5), ("BUTTON_OK", 46),
                       ("BUTTON_PRODSELECT_MOUSE", 87), ("BUTTON_LIGHTINGMAINTENANCE_KEYBOARD", 97),
                       ("TEXT_DRIVERVER_PERSIST", 301), ("BITMAP_MOUSE_FOOTNOTE", 337),
                       ("KBDDEF_WINDOWS", 478)):
        if names.ITEM_IDS.get(name) != want:
            rep(names.ITEM_ID_SOURCE, "%s reads as %s, the programs bind it as %d" % (name, names.ITEM_IDS.get(name), want))
    langs = {name: (code, item) for code, name, item in names.LANGUAGES}
    for name, want in (("English", (0, "LANGUAGE_DEFAULT")), ("German", (5, "LANGUAGE_GERMAN"))):
        if langs.get(name) != want:
            rep(names.SOURCE, "language %s reads as %r, the programs choose it as %r" % (name, langs.get(name), want))
    if "LANGUAGE_ENGLISH" in names.ITEM_IDS:
        rep(names.ITEM_ID_SOURCE, "LANGUAGE_ENGLISH resolves; the programs' table lets LANGUAGE_DEFAULT replace it")
    if names.COLORS.get("VEXA_TAB_SELECT") != 0xEDE86F:
        rep(names.SOURCE, "the accent colour VEXA_TAB_SELECT reads as %r" % names.COLORS.get("VEXA_TAB_SELECT"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--image", required=True)
    ap.add_argument("--items", required=True)
    ap.add_argument("--keytable", required=True)
    ap.add_argument("--nametables", required=True)
    ap.add_argument("--itemids", required=True)
    a = ap.parse_args()
    names.load(a.nametables, a.itemids)
    rep = Report()
    skins_dir = os.path.join(a.image, "skins")
    skins = set(os.listdir(skins_dir)) if os.path.isdir(skins_dir) else set()
    for f in sorted(skins):
        try:
            read_bmp(os.path.join(skins_dir, f))
        except ValueError as e:
            rep(f, str(e))
    xml_dir = os.path.join(a.image, "xml")
    layouts = {}
    for f in sorted(os.listdir(xml_dir)):
        layouts[f] = check_layout(os.path.join(xml_dir, f), rep, skins)
        if layouts[f] is not None:
            check_hosted(f, layouts[f], rep)
    check_shapes(skins_dir, layouts, rep)
    check_languages(a.image, layouts, rep)
    check_keyboard(a.image, layouts, a.keytable, rep)
    check_required(a.image, a.items, layouts, rep)
    check_name_tables(rep)
    manual = os.path.join(a.image, "Manuals", "index.html")
    if not os.path.isfile(manual) or "<title>" not in open(manual, encoding="utf-8").read():
        rep("Manuals/index.html", "missing or without a title")
    for p in rep.problems:
        print(p)
    print("%d layout files, %d bitmaps checked; %d problems" % (len(layouts), len(skins), len(rep.problems)))
    return 1 if rep.problems else 0


if __name__ == "__main__":
    sys.exit(main())
