#!/usr/bin/env python3
"""Checks that every #include below src/ runs down the layers, never up or sideways.

Each layer is a path below src/ (a folder, or a file stem such as platform/PlatformFactory);
a file belongs to the longest layer path that contains it. A layer may include itself and
the layers listed for it, and everything those may include in turn. Qt headers are for the
ui/ folders and app/ only. docs/ARCHITECTURE.md draws the same table.

    scripts/check_layers.py [--root DIR]   check DIR/src (default: this repository)
    scripts/check_layers.py --self-test    prove that wrong includes are caught
"""

import argparse
import os
import re
import sys
import tempfile

# layer: the layers it may include directly.
LAYERS = {
    "text": [],
    "items": ["text"],
    "platform": [],
    "platform/sim": ["platform"],
    "platform/win32": ["platform", "text"],
    "platform/PlatformFactory": ["platform/sim", "platform/win32", "text"],
    "dromedscreen": ["platform", "text"],
    "simdromed": ["platform/sim", "dromedscreen", "items"],
    "dromed": ["dromedscreen", "items", "platform", "text"],
    "mission": ["items", "text"],
    "linkpainter": ["dromed", "mission", "items", "text"],
    "workspace": ["dromed", "mission", "linkpainter", "items", "text"],
    "text/ui": ["text"],
    "ui": ["items", "text/ui"],
    "linkpainter/ui": ["linkpainter", "ui", "text/ui"],
    "workspace/ui": ["workspace", "linkpainter/ui", "ui", "text/ui"],
    "simdromed/ui": ["simdromed", "text/ui"],
    "app": ["workspace/ui", "workspace", "platform/PlatformFactory", "simdromed/ui"],
}

QT_LAYERS = {"text/ui", "ui", "linkpainter/ui", "workspace/ui", "simdromed/ui", "app"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^Q[A-Za-z]*(/|$)")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")


def allowed_closure():
    closure = {}

    def visit(layer, trail):
        if layer in closure:
            return closure[layer]
        if layer in trail:
            raise SystemExit("check_layers: the layer table has a cycle through " + layer)
        reach = {layer}
        for dep in LAYERS[layer]:
            reach |= visit(dep, trail | {layer})
        closure[layer] = reach
        return reach

    for layer in LAYERS:
        visit(layer, frozenset())
    return closure


def layer_of(rel_path):
    """The longest layer path that is rel_path's folder, or its file stem."""
    best = None
    for layer in LAYERS:
        if (rel_path.startswith(layer + "/") or rel_path.startswith(layer + ".")) and (
            best is None or len(layer) > len(best)
        ):
            best = layer
    return best


def check(root):
    src = os.path.join(root, "src")
    closure = allowed_closure()
    problems = []
    for folder, _, files in sorted(os.walk(src)):
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            layer = layer_of(rel)
            shown = "src/" + rel
            if layer is None:
                problems.append(f"{shown}: belongs to no layer; add its folder to {__file__}")
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    quote, target = m.groups()
                    where = f"{shown}:{number}: {line.strip()}"
                    if quote == "<":
                        if QT_HEADER.match(target) and layer not in QT_LAYERS:
                            problems.append(f"{where}: Qt is only for ui/ folders and app/")
                        continue
                    if target.endswith(".moc"):
                        continue
                    to = layer_of(target)
                    if to is None or to not in closure[layer]:
                        may = ", ".join(sorted(closure[layer] - {layer})) or "nothing"
                        problems.append(f"{where}: {layer} may not include {to} (it may use: {may})")
    return problems


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def self_test():
    """A clean tree passes; an upward include and a Qt include in the engine are both caught."""
    with tempfile.TemporaryDirectory() as root:
        write(f"{root}/src/items/BrushInfo.h", "#pragma once\n")
        write(f"{root}/src/workspace/Favorites.h", '#include "items/BrushInfo.h"\n')
        write(f"{root}/src/mission/MissionDb.h", '#include "items/BrushInfo.h"\n#include <vector>\n')
        clean = check(root)
        if clean:
            print("self-test: a clean tree was rejected:", *clean, sep="\n  ")
            return 1
        write(
            f"{root}/src/mission/MissionDb.h",
            '#include "items/BrushInfo.h"\n#include "workspace/Favorites.h"\n#include <QString>\n',
        )
        found = check(root)
        expected = [
            'src/mission/MissionDb.h:2: #include "workspace/Favorites.h": mission may not include workspace',
            "src/mission/MissionDb.h:3: #include <QString>: Qt is only for ui/ folders and app/",
        ]
        missing = [e for e in expected if not any(p.startswith(e) for p in found)]
        if missing or len(found) != len(expected):
            print("self-test: expected", *expected, "found", *found, sep="\n  ")
            return 1
    print("self-test: wrong includes are caught")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    problems = check(args.root)
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) cross the layers the wrong way")
        return 1
    print("Every include runs down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
