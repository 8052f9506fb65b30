#!/usr/bin/env python3
"""Writes the default install-directory image of the configuration suite.

    generate.py --keytable mwsim/KeyTable.inc --nametables core/NameTables.cpp
                --itemids core/ItemIds.inc --out build/x64/skin-image [--items required-items.tsv]

The image holds the layout files ("xml\\"), bitmaps ("skins\\"), the fonts folder ("fonts\\"), the
language files ("lang\\"), the keyboard definition files ("bin\\") and the user manual
("Manuals\\index.html"). The folder is emptied first so that nothing stale survives. The table of
required items lists, per layout file, every item the programs look up by id, with the kind they
expect; the loader test checks the generated layouts against it. Item, colour and column names come
from the programs' own item id and name tables, read from their source.
"""

import argparse
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

# The other modules of the kit are imported once the name tables are loaded (main): the artwork
# takes its palette from the programs' colour table when it is imported.
from kit import names  # noqa: E402


# Per-language adjustments of the layouts, by registry name. German words run longer: the tab
# captions take a narrower face, a few labels get room.
LANGUAGE_ADJUSTMENTS = {
    "German": dict(fonts=[("FONT_TERMINATORTWO12B", "FONT_TERMINATORTWO11")],
                   overrides=[("TEXT_ENABLEXY", {"multiline": "1"}),
                              ("TEXT_ENABLEXY", ("RECT", 240, 280, 420, 32)),
                              ("BUTTON_OK", {"caps": "U"})],
                   column_overrides=[("LCITEM_AUTOSWITCH", "width", 150),
                                     ("LCITEM_PROFILEEXE", "width", 290)]),
}


def language_file(L):
    """One LANG per language of the programs' language name table, each with its own file."""
    from kit import texts
    for _, name, item in names.LANGUAGES:
        L.language(item, texts.file_name(name), bind=name, **LANGUAGE_ADJUSTMENTS.get(name, {}))
    return L


def build(keytable):
    from kit import keyboard, pages, popups
    from kit.layout import Layout
    kit = pages.Kit()
    keys = keyboard.parse_key_table(keytable)
    by_name = {k.name: k for k in keys}
    layouts = [pages.main_page(kit), pages.mouse_buttons(kit), pages.mouse_performance(kit),
               pages.profiles(kit, False), pages.macros(kit, False), pages.lighting(kit, False),
               pages.keyboard_keys(kit), pages.profiles(kit, True), pages.macros(kit, True),
               pages.lighting(kit, True)]
    layouts += popups.all_popups(kit)
    layouts.append(keyboard.key_layout(keyboard.KEYS_US, keyboard.CAPTIONS_US, by_name))
    layouts.append(keyboard.key_layout(keyboard.KEYS_DE, keyboard.CAPTIONS_DE, by_name))
    layouts.append(keyboard.layouts_file())
    layouts.append(language_file(Layout("Language.xml")))
    return layouts, keys


def write(out, layouts, keys, items_path):
    from kit import art, keyboard, manual, texts
    if os.path.isdir(out):
        shutil.rmtree(out)
    for d in ("xml", "skins", "fonts", "lang", "bin", "Manuals"):
        os.makedirs(os.path.join(out, d))
    for L in layouts:
        with open(os.path.join(out, "xml", L.filename), "w", encoding="utf-8", newline="\r\n") as f:
            f.write(L.xml())
    for name, canvas in sorted(art.SKINS.items()):
        canvas.save(os.path.join(out, "skins", name))
    used = set(texts.CODE_KEYS)
    for L in layouts:
        used |= {k[1:] for k in L.keys}
    for lang, file in texts.language_files().items():
        with open(os.path.join(out, "lang", file), "wb") as f:
            f.write(texts.language_file(lang, sorted(used, key=lambda k: (k.lower(), k))))
    with open(os.path.join(out, "bin", keyboard.DEF_FILE), "wb") as f:
        f.write(keyboard.definition_bytes(keys))
    with open(os.path.join(out, "bin", keyboard.DEFAULTS_FILE), "wb") as f:
        f.write(keyboard.defaults_bytes(keys))
    with open(os.path.join(out, "Manuals", "index.html"), "w", encoding="utf-8") as f:
        f.write(manual.html())
    if items_path:
        with open(items_path, "w", encoding="utf-8", newline="\n") as f:
            f.write("# file\titem\tid\tkind\trole\n")
            for L in layouts:
                for name, iid, kind, role in L.required:
                    f.write("%s\t%s\t%d\t%d\t%s\n" % (L.filename, name, iid, kind, role))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--keytable", required=True, help="the simulated keyboard's key table")
    ap.add_argument("--nametables", required=True, help="the programs' name tables (NameTables.cpp)")
    ap.add_argument("--itemids", required=True, help="the programs' item id table (ItemIds.inc)")
    ap.add_argument("--out", required=True, help="folder to write the image into (emptied first)")
    ap.add_argument("--items", help="where to write the required-items table")
    a = ap.parse_args()
    names.load(a.nametables, a.itemids)
    from kit import texts
    layouts, keys = build(a.keytable)
    missing = texts.missing_keys(layouts)
    if missing:
        sys.exit("language keys without a text: " + ", ".join(sorted(missing)))
    write(a.out, layouts, keys, a.items)


if __name__ == "__main__":
    main()
