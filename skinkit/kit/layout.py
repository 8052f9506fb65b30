"""Builds layout files: one `Layout` per file, elements added in page coordinates.

A `Layout` sorts what is added into the list elements the loader reads (FONTLIST, BITMAPLIST,
BUTTONLIST, ...), adds the FONT elements the items name, converts page coordinates into the
coordinates of a hosting bitmap item where an item is placed inside one, and records the items the
programs bind by id (the required-items table). Names are checked against the programs' name tables
as they are added, so a layout can never carry an element the loader would silently skip.
"""

import xml.etree.ElementTree as ET

from . import names

# List elements in the order the loader runs its sections.
SECTIONS = [
    ("LANGLIST", ["LANG"]),
    ("KEYBOARDDEF", []),
    ("KBLAYOUTLIST", ["KBLAYOUT"]),
    ("FONTLIST", ["FONT"]),
    ("BITMAPLIST", ["BITMAPITEM", "SLIDERTRACK", "BITMAPWINDOW"]),
    ("BUTTONLIST", ["BUTTON", "AVIBUTTON"]),
    ("SLIDERLIST", ["VSLIDER", "HSLIDERM", "HSLIDERMAPM", "DMARKER"]),
    ("TEXTLIST", ["TEXTITEM"]),
    ("DPISTAGELIST", ["DPISTAGEWINDOW"]),
    ("MACRODISPLAYLIST", ["MACRODISPLAY"]),
    ("LISTLIST", ["LISTCTRL", "COMBO", "COMBOCOLOR"]),
    ("LISTPANELLIST", ["LISTPANEL"]),
    ("EDITCTRLLIST", ["EDITCTRL", "EDITCTRLSK", "EDITCTRLSKMMO"]),
    ("KBDKEYLIST", ["KBDKEY"]),
    ("PROGRESSPANELLIST", ["PROGRESSPANELITEM"]),
]
LIST_OF = {child: lst for lst, children in SECTIONS for child in children}

# The fonts the skin uses: item name -> (typeface, height, weight). Wine ships Tahoma; Arial is
# matched to a metric-compatible face.
FONTS = {
    "FONT_ARIAL12": ("Arial", 13, 400),
    "FONT_ARIAL12B": ("Arial", 13, 700),
    "FONT_ARIAL13B": ("Arial", 14, 700),
    "FONT_ARIAL14": ("Arial", 15, 400),
    "FONT_ARIAL14B": ("Arial", 15, 700),
    "FONT_ARIAL16": ("Arial", 17, 400),
    "FONT_ARIAL16B": ("Arial", 17, 700),
    "FONT_TERMINATORTWO10": ("Tahoma", 12, 700),
    "FONT_TERMINATORTWO11": ("Tahoma", 13, 700),
    "FONT_TERMINATORTWO12": ("Tahoma", 14, 700),
    "FONT_TERMINATORTWO12B": ("Tahoma", 15, 700),
    "FONT_TERMINATORTWO13B": ("Tahoma", 17, 700),
    "FONT_TERMINATORTWO14B": ("Tahoma", 21, 700),
    "FONT_HALVOREG13": ("Tahoma", 13, 400),
    "FONT_HALVOREG15": ("Tahoma", 15, 400),
    "FONT_HALVOREG15B": ("Tahoma", 15, 700),
}


class Box:
    """A placed rectangle in page coordinates; hosts remember theirs for their children."""

    def __init__(self, x, y, w, h):
        self.x, self.y, self.w, self.h = x, y, w, h


def rect_el(parent, x, y, w, h):
    return ET.SubElement(parent, "RECT", left=str(x), top=str(y), right=str(w), bottom=str(h))


def text_el(parent, tag, text, **attrs):
    el = ET.SubElement(parent, tag, **{k: str(v) for k, v in attrs.items()})
    el.text = text
    return el


class Layout:
    def __init__(self, filename, root="ITEMLIST", background=None, mask=None):
        self.filename = filename
        self.root = ET.Element(root)
        if background:
            text_el(self.root, "BACKGROUND", background)
            text_el(self.root, "MASK", mask)
        self.lists = {}
        self.fonts = set()
        self.required = []   # (name, id, kind, role)
        self.keys = set()    # language keys used
        self.hosts = {}

    # -- bookkeeping ------------------------------------------------------------------------
    def _el(self, tag, name, bind=None, **attrs):
        names.item_id(name)
        lst = LIST_OF[tag]
        if lst not in self.lists:
            self.lists[lst] = {}
        el = ET.Element(tag, name=name, **{k: str(v) for k, v in attrs.items() if v is not None})
        self.lists[lst].setdefault(tag, []).append(el)
        if bind:
            self.bind(name, names.KIND_BY_ELEMENT[tag], bind)
        return el

    def bind(self, name, kind, role):
        """Records that the programs look this item up by id and kind."""
        self.required.append((name, names.item_id(name), kind, role))

    def _font(self, font):
        if font:
            names.item_id(font)
            self.fonts.add(font)
        return font

    def _key(self, text):
        if text and text.startswith("$"):
            self.keys.add(text)
        return text

    def _rect(self, el, x, y, w, h, host):
        if host is not None:
            hb = self.hosts[host]
            x, y = x - hb.x, y - hb.y
            if x < 0 or y < 0 or x + w > hb.w or y + h > hb.h:
                raise ValueError("%s: item at (%d,%d %dx%d) leaves its host %s"
                                 % (self.filename, x, y, w, h, host))
        rect_el(el, x, y, w, h)

    @staticmethod
    def _states(el, files, colors=None):
        for tag, f in zip(("SBMN", "SBMO", "SBMD", "SBMDS", "SBMM"), files):
            if f:
                s = text_el(el, tag, f)
                if colors and tag in colors and colors[tag]:
                    s.set("fontclr", colors[tag])

    # -- section 4: bitmaps -----------------------------------------------------------------
    def bitmap(self, name, x, y, art, mask=None, host_children=False, tooltip=None, bind=None):
        """A plain bitmap item; host_children makes it enabled so that items placed inside it
        get mouse input."""
        el = self._el("BITMAPITEM", name, bind,
                      moveable="0" if host_children else None, tooltip=self._key(tooltip))
        text_el(el, "SBMN", art.file)
        if mask:
            text_el(el, "SBMM", mask)
        self._rect(el, x, y, art.w, art.h, None)
        self.hosts[name] = Box(x, y, art.w, art.h)
        return el

    def track(self, name, x, y, art, fill, fillcolor, bind=None):
        """A slider track; `fill` is the (x, y, w, h) of the bar filled up to the thumb, in
        the track's own coordinates."""
        el = self._el("SLIDERTRACK", name, bind)
        text_el(el, "SBMN", art.file)
        self._rect(el, x, y, art.w, art.h, None)
        fi = ET.SubElement(el, "FILLINFO", fillclr=fillcolor, backclr="BLACK")
        rect_el(fi, *fill)
        self.hosts[name] = Box(x, y, art.w, art.h)
        return el

    def bitmap_window(self, name, x, y, states, font, fontclr, icons, justify="L", bind=None,
                      tooltip=None):
        el = self._el("BITMAPWINDOW", name, bind, fontid=self._font(font), fontclr=fontclr,
                      justify=justify, tooltip=self._key(tooltip))
        for tag, f in zip(("SBMN", "SBMO", "SBMD", "SBMDS"), states.files):
            text_el(el, tag, f)
        self._rect(el, x, y, states.w, states.h, None)
        for code, art in icons:
            b = ET.SubElement(el, "BITMAPITEM", assntype=str(code))
            text_el(b, "SBMN", art.file)
        return el

    # -- section 5: buttons -----------------------------------------------------------------
    def button(self, name, x, y, art, caption=None, font="FONT_ARIAL13B", colors=None,
               justify="C", checkbox=False, tooltip=None, host=None, bind=None, caps=None):
        el = self._el("BUTTON", name, bind, windowid=host, justify=justify,
                      ischeckbox="1" if checkbox else None, tooltip=self._key(tooltip),
                      caption=self._key(caption), caps=caps,
                      fontid=self._font(font) if caption is not None else None)
        self._states(el, art.files, colors if caption is not None else None)
        self._rect(el, x, y, art.w, art.h, host)
        return el

    # -- section 6: sliders -----------------------------------------------------------------
    def multi_slider(self, name, track, stages, thumb, thumb_hot, rect, interactive=True,
                     tooltip=None, ttprefix=None, bind=None):
        """A slider with one thumb per stage name on `track`; rect in track coordinates is the
        path of the thumb's centre."""
        el = self._el("HSLIDERM", name, bind, trackid=track,
                      interactive=None if interactive else "0")
        text_el(el, "SBMN", thumb)
        text_el(el, "SBMO", thumb_hot)
        rect_el(el, *rect)
        st = ET.SubElement(el, "STAGES")
        for s in stages:
            names.item_id(s)
            attrs = {"ttpos": "T"}
            if tooltip:
                attrs["tooltip"] = self._key(tooltip)
            if ttprefix:
                attrs["ttprefix"] = ttprefix
            text_el(st, "STAGE", s, **attrs)
        return el

    # -- section 7: text items --------------------------------------------------------------
    def text(self, name, x, y, w, h, textkey="", font="FONT_ARIAL14", color="WHITE", justify="L",
             multiline=False, host=None, checkbox=None, bind=None, caps=None, colorhi=None,
             colordis="MIDGREY", tooltip=None):
        el = self._el("TEXTITEM", name, bind, textkey=self._key(textkey), windowid=host,
                      fontid=self._font(font), fontclr=color, fontclrhi=colorhi,
                      disbfontclr=colordis, justify=justify, caps=caps,
                      multiline="1" if multiline else None,
                      interactive="1" if checkbox else None, checkboxid=checkbox,
                      tooltip=self._key(tooltip))
        self._rect(el, x, y, w, h, host)
        return el

    # -- section 8: DPI stage windows -------------------------------------------------------
    def dpi_stage(self, name, x, y, w, h, bitmaps, texts, font, fontclr="WHITE", bind=None,
                  tooltip=None):
        el = self._el("DPISTAGEWINDOW", name, bind, fontid=self._font(font), fontclr=fontclr,
                      tooltip=self._key(tooltip))
        for bname, art, bx, by in bitmaps:
            b = ET.SubElement(el, "BMPINFO", name=bname)
            text_el(b, "BMPDATA", art.file)
            rect_el(b, bx, by, art.w, art.h)
        for tname, key, tx, ty, tw, th in texts:
            t = ET.SubElement(el, "TEXTAREA", name=tname, textkey=self._key(key))
            rect_el(t, tx, ty, tw, th)
        self._rect(el, x, y, w, h, None)
        return el

    # -- sections 9 to 12: lists, panels, edits ---------------------------------------------
    def _vscroll(self, el, sb):
        v = ET.SubElement(el, "VSCROLL", bdrwidth="0")
        for tag, f in zip(("VSBMP_TOP", "VSBMP_BOT", "VSBMP_AUP", "VSBMP_ADN", "VSBMP_SPN",
                           "VSBMP_TMB"), sb):
            text_el(v, tag, f)

    def macro_display(self, name, x, y, w, h, scroll, icons, columns, font, colors, bind=None,
                      tooltip=None):
        el = self._el("MACRODISPLAY", name, bind, max="0", bdrwidth="1", lmargin="4",
                      fontid=self._font(font), tooltip=self._key(tooltip), **colors)
        self._vscroll(el, scroll)
        for tag, art in zip(("MDBMP_KEYDN", "MDBMP_KEYUP", "MDBMP_MSE", "MDBMP_MSEH",
                             "MDBMP_CLK", "MDBMP_CLKH"), icons):
            text_el(el, tag, art.file)
        for col, typ, width, justify in columns:
            assert col in names.LIST_COLUMNS and typ in names.MACRO_COLUMN_TYPES
            ET.SubElement(el, "LISTCOLUMN", name=col, type=typ, width=str(width), justify=justify)
        self._rect(el, x, y, w, h, None)
        return el

    def list_ctrl(self, name, x, y, h, scroll, columns, font, colors, header, bind=None):
        """columns: (column name, control type, width, caption, extra attributes, check art)."""
        el = self._el("LISTCTRL", name, bind, bdrwidth="1", fontid=self._font(font), **colors)
        self._vscroll(el, scroll)
        ET.SubElement(el, "LISTHDR", **header)
        for col, typ, width, caption, extra, check in columns:
            assert col in names.LIST_COLUMNS and typ in names.CONTROL_TYPES
            for v in extra.values():
                self._key(v)
            c = text_el(el, "LISTCOLUMN", self._key(caption), name=col, type=typ,
                        width=str(width), **extra)
            if check:
                text_el(c, "SBMN", check[0])
                text_el(c, "SBMD", check[1])
        rect_el(el, x, y, 0, h)
        return el

    def combo(self, name, x, y, w, h, list_height, scroll, font, colors, items=(), bind=None,
              tooltip=None):
        el = self._el("COMBO", name, bind, bdrwidth="1", lmargin="6", rmargin="14",
                      fontid=self._font(font), tooltip=self._key(tooltip), **colors)
        cl = ET.SubElement(el, "CLIST", height=str(list_height))
        self._vscroll(cl, scroll)
        cb = ET.SubElement(el, "CBOX")
        rect_el(cb, x, y, w, h)
        if items:
            ci = ET.SubElement(el, "COMBOITEMS")
            for it in items:
                text_el(ci, "COMBOITEM", self._key(it))
        return el

    def list_panel(self, name, x, y, w, h, scroll, font, colors, entries=(), dynamic=True,
                   bind=None, tooltip=None):
        el = self._el("LISTPANEL", name, bind, bdrwidth="1", lmargin="6", rmargin="4",
                      fontid=self._font(font), dynamic=None if dynamic else "0",
                      tooltip=self._key(tooltip), **colors)
        rect_el(el, x, y, w, h)
        if entries:
            lpi = ET.SubElement(el, "LISTPANELITEMS")
            for entry, tip in entries:
                e = text_el(lpi, "LISTPANELITEM", self._key(entry))
                if tip:
                    e.set("tooltip", self._key(tip))
        cl = ET.SubElement(el, "CLIST")
        self._vscroll(cl, scroll)
        return el

    def edit(self, name, x, y, w, h, font, colors, tag="EDITCTRL", maxlen=None, justify="C",
             bind=None, tooltip=None):
        el = self._el(tag, name, bind, bdrwidth="1", fontid=self._font(font),
                      justify=justify, max=maxlen, tooltip=self._key(tooltip), **colors)
        self._rect(el, x, y, w, h, None)
        return el

    # -- sections 1, 2, 13: keyboard --------------------------------------------------------
    def keyboard_def(self, name, file, defaults):
        names.item_id(name)
        ET.SubElement(self.root, "KEYBOARDDEF", name=name, file=file, kbddefaults=defaults)

    def kb_layout(self, name, klid, items_file, bind=None):
        return self._el("KBLAYOUT", name, bind, kbdlayout=klid, kbditems=items_file)

    def key_list(self, host, shared, colors):
        """Starts the KBDKEYLIST: keys are children of `host` and cut from the shared pictures."""
        self.lists.setdefault("KBDKEYLIST", {})
        self.key_host = host
        self.key_shared = shared
        self.key_colors = colors

    def key(self, name, kbddefid, x, y, w, h, caption, font, bind=None, tooltip=None):
        el = self._el("KBDKEY", name, bind, kbddefid=kbddefid, fontid=self._font(font),
                      caption=caption, justify="C", tooltip=tooltip)
        self._rect(el, x, y, w, h, self.key_host)
        return el

    # -- languages ---------------------------------------------------------------------------
    def language(self, name, file, fonts=(), overrides=(), column_overrides=(), bind=None):
        el = self._el("LANG", name, bind, file=file)
        for search, replace in fonts:
            names.item_id(search), names.item_id(replace)
            ET.SubElement(el, "LANGFONT", fontsearch=search, fontreplace=replace)
        for col, attr, value in column_overrides:
            assert col in names.LIST_COLUMNS
            ET.SubElement(el, "LANGOVERRIDECOL", **{"name": col, attr: str(value)})
        for item, what in overrides:
            names.item_id(item)
            o = ET.SubElement(el, "LANGOVERRIDE", name=item)
            if isinstance(what, tuple) and what[0] == "RECT":
                rect_el(o, *what[1:])
            elif isinstance(what, dict) and any(k.startswith("SBM") for k in what):
                for tag, f in what.items():
                    text_el(o, tag, f)
            else:
                (attr, value), = what.items()
                o.set(attr, str(value))
        return el

    # -- output -----------------------------------------------------------------------------
    def xml(self):
        if self.fonts:
            fl = self.lists.setdefault("FONTLIST", {})
            fl["FONT"] = []
            for f in sorted(self.fonts, key=names.item_id):
                face, height, weight = FONTS[f]
                fl["FONT"].append(ET.Element("FONT", name=f, typeface=face, pitch=str(height),
                                             boldlevel=str(weight)))
        for lst, children in SECTIONS:
            if lst not in self.lists:
                continue
            if lst == "KBDKEYLIST":
                le = ET.SubElement(self.root, lst, windowid=self.key_host)
                bb = ET.SubElement(le, "BUTTONBITMAPS")
                self._states(bb, self.key_shared.files, self.key_colors)
            else:
                le = ET.SubElement(self.root, lst)
            for child in children:
                for el in self.lists[lst].get(child, []):
                    le.append(el)
        ET.indent(self.root, "  ")
        return '<?xml version="1.0" encoding="utf-8"?>\n' + ET.tostring(self.root, "unicode") + "\n"
