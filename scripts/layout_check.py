#!/usr/bin/env python3
"""Checks every #include under src/ against the README's Layout table.

Usage: layout_check.py [repository folder]   (default: the folder above scripts/)
       layout_check.py --self-test

The table's first column names an area's folder(s) in backticks, its last
column the areas it may use, as paths under src/ in backticks; a name that is
not an area itself names every area under that folder, `everything` all of
them. An area may also use what the areas it names may use. Names after
"the windows also" hold only for the area's Qt Widgets files. Each row may
name only rows above it, and no two folders right under src/ may use each
other, so the table has no circle. Prints every arrow the
table does not allow and exits 1 when there is any.
"""

import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
QT_INCLUDE = re.compile(r'^\s*#\s*include\s+<Q', re.M)
WINDOWS_ONLY = "the windows also"
WIDGETS_LIBS = ("Qt6::Widgets", "Qt6::Gui", "Qt6::WebEngineWidgets", "Qt6::PrintSupport")


class Table:
    def __init__(self, order, general, windows):
        self.order = order      # areas in the table's order, lowest floor first
        self.general = general  # area -> names every file of it may use (None: everything)
        self.windows = windows  # area -> names only its Widgets files may use


def read_table(readme_text):
    """The Layout section's table; raises ValueError when it cannot be read."""
    section = re.search(r"^## Layout\n(.*?)(?=^## )", readme_text, re.M | re.S)
    if not section:
        raise ValueError("README.md has no '## Layout' section")
    order, general, windows = [], {}, {}
    for line in section.group(1).splitlines():
        if not line.startswith("| `src/"):
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        folders = [f[len("src/"):] for f in re.findall(r"`(src/[^`]+)`", cells[0])]
        rule = cells[-1]
        head, _, tail = rule.partition(WINDOWS_ONLY)
        names = re.findall(r"`([^`]+)`", head)
        only_windows = re.findall(r"`([^`]+)`", tail)
        for folder in folders:
            order.append(folder)
            general[folder] = None if "everything" in names else names
            windows[folder] = only_windows
    if not order:
        raise ValueError("the Layout table names no folder")
    return Table(order, general, windows)


def expand(table, name):
    """The areas a name stands for: the area itself, else every area under the folder."""
    if name in table.general:
        return [name]
    under = [a for a in table.order if a.startswith(name + "/")]
    if not under:
        raise ValueError(f"`{name}` names no area of the table")
    return under


def check_table(table):
    """Each row may name only rows above it: the table is its own build order."""
    problems = []
    for index, area in enumerate(table.order):
        names = (table.general[area] or []) + table.windows[area]
        for name in names:
            for target in expand(table, name):
                if table.order.index(target) >= index:
                    problems.append(f"table: `{area}` names `{name}`, which is not above it")
    # Nor may the top folders lean on each other (session/ on admin/ and admin/ on session/).
    folders = {}
    for area in table.order:
        for name in (table.general[area] or []) + table.windows[area]:
            for target in expand(table, name):
                if target.split("/")[0] != area.split("/")[0]:
                    folders.setdefault(area.split("/")[0], set()).add(target.split("/")[0])
    for folder, uses in sorted(folders.items()):
        for other in sorted(uses):
            if folder in reachable(folders, other):
                problems.append(f"table: src/{folder} and src/{other} use each other")
    return problems


def reachable(graph, start):
    seen, todo = set(), [start]
    while todo:
        for nxt in graph.get(todo.pop(), ()):
            if nxt not in seen:
                seen.add(nxt)
                todo.append(nxt)
    return seen


def allowed(table, area, windows_file, memo):
    """Every area a file of `area` may include (its own area too)."""
    if table.general[area] is None:
        return set(table.order)
    key = (area, windows_file)
    if key not in memo:
        names = list(table.general[area])
        if windows_file:
            names += table.windows[area]
        result = {area}
        for name in names:
            for target in expand(table, name):
                # What another area brings along is all it may use, windows included.
                result |= allowed(table, target, True, memo)
        memo[key] = result
    return memo[key]


def area_of(table, path):
    """The area of a path under src/: the longest area folder holding it."""
    best = None
    for area in table.order:
        if path == area or path.startswith(area + "/"):
            if best is None or len(area) > len(best):
                best = area
    return best


def widgets_files(src):
    """Source files (relative to src/) of libraries and programs built on Qt Widgets."""
    targets, links, automoc = {}, {}, set()
    for root, _, files in os.walk(src):
        if "CMakeLists.txt" not in files:
            continue
        text = open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8").read()
        text = re.sub(r"#[^\n]*", "", text)
        rel = os.path.relpath(root, src)
        for m in re.finditer(r"add_(?:library|executable)\(\s*(\w+)([^)]*)\)", text):
            sources = [w for w in m.group(2).split() if w.endswith(".cpp")]
            targets[m.group(1)] = [os.path.normpath(os.path.join(rel, s)) for s in sources]
        for m in re.finditer(r"target_link_libraries\(\s*(\w+)([^)]*)\)", text):
            links.setdefault(m.group(1), []).extend(m.group(2).split())
        for m in re.finditer(r"set_target_properties\(\s*(\w+)[^)]*AUTOMOC\s+ON", text):
            automoc.add(m.group(1))
    widgets = {t for t in targets if t in automoc or any(l in WIDGETS_LIBS for l in links.get(t, []))}
    grew = True
    while grew:
        grew = False
        for t in targets:
            if t not in widgets and any(l in widgets for l in links.get(t, [])):
                widgets.add(t)
                grew = True
    return {f for t in widgets for f in targets[t]}


def resolve(src, folder, include):
    """The included file relative to src/, or None when it is no file of src/."""
    for base in (folder, src):
        candidate = os.path.normpath(os.path.join(base, include))
        if os.path.exists(candidate) or os.path.exists(candidate + ".in"):
            rel = os.path.relpath(candidate, src)
            if not rel.startswith(".."):
                return rel
    return None


def check_tree(root):
    src = os.path.join(root, "src")
    table = read_table(open(os.path.join(root, "README.md"), encoding="utf-8").read())
    problems = check_table(table)
    widgets = widgets_files(src)
    memo = {}
    for folder, _, files in sorted(os.walk(src)):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h", ".inc")):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, src)
            area = area_of(table, os.path.dirname(rel))
            if area is None:
                problems.append(f"{rel}: its folder is in no row of the Layout table")
                continue
            text = open(path, encoding="utf-8", errors="replace").read()
            stem = os.path.splitext(rel)[0]
            if os.path.exists(os.path.join(src, stem + ".cpp")):
                is_widgets = stem + ".cpp" in widgets
            else:
                # A header with no source of its own: a window's when it names Qt.
                is_widgets = bool(QT_INCLUDE.search(text))
            may = allowed(table, area, is_widgets, memo)
            for m in INCLUDE.finditer(text):
                target = resolve(src, folder, m.group(1))
                if target is None:
                    continue
                to = area_of(table, os.path.dirname(target))
                if not is_widgets and (to == "ui" or (to or "").startswith("ui/")):
                    problems.append(f"{rel} (no Qt Widgets) includes {target} from src/ui")
                elif to not in may:
                    problems.append(f"{rel} includes {target}: `{area}` may not use `{to}`")
    return problems


def self_test():
    """A small tree with one arrow of each kind the check must find."""
    readme = """## Layout

| Folder | What it holds | May depend on |
|---|---|---|
| `src/base` | b | nothing |
| `src/ui` | Qt | `base` |
| `src/mid/a` | a | `base`; the windows also `ui` |
| `src/mid/b` | b | `mid/a` |
| `src/top` | t | `mid` |

## Next
"""
    files = {
        "base/b.h": "",
        "ui/w.h": '#include "base/b.h"\n',
        "mid/a/model.cpp": '#include "base/b.h"\n#include "ui/w.h"\n',  # Qt-free, uses ui
        "mid/a/window.cpp": '#include "ui/w.h"\n',
        "mid/b/b.cpp": '#include "ui/w.h"\n#include "top/t.h"\n',  # through a's windows; up
        "top/t.h": '#include "mid/b/b.h"\n#include "base/b.h"\n',
        "mid/b/b.h": "",
        "mid/a/CMakeLists.txt": "add_library(a_model STATIC model.cpp)\n"
                                "add_library(a_windows STATIC window.cpp)\n"
                                "target_link_libraries(a_windows PUBLIC Qt6::Widgets)\n",
        "mid/b/CMakeLists.txt": "add_library(b STATIC b.cpp)\n"
                                "target_link_libraries(b PUBLIC a_windows)\n",
        "stray/s.h": "",
    }
    with tempfile.TemporaryDirectory() as root:
        open(os.path.join(root, "README.md"), "w").write(readme)
        for rel, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, "src", rel)), exist_ok=True)
            open(os.path.join(root, "src", rel), "w").write(text)
        found = check_tree(root)
    expected = [
        "mid/a/model.cpp (no Qt Widgets) includes ui/w.h from src/ui",
        "mid/b/b.cpp includes top/t.h: `mid/b` may not use `top`",
        "stray/s.h: its folder is in no row of the Layout table",
    ]
    if sorted(found) != sorted(expected):
        print("self-test: expected", *expected, "found", *found, sep="\n  ")
        return 1
    bad = readme.replace("| `src/base` | b | nothing |", "| `src/base` | b | `top` |")
    if not any("not above it" in p for p in check_table(read_table(bad))):
        print("self-test: a row naming a row below it went unnoticed")
        return 1
    # Every row names only rows above it, yet mid/ and top/ lean on each other.
    bad = readme.replace("| `src/top` | t | `mid` |", "| `src/top` | t | `mid/a` |\n| `src/mid/c` | c | `top` |")
    if check_table(read_table(bad)) != ["table: src/mid and src/top use each other",
                                        "table: src/top and src/mid use each other"]:
        print("self-test: two folders that use each other went unnoticed:", check_table(read_table(bad)))
        return 1
    print("self-test: ok")
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    problems = check_tree(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) the README's Layout table does not allow")
        return 1
    print("layout: every include is one the Layout table allows")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
