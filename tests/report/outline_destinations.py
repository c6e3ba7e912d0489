#!/usr/bin/python3
"""Prints a PDF's outline as pdfminer reads it, one entry a line, depth
first: the title indented by two spaces a level, then, for an entry with a
destination (its own /Dest or a GoTo action's /D), " -> page N" (1-based)
and the view, such as "/XYZ 0 1100 null"."""
import sys

from pdfminer.pdfdocument import PDFDocument
from pdfminer.pdfpage import PDFPage
from pdfminer.pdfparser import PDFParser
from pdfminer.pdftypes import resolve1
from pdfminer.psparser import PSKeyword, PSLiteral
from pdfminer.utils import decode_text


def shown(value):
    value = resolve1(value)
    if value is None or (isinstance(value, PSKeyword) and value.name == b"null"):
        return "null"
    if isinstance(value, PSLiteral):
        return "/" + value.name
    return format(value, "g") if isinstance(value, float) else str(value)


def destination_of(entry):
    dest = entry.get("Dest")
    action = resolve1(entry.get("A"))
    if dest is None and isinstance(action, dict) and shown(action.get("S")) == "/GoTo":
        dest = action.get("D")
    return resolve1(dest)


def entries(first, level, seen):
    entry_ref = first
    while entry_ref is not None and id(resolve1(entry_ref)) not in seen:
        entry = resolve1(entry_ref)
        seen.add(id(entry))
        yield level, entry
        yield from entries(entry.get("First"), level + 1, seen)
        entry_ref = entry.get("Next")


def main(path):
    with open(path, "rb") as file:
        document = PDFDocument(PDFParser(file))
        pages = {page.pageid: number for number, page in enumerate(PDFPage.create_pages(document), 1)}
        outlines = resolve1(document.catalog.get("Outlines")) or {}
        for level, entry in entries(outlines.get("First"), 0, set()):
            line = "  " * level + decode_text(resolve1(entry.get("Title")))
            target = destination_of(entry)
            if target:
                page = pages.get(getattr(target[0], "objid", None), "?")
                line += f" -> page {page} " + " ".join(shown(item) for item in target[1:])
            print(line)


if __name__ == "__main__":
    main(sys.argv[1])
