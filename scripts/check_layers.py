#!/usr/bin/env python3
"""Checks the include rules of the source tree and prints every line that breaks one.

Layers, lowest rank first: platform < imaging < exif < outputs < core < app, cli. A file under
src/<layer>/ (at any depth, e.g. src/core/sorting/) may include only headers of its own layer
or of a lower rank; app and cli share the top rank and may not include each other. Qt headers
(#include <Q...>) may appear only under src/app/ and tests/app/.

Inside core, each room (src/core/<room>/) has a rank too, by the same rule: the ports lowest,
then the sorting state, the display, the session, the commands on the session, and the
commands that drive other commands:

    ports < state < display < session < sorting, stretch, browse, dump, help
          < options, viewer, album

A core file outside any room, or in a room without a rank, is reported.

    scripts/check_layers.py [ROOT]

ROOT defaults to the repository this script lies in. Exits 1 when a rule is broken.
"""

import os
import re
import sys

RANKS = {"platform": 0, "imaging": 1, "exif": 2, "outputs": 3, "core": 4, "app": 5, "cli": 5}
ORDER = "platform < imaging < exif < outputs < core < app, cli"

CORE_ROOM_RANKS = {
    "ports": 0, "state": 1, "display": 2, "session": 3,
    "sorting": 4, "stretch": 4, "browse": 4, "dump": 4, "help": 4,
    "options": 5, "viewer": 5, "album": 5,
}
CORE_ORDER = ("ports < state < display < session < sorting, stretch, browse, dump, help"
              " < options, viewer, album")

# Folders whose sources are searched for Qt includes, and those where Qt belongs.
QT_SEARCHED = ("src", "tests", "bench", "fuzz")
QT_ALLOWED = ("src/app/", "tests/app/")

SOURCE_SUFFIXES = (".h", ".hh", ".hpp", ".c", ".cc", ".cpp", ".cxx", ".inc", ".ipp")
QUOTED_INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
QT_INCLUDE = re.compile(r"^\s*#\s*include\s*<Q")
# Files the Qt build generates beside the objects; only the Qt layer includes them.
GENERATED = re.compile(r"(^|/)(moc_[^/]*\.cpp|[^/]*\.moc|ui_[^/]*\.h)$")


def source_lines(root, top):
    """(path relative to root, line number, line) of every source file under root/top."""
    for dirpath, dirnames, filenames in os.walk(os.path.join(root, top)):
        dirnames.sort()
        for name in sorted(filenames):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(dirpath, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f.read().splitlines(), 1):
                    yield relative, number, line


def layer_of(path):
    """The layer of a path relative to src/; None when it lies in no layer folder."""
    first, _, rest = path.partition("/")
    return first if first in RANKS and rest else None


def core_room_of(path):
    """The room of a path relative to src/ under core/; None when it lies directly in core/."""
    parts = path.split("/")
    return parts[1] if len(parts) > 2 and parts[0] == "core" else None


def included_path(root, including, header):
    """The path relative to src/ of the header an include names, looked for as the compiler
    does: beside the including file first, then from src/ (where headers are named
    "exif/exif_info.h"); None when it lies outside src/."""
    beside = os.path.normpath(os.path.join(root, os.path.dirname(including), header))
    if os.path.isfile(beside):
        inside = os.path.relpath(beside, os.path.join(root, "src")).replace(os.sep, "/")
        return None if inside.startswith("../") else inside
    return os.path.normpath(header).replace(os.sep, "/")


def core_room_problem(path, target):
    """What is wrong with a core file at path including the core header target; None when
    nothing is."""
    room, target_room = core_room_of(path), core_room_of(target)
    for r in (room, target_room):
        if r is None:
            return f"a core file lies in no room of core/ (give it a room: {CORE_ORDER})"
        if r not in CORE_ROOM_RANKS:
            return f"core/{r}/ has no rank (give it one here: {CORE_ORDER})"
    if room != target_room and CORE_ROOM_RANKS[target_room] >= CORE_ROOM_RANKS[room]:
        return f"core/{room} may not include core/{target_room} ({CORE_ORDER})"
    return None


def layer_problems(root):
    for name, number, line in source_lines(root, "src"):
        m = QUOTED_INCLUDE.match(line)
        if not m:
            continue
        where = f"{name}:{number}: {line.strip()}"
        layer = layer_of(name[len("src/"):])
        if layer is None:
            yield f"{where}: the file is in no layer folder (give the folder a rank here: {ORDER})"
            continue
        target_path = included_path(root, name, m.group(1))
        target = layer_of(target_path) if target_path else None
        if target is None:
            if not (layer == "app" and GENERATED.search(m.group(1))):
                yield f"{where}: the header is in no layer folder of src/"
        elif target != layer and RANKS[target] >= RANKS[layer]:
            yield f"{where}: {layer} may not include {target} ({ORDER})"
        elif layer == "core" and target == "core":
            problem = core_room_problem(name[len("src/"):], target_path)
            if problem:
                yield f"{where}: {problem}"


def qt_problems(root):
    for top in QT_SEARCHED:
        for name, number, line in source_lines(root, top):
            if QT_INCLUDE.match(line) and not name.startswith(QT_ALLOWED):
                yield f"{name}:{number}: {line.strip()}: Qt outside src/app and tests/app"


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if not os.path.isdir(os.path.join(root, "src")):
        print(f"check_layers: no src/ folder in {root}", file=sys.stderr)
        return 2
    problems = list(layer_problems(root)) + list(qt_problems(root))
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"check_layers: {len(problems)} include(s) break the layering", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
