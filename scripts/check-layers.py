#!/usr/bin/env python3
"""Checks that every dependency between the source folders points down the layers.

    check-layers.py [--root DIR] [--allowed FILE]

Each source folder is one library. A folder may include the headers of, and link the libraries of,
folders of a lower layer only; folders of one layer know nothing of each other. The arrows are read
from every #include (quoted or angled) of the folders' sources, headers, tables and resource scripts,
and from every target_link_libraries of their CMakeLists.txt. Each target lists its sources once, in
its own folder's CMakeLists.txt, and an include names the folder of what it includes
("skin/GUIItem.h").

Every fault is printed on a line of its own. A fault listed in the allowed file (one per line, '#'
starts a comment) is a known one still to be mended: it is reported but does not fail the check. An
allowed line that no longer occurs fails the check, so the list only ever shrinks.
"""

import argparse
import os
import re
import sys
from collections import defaultdict

# Lower layers first. A folder may depend only on folders of a strictly lower layer.
LAYERS = [
    ["platform", "mwapi"],
    ["core"],
    ["model", "skin", "mwsim"],
    ["controls"],
    ["VexaApp", "SysTray", "mwtest"],
]
RANK = {folder: rank for rank, folders in enumerate(LAYERS) for folder in folders}
SOURCE_EXTENSIONS = (".h", ".hpp", ".cpp", ".c", ".inc", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.MULTILINE)
COMMAND = re.compile(r"\b(add_library|add_executable|target_sources|target_link_libraries)\s*\(([^)]*)\)",
                     re.IGNORECASE)
KEYWORDS = {"STATIC", "SHARED", "MODULE", "INTERFACE", "OBJECT", "WIN32", "PUBLIC", "PRIVATE",
            "EXCLUDE_FROM_ALL", "IMPORTED", "GLOBAL", "ALIAS"}


def folder_files(root, folder):
    found = []
    for dirpath, _, names in os.walk(os.path.join(root, folder)):
        for name in sorted(names):
            if name.endswith(SOURCE_EXTENSIONS):
                found.append(os.path.relpath(os.path.join(dirpath, name), root).replace(os.sep, "/"))
    return found


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.DOTALL)
    return re.sub(r"//[^\n]*", "", text)


def include_edges(root, files):
    """(from folder, to folder, what) for every include of one folder's file by another folder."""
    by_name = defaultdict(set)  # a header's name and its folder-qualified name -> folders holding it
    for path in files:
        folder, rest = path.split("/", 1)
        by_name[os.path.basename(path)].add(folder)
        by_name[path].add(folder)
        by_name[rest].add(folder)
    edges, faults = [], []
    for path in files:
        folder = path.split("/", 1)[0]
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = strip_comments(f.read())
        for name in INCLUDE.findall(text):
            if "/" not in name and name in by_name and not path.endswith(".rc"):
                # A resource script names the resource header beside it; everything else names the
                # folder of what it includes, so that a reader sees the layer at every include.
                faults.append(f"{path}: include \"{name}\" does not name its folder")
            here = os.path.normpath(os.path.join(os.path.dirname(path), name)).replace(os.sep, "/")
            if here in by_name and folder in by_name[here]:
                continue  # a file of its own folder, named from where it is
            holders = by_name.get(name, set())
            if not holders or folder in holders:
                continue  # a system header, or one of the folder's own
            if len(holders) > 1:
                faults.append(f"{path}: include \"{name}\" names a header of several folders "
                              f"({', '.join(sorted(holders))})")
                continue
            edges.append((folder, next(iter(holders)), f"{path} includes \"{name}\""))
    return edges, faults


def cmake_commands(root, folder):
    path = os.path.join(root, folder, "CMakeLists.txt")
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        text = re.sub(r"#[^\n]*", "", f.read())
    return [(m.group(1).lower(), m.group(2).split()) for m in COMMAND.finditer(text)]


def cmake_edges(root, folders):
    """(from folder, to folder, what) for every link to another folder's target, and the faults of
    sources listed outside their folder or in more than one place."""
    owner, listings, links = {}, defaultdict(list), []
    for folder in folders:
        for command, args in cmake_commands(root, folder):
            if not args:
                continue
            target = args[0]
            if command in ("add_library", "add_executable"):
                owner[target] = folder
                if any(not a.isupper() or a.endswith((".cpp", ".c", ".rc")) for a in args[1:]):
                    listings[target].append(folder)
            elif command == "target_sources":
                listings[target].append(folder)
            else:
                links.append((folder, target, [a for a in args[1:] if a not in KEYWORDS]))
    faults, edges = [], []
    for target, places in sorted(listings.items()):
        home = owner.get(target)
        for place in sorted(set(places)):
            if home and place != home:
                faults.append(f"{place}/CMakeLists.txt: compiles sources into {target}, a target of {home}/")
        if len(places) > 1:
            faults.append(f"{home}/CMakeLists.txt: {target} lists its sources in {len(places)} places")
    for folder, target, libraries in links:
        for library in libraries:
            if library in owner and owner[library] != owner.get(target, folder):
                edges.append((owner.get(target, folder), owner[library],
                              f"{folder}/CMakeLists.txt: {target} links {library}"))
    return edges, faults


def find_cycles(edges):
    graph = defaultdict(set)
    for a, b, _ in edges:
        graph[a].add(b)
    cycles, state = [], {}

    def visit(node, stack):
        state[node] = "open"
        stack.append(node)
        for nxt in sorted(graph[node]):
            if state.get(nxt) == "open":
                cycles.append(stack[stack.index(nxt):] + [nxt])
            elif nxt not in state:
                visit(nxt, stack)
        stack.pop()
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [])
    return cycles


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.dirname(here))
    parser.add_argument("--allowed", default=os.path.join(here, "layers-allowed.txt"))
    options = parser.parse_args()

    folders = [f for f in RANK if os.path.isdir(os.path.join(options.root, f))]
    unknown = [d for d in sorted(os.listdir(options.root))
               if os.path.exists(os.path.join(options.root, d, "CMakeLists.txt"))
               and d not in RANK and d not in ("tests", "skinkit")]
    files = [p for folder in folders for p in folder_files(options.root, folder)]
    includes, faults = include_edges(options.root, files)
    links, cmake_faults = cmake_edges(options.root, folders)
    faults += [f"{d}/: a source folder with no layer: add it to the layers of this check" for d in unknown]
    faults += cmake_faults
    edges = includes + links
    for a, b, what in edges:
        if RANK[b] >= RANK[a]:
            kind = "one layer" if RANK[b] == RANK[a] else "a higher layer"
            faults.append(f"{what}: {a}/ depends on {b}/, of {kind}")
    faults += [f"cycle: {' -> '.join(cycle)}" for cycle in find_cycles(edges)]

    allowed = set()
    if os.path.exists(options.allowed):
        with open(options.allowed, encoding="utf-8") as f:
            allowed = {line.strip() for line in f if line.strip() and not line.lstrip().startswith("#")}
    new = [f for f in faults if f not in allowed]
    known = [f for f in faults if f in allowed]
    gone = sorted(allowed - set(faults))
    for fault in known:
        print(f"known: {fault}")
    for fault in new:
        print(f"FAULT: {fault}")
    for line in gone:
        print(f"MENDED: no longer occurs, remove it from {os.path.basename(options.allowed)}: {line}")
    print(f"layers: {len(files)} files of {len(folders)} folders, {len(edges)} arrows between folders; "
          f"{len(new)} new faults, {len(known)} known, {len(gone)} allowed lines to remove")
    return 1 if new or gone else 0


if __name__ == "__main__":
    sys.exit(main())
