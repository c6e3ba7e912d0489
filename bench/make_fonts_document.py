#!/usr/bin/env python3
"""Writes the document the end-to-end benchmark reports on: PAGES pages
(1000 by default) that use 100 distinct fonts between them. Each page shows
ten fonts of its own resources and draws a form XObject that brings five
more; fonts repeat across pages. Every fifth font has a ToUnicode CMap, and
one of them is CJK-sized (several thousand mappings). Deterministic: the
same arguments give the same bytes.

    make_fonts_document.py OUTPUT.pdf [PAGES]
"""
import sys
import zlib

FONTS = 100
FONTS_PER_PAGE = 10
FORMS = 20
FONTS_PER_FORM = 5
CJK_MAPPINGS = 6000


def tounicode_cmap(mappings):
    lines = [b"/CIDInit /ProcSet findresource begin 12 dict begin begincmap",
             b"/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def",
             b"/CMapName /Bench-UCS def /CMapType 2 def",
             b"1 begincodespacerange <0000> <FFFF> endcodespacerange"]
    for start in range(0, mappings, 100):
        block = range(start, min(start + 100, mappings))
        lines.append(b"%d beginbfchar" % len(block))
        lines += [b"<%04X> <%04X>" % (code, 0x4E00 + code) for code in block]
        lines.append(b"endbfchar")
    lines.append(b"endcmap CMapName currentdict /CMap defineresource pop end end")
    return b"\n".join(lines) + b"\n"


class Writer:
    def __init__(self):
        self.objects = []

    def add(self, body):
        self.objects.append(body)
        return len(self.objects)

    def stream(self, data, extra=b""):
        packed = zlib.compress(data, 9)
        return self.add(b"<< /Length %d /Filter /FlateDecode %s >>\nstream\n" % (len(packed), extra) + packed +
                        b"\nendstream")

    def write(self, path, root):
        out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
        offsets = []
        for number, body in enumerate(self.objects, 1):
            offsets.append(len(out))
            out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
        xref = len(out)
        out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(self.objects) + 1)
        out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
        out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(self.objects) + 1, root, xref)
        with open(path, "wb") as file:
            file.write(out)


def main(path, pages):
    pdf = Writer()
    fonts = []
    for index in range(FONTS):
        extra = b""
        if index % 5 == 0:
            mappings = CJK_MAPPINGS if index == 0 else 200
            extra = b" /ToUnicode %d 0 R" % pdf.stream(tounicode_cmap(mappings))
        fonts.append(pdf.add(b"<< /Type /Font /Subtype /Type1 /BaseFont /BenchFont%03d /Encoding /WinAnsiEncoding%s >>"
                             % (index, extra)))

    forms = []
    for form in range(FORMS):
        names = [fonts[(form * 7 + k * 13) % FONTS] for k in range(FONTS_PER_FORM)]
        resources = b" ".join(b"/G%d %d 0 R" % (k, number) for k, number in enumerate(names))
        content = b"".join(b"BT /G%d 10 Tf 10 %d Td (Form text) Tj ET\n" % (k, 10 + 12 * k) for k in range(FONTS_PER_FORM))
        forms.append(pdf.stream(content, b"/Type /XObject /Subtype /Form /BBox [0 0 200 100] /Resources << /Font << %s >> >>"
                                % resources))

    pages_object = len(pdf.objects) + 2 * pages + 1  # after each page and its content
    kids = []
    for page in range(pages):
        chosen = [fonts[(page * 3 + k * 11) % FONTS] for k in range(FONTS_PER_PAGE)]
        resources = b" ".join(b"/F%d %d 0 R" % (k, number) for k, number in enumerate(chosen))
        content = b"".join(b"BT /F%d 11 Tf 72 %d Td (Page %d, font %d) Tj ET\n" % (k, 700 - 14 * k, page + 1, k)
                           for k in range(FONTS_PER_PAGE))
        content += b"q 1 0 0 1 300 300 cm /X0 Do Q\n"
        contents = pdf.stream(content)
        kids.append(pdf.add(b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] /Contents %d 0 R "
                            b"/Resources << /Font << %s >> /XObject << /X0 %d 0 R >> >> >>"
                            % (pages_object, contents, resources, forms[page % FORMS])))
    assert len(pdf.objects) + 1 == pages_object
    pdf.add(b"<< /Type /Pages /Count %d /Kids [%s] >>" % (pages, b" ".join(b"%d 0 R" % kid for kid in kids)))
    root = pdf.add(b"<< /Type /Catalog /Pages %d 0 R >>" % pages_object)
    pdf.write(path, root)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 1000)
