#!/usr/bin/env python3
"""Writes cli/names/unicode_tables.inc: the canonical decompositions and the combining classes
of Unicode, from Python's unicodedata, for telling two names apart that are one text in two
normal forms. Run it again for a newer Unicode: python3 scripts/unicode-tables.py"""
import os
import unicodedata

HANGUL_FIRST, HANGUL_LAST = 0xAC00, 0xD7A3  # decomposed by rule, not listed


def rows(values):
    """The values packed into lines of at most 100 columns."""
    line = ""
    for value in values:
        if line and len(line) + 1 + len(value) > 100:
            yield line
            line = ""
        line = line + " " + value if line else "    " + value
    if line:
        yield line


decompositions, classes = [], []
for code in range(0x110000):
    char = chr(code)
    mapping = unicodedata.decomposition(char)
    if mapping and not mapping.startswith("<") and not HANGUL_FIRST <= code <= HANGUL_LAST:
        parts = [int(part, 16) for part in mapping.split()] + [0]
        decompositions.append("{0x%X, 0x%X, 0x%X}," % (code, parts[0], parts[1]))
    combining = unicodedata.combining(char)
    if combining:
        if classes and classes[-1][1] == code - 1 and classes[-1][2] == combining:
            classes[-1][1] = code
        else:
            classes.append([code, code, combining])

path = os.path.join(os.path.dirname(__file__), "..", "cli", "names", "unicode_tables.inc")
with open(path, "w", encoding="ascii") as out:
    out.write("// Written by scripts/unicode-tables.py from Unicode %s; do not edit.\n"
              % unicodedata.unidata_version)
    out.write("// clang-format off\n")
    out.write("// Each canonical decomposition but Hangul's: a code point, and the one or two it "
              "stands for.\n")
    out.write("const Decomposition kDecompositions[] = {\n")
    out.write("\n".join(rows(decompositions)) + "\n};\n")
    out.write("// The runs of code points of one combining class other than 0.\n")
    out.write("const CombiningRun kCombiningRuns[] = {\n")
    out.write("\n".join(rows(["{0x%X, 0x%X, %d}," % tuple(c) for c in classes])) + "\n};\n")
    out.write("// clang-format on\n")
