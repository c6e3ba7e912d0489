#!/usr/bin/python3
"""Prints every code-to-Unicode mapping of every font's ToUnicode CMap in a
PDF, as pdfminer parses it: "FONTNAME CODE TARGET" (hexadecimal), in the
order pdfminer keeps them. A target is written as one number made of its
UTF-16 units (the last eight hexadecimal digits), as the report lists it."""
import io
import sys

from pdfminer.cmapdb import CMapParser, FileUnicodeMap
from pdfminer.pdfdocument import PDFDocument
from pdfminer.pdfparser import PDFParser
from pdfminer.pdftypes import PDFStream, resolve1
from pdfminer.psparser import LIT


def fonts_with_tounicode(document):
    for xref in document.xrefs:
        for number in xref.get_objids():
            try:
                font = document.getobj(number)
            except Exception:
                continue
            if isinstance(font, dict) and font.get("Type") is LIT("Font") and "ToUnicode" in font:
                stream = resolve1(font["ToUnicode"])
                if isinstance(stream, PDFStream):
                    yield resolve1(font["BaseFont"]).name, stream


def main(path):
    with open(path, "rb") as file:
        document = PDFDocument(PDFParser(file))
        for name, stream in fonts_with_tounicode(document):
            cmap = FileUnicodeMap()
            CMapParser(cmap, io.BytesIO(stream.get_data())).run()
            for code, text in cmap.cid2unichr.items():
                target = int(text.encode("utf-16-be").hex() or "0", 16) & 0xFFFFFFFF
                print(f"{name} {code:x} {target:x}")


if __name__ == "__main__":
    main(sys.argv[1])
