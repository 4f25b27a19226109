#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a unit factor is written as a number in the code of src/, app/ or server/ instead of
through the constants and helpers of src/common/unit_conversion.h. Comments, string and character
literals are not code; numbers are compared by value, so 9.47e-4 and 0.000947 are the same."""

import pathlib
import re
import sys

HOME = pathlib.PurePosixPath("src/common/unit_conversion.h")

# The factors' values; those as plain as 12, 16, 32 or 144 are caught by the patterns below instead.
FACTORS = {
    0.3937, 2.54, 25.4, 0.0254, 0.03937, 39.37,        # lengths
    0.03534, 28.3, 28.35, 28.3495, 0.0283, 35.3, 35.27,  # weights
    15.5, 0.06452, 6.4516, 0.155,                        # areas
    3.60201, 0.27762,                                    # forces
    0.447, 0.44704, 2.237, 2.23694, 1.609, 1.60934, 0.6214, 0.62137,  # speeds
    0.00508, 0.000947,                                   # climb rates, pitch speeds
    3.28084, 3.281, 0.3048,                              # elevations
    0.55556, 17.77778,                                   # temperatures
    29.92, 101.3, 3.3856951871657754, 0.29536031589338596,  # pressures
    57.29577951, 57.2958, 114.59155902,                  # angles
    141.6119,                                            # torques
}
# Factors plain enough to be other numbers, caught where they convert.
PATTERNS = {
    "1.8 + 32": re.compile(r"\b1\.8\s*\+\s*32\b"),
    "(F - 32) / 1.8": re.compile(r"\b32\s*\)\s*/\s*1\.8\b"),
    "144 sq.in per sq.ft": re.compile(r"[*/]\s*144\b"),
}

# A number that is a limit, a step or a constant of its own, not a unit factor: (file, value) and why.
# The list only shrinks: an entry no longer found fails too.
ALLOWED = {
    # An AVX2-compiled header may not include headers with inline functions.
    ("src/model/relaxation_lanes.h", 0.000947),
}

NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*(?:[eE][-+]?\d+)?|\.\d+(?:[eE][-+]?\d+)?|\d+[eE][-+]?\d+)(?![\w.])")


def code_only(text):
    """The text with comments and string/character literals blanked, line breaks kept."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i)
            delimiter = ")" + text[i + 2:k] + '"'
            j = text.find(delimiter, k)
            j = n if j < 0 else j + len(delimiter)
            out.append(' ""' + "\n" * text.count("\n", i, j))
            i = j
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):  # 1'000 separators stay
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    found, used = [], set()
    for top in ("src", "app", "server"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".cpp", ".h") or not path.is_file():
                continue
            relative = path.relative_to(root).as_posix()
            if pathlib.PurePosixPath(relative) == HOME:
                continue
            code = code_only(path.read_text(encoding="utf-8", errors="replace"))
            for number, line in enumerate(code.splitlines(), 1):
                hits = {float(m.group(1)) for m in NUMBER.finditer(line)} & FACTORS
                hits |= {label for label, pattern in PATTERNS.items() if pattern.search(line)}
                for hit in sorted(hits, key=str):
                    if (relative, hit) in ALLOWED:
                        used.add((relative, hit))
                    else:
                        found.append(f"{relative}:{number}: unit factor {hit} written as a number; use {HOME}")
    found += [f"{path}: allowed factor {value} no longer found; take it off the list" for path, value in sorted(ALLOWED - used)]
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
