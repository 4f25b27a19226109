#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads every #include of src/, app/ and server/ and fails on an edge between layers that the
design does not allow. A layer is a core subsystem (src/<name>), a window layer (src/<name>/ui,
named <name>_ui), one of the front ends (cli, desktop) or the server."""

import pathlib
import re
import sys

# Which core may use which directly; what they use may be used too (the closure is taken below).
# Every layer may use common.
CORE_USES = {
    "common": set(),
    "project": set(),
    "model": set(),
    "picture": set(),
    "data": set(),
    "help": set(),
    "analysis": {"model", "project"},
    "advice": {"analysis", "picture"},
    "wizard": {"analysis", "data", "project"},
    # The session accepts a search result, so it reads the wizard's result records.
    "workbench": {"analysis", "data", "project", "wizard"},
    "tools": {"model", "workbench"},
    "online": {"data", "project"},
    "chart": set(),
}
# Window layers every window may use: the shared message boxes and Qt helpers, the help viewer
# (Help buttons and F1) and the chart control graphs and diagrams draw on.
SHARED_WINDOW_LAYERS = {"common_ui", "help_ui", "chart_ui"}

# Window-to-window edges still to be taken apart; each is a window reaching another's window class.
# The list only shrinks: a new edge fails, and so does one listed here that has gone.
KNOWN_WINDOW_EDGES: set = set()

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def closure(uses):
    reach = {}
    for layer in uses:
        seen, stack = set(), list(uses[layer])
        while stack:
            other = stack.pop()
            if other not in seen:
                seen.add(other)
                stack.extend(uses.get(other, ()))
        reach[layer] = seen | {"common", layer}
    return reach


def layer_of_file(path, root):
    parts = path.relative_to(root).parts
    if parts[0] == "server":
        return "server"
    if parts[0] == "app":
        return parts[1]  # cli or desktop
    if len(parts) > 2 and parts[2] == "ui":
        return parts[1] + "_ui"
    return parts[1]


def layer_of_include(include, own):
    parts = include.split("/")
    if len(parts) == 1:
        return own  # a header beside the file
    if parts[0] not in CORE_USES:
        return None  # not one of ours (the server's own headers, generated files)
    if len(parts) > 2 and parts[1] == "ui":
        return parts[0] + "_ui"
    return parts[0]


def allowed(source, target, reach):
    if source == target or target == "common":
        return True
    cores = set(CORE_USES)
    if source in cores:
        return target in reach[source]
    if source == "server":
        return target in reach["data"]
    if source == "cli":
        return target in cores  # the headless front end never uses a window
    if source == "desktop":
        return True  # the wiring between windows lives here
    # A window layer: any core (it takes the session or a core value), the shared window layers,
    # its own layer; never another window.
    return target in cores or target in SHARED_WINDOW_LAYERS or (source, target) in KNOWN_WINDOW_EDGES


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    reach = closure(CORE_USES)
    wrong, used_known = [], set()
    files = [p for folder in ("src", "app", "server") for p in sorted((root / folder).rglob("*"))
             if p.suffix in (".cpp", ".h")]
    for path in files:
        source = layer_of_file(path, root)
        text = path.read_text(encoding="utf-8", errors="replace")
        for line_number, include in ((text.count("\n", 0, m.start()) + 1, m.group(1)) for m in INCLUDE.finditer(text)):
            target = layer_of_include(include, source)
            if target is None or target == source:
                continue
            if (source, target) in KNOWN_WINDOW_EDGES:
                used_known.add((source, target))
            if not allowed(source, target, reach):
                wrong.append(f"{path.relative_to(root)}:{line_number}: {source} may not include \"{include}\" ({target})")
    for edge in sorted(KNOWN_WINDOW_EDGES - used_known):
        wrong.append(f"the edge {edge[0]} -> {edge[1]} is gone: take it off the list of known edges")
    for line in wrong:
        print(line)
    print(f"{len(files)} files read, {len(wrong)} wrong edges")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
