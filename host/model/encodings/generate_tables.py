#!/usr/bin/env python3
"""Writes the host's encoding vectors and glyph list as a C++ source file.

The data comes from Ghostscript (Debian package "ghostscript"), which
carries every encoding a PDF reader needs and the standard glyph list among its
PostScript resources. The output depends only on that data: names keep their
code order, and the glyph list is sorted by name so the host can search it.

Usage: generate_tables.py GHOSTSCRIPT OUTPUT.cpp
"""

import subprocess
import sys

# C++ name of each vector -> the name Ghostscript's findencoding knows.
ENCODINGS = [
    ("kStandardEncoding", "StandardEncoding"),
    ("kWinAnsiEncoding", "WinAnsiEncoding"),
    ("kMacRomanEncoding", "MacRomanEncoding"),
    ("kMacExpertEncoding", "MacExpertEncoding"),
    ("kSymbolEncoding", "SymbolEncoding"),
    ("kDingbatsEncoding", "DingbatsEncoding"),
    ("kPdfDocEncoding", "PDFDocEncoding"),
]

# Prints one line per encoding ("NAME glyph glyph ..."), then one line per
# glyph list entry ("glyph codepoint").
DUMP_PROGRAM = " ".join(
    f"({ps}) print /{ps} findencoding {{ ( ) print =only }} forall () =" for _, ps in ENCODINGS
) + " AdobeGlyphList { exch =only ( ) print = } forall"


def ghostscript_dump(ghostscript):
    command = [ghostscript, "-q", "-dNODISPLAY", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-c", DUMP_PROGRAM]
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout.splitlines()


def parse(lines):
    vectors = {}
    glyph_list = {}
    known = {ps for _, ps in ENCODINGS}
    for line in lines:
        fields = line.split()
        if fields and fields[0] in known:
            if len(fields) != 257:
                sys.exit(f"{fields[0]} has {len(fields) - 1} entries, not 256")
            vectors[fields[0]] = fields[1:]
        elif len(fields) == 2:
            glyph_list[fields[0]] = int(fields[1])
        elif fields:
            sys.exit(f"unexpected line from Ghostscript: {line!r}")
    missing = known - vectors.keys()
    if missing or not glyph_list:
        sys.exit(f"Ghostscript did not give {sorted(missing) or 'the glyph list'}")
    return vectors, glyph_list


def vector_source(cpp_name, glyphs):
    # .notdef is no name: the host shows such codes as unnamed.
    cells = ["nullptr" if glyph == ".notdef" else f'"{glyph}"' for glyph in glyphs]
    rows = [", ".join(cells[row:row + 8]) for row in range(0, 256, 8)]
    body = ",\n    ".join(rows)
    return f"const EncodingVector {cpp_name} = {{\n    {body},\n}};\n"


def glyph_list_source(glyph_list):
    entries = "\n".join(f'    {{"{name}", 0x{code:04X}}},' for name, code in sorted(glyph_list.items()))
    return (
        "namespace {\n\n"
        f"const std::array<GlyphListEntry, {len(glyph_list)}> kGlyphListEntries = {{{{\n{entries}\n}}}};\n\n"
        "}  // namespace\n\n"
        "std::span<const GlyphListEntry> glyphList() { return kGlyphListEntries; }\n"
    )


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    ghostscript, output = sys.argv[1:]
    vectors, glyph_list = parse(ghostscript_dump(ghostscript))
    parts = [
        "// Generated at build time by host/model/encodings/generate_tables.py from\n"
        "// Ghostscript's encodings and glyph list. Do not edit.\n"
        '#include "model/encodings/encoding_tables.h"\n\n'
        "namespace host::encodings {\n",
        *(vector_source(cpp_name, vectors[ps]) for cpp_name, ps in ENCODINGS),
        glyph_list_source(glyph_list),
        "}  // namespace host::encodings\n",
    ]
    with open(output, "w", encoding="ascii") as file:
        file.write("\n".join(parts))


if __name__ == "__main__":
    main()
