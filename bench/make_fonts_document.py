#!/usr/bin/env python3
"""Writes the documents the end-to-end benchmark reports on: PAGES pages
(1000 by default) that use FONTS distinct fonts between them (100 by
default). Each page shows ten fonts of its own resources and draws a form
XObject that brings five more; fonts repeat across pages. Every fifth font
has a ToUnicode CMap (every font with --tounicode-all), and the first one is
CJK-sized (several thousand mappings).

The file is shaped as producers write them today: a balanced page tree of at
most ten kids a node, as TeX engines write it, and every object but the
streams packed into object streams, with a cross-reference stream. --flat
puts all pages under one /Pages node and --classic-xref writes a classic
cross-reference table instead, for comparison. Deterministic: the same
arguments give the same bytes.

    make_fonts_document.py OUTPUT.pdf [PAGES] [--fonts N] [--tounicode-all] [--flat] [--classic-xref]
"""
import argparse
import zlib

FONTS_PER_PAGE = 10
FORMS = 20
FONTS_PER_FORM = 5
CJK_MAPPINGS = 6000
KIDS_PER_NODE = 10
OBJECTS_PER_STREAM = 100


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
    """Objects by number; a stream's body starts with its dictionary and
    holds "stream", the others are packed unless the xref is classic."""

    def __init__(self):
        self.objects = []

    def reserve(self):
        self.objects.append(None)
        return len(self.objects)

    def set(self, number, body):
        self.objects[number - 1] = body
        return number

    def add(self, body):
        return self.set(self.reserve(), body)

    def stream(self, data, extra=b""):
        packed = zlib.compress(data, 9)
        return self.add(b"<< /Length %d /Filter /FlateDecode %s >>\nstream\n" % (len(packed), extra) + packed +
                        b"\nendstream")

    @staticmethod
    def is_stream(body):
        return b"\nstream\n" in body

    def write_classic(self, path, root):
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

    def write_packed(self, path, root):
        packed = [number for number, body in enumerate(self.objects, 1) if not self.is_stream(body)]
        where = {}  # object number -> (object stream number, index)
        for start in range(0, len(packed), OBJECTS_PER_STREAM):
            group = packed[start:start + OBJECTS_PER_STREAM]
            header, body = bytearray(), bytearray()
            for index, number in enumerate(group):
                header += b"%d %d " % (number, len(body))
                body += self.objects[number - 1] + b"\n"
            holder = self.reserve()
            data = zlib.compress(bytes(header + body), 6)
            self.set(holder, b"<< /Type /ObjStm /N %d /First %d /Length %d /Filter /FlateDecode >>\nstream\n"
                     % (len(group), len(header), len(data)) + data + b"\nendstream")
            for index, number in enumerate(group):
                where[number] = (holder, index)

        out = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
        offsets = {}
        for number, body in enumerate(self.objects, 1):
            if number in where:
                continue
            offsets[number] = len(out)
            out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
        xref_number = len(self.objects) + 1
        offsets[xref_number] = len(out)
        rows = bytearray(b"\x00\x00\x00\x00\x00\xff\xff")
        for number in range(1, xref_number + 1):
            if number in where:
                holder, index = where[number]
                rows += b"\x02" + holder.to_bytes(4, "big") + index.to_bytes(2, "big")
            else:
                rows += b"\x01" + offsets[number].to_bytes(4, "big") + b"\x00\x00"
        data = zlib.compress(bytes(rows), 6)
        out += (b"%d 0 obj\n<< /Type /XRef /Size %d /W [1 4 2] /Root %d 0 R /Length %d /Filter /FlateDecode >>\n"
                b"stream\n" % (xref_number, xref_number + 1, root, len(data)) + data + b"\nendstream\nendobj\n")
        out += b"startxref\n%d\n%%%%EOF\n" % offsets[xref_number]
        with open(path, "wb") as file:
            file.write(out)


def page_tree(pdf, pages, flat):
    """Reserves the page objects and writes the /Pages nodes above them:
    one node for a flat tree, else nodes of at most KIDS_PER_NODE kids.
    Answers the page numbers, the parent of each page and node, and the
    root node."""
    page_numbers = [pdf.reserve() for _ in range(pages)]
    parents, counts, kids_of = {}, dict.fromkeys(page_numbers, 1), {}
    level = page_numbers
    while not kids_of or len(level) > 1:
        width = len(level) if flat else KIDS_PER_NODE
        above = []
        for start in range(0, len(level), width):
            node = pdf.reserve()
            kids_of[node] = level[start:start + width]
            counts[node] = sum(counts[kid] for kid in kids_of[node])
            for kid in kids_of[node]:
                parents[kid] = node
            above.append(node)
        level = above
    for node, kids in kids_of.items():
        parent = b" /Parent %d 0 R" % parents[node] if node in parents else b""
        pdf.set(node, b"<< /Type /Pages%s /Count %d /Kids [%s] >>"
                % (parent, counts[node], b" ".join(b"%d 0 R" % kid for kid in kids)))
    return page_numbers, parents, level[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("output")
    parser.add_argument("pages", nargs="?", type=int, default=1000)
    parser.add_argument("--fonts", type=int, default=100)
    parser.add_argument("--tounicode-all", action="store_true")
    parser.add_argument("--flat", action="store_true")
    parser.add_argument("--classic-xref", action="store_true")
    args = parser.parse_args()

    pdf = Writer()
    fonts = []
    for index in range(args.fonts):
        extra = b""
        if index % 5 == 0 or args.tounicode_all:
            mappings = CJK_MAPPINGS if index == 0 else 200
            extra = b" /ToUnicode %d 0 R" % pdf.stream(tounicode_cmap(mappings))
        fonts.append(pdf.add(b"<< /Type /Font /Subtype /Type1 /BaseFont /BenchFont%03d /Encoding /WinAnsiEncoding%s >>"
                             % (index, extra)))

    forms = []
    for form in range(FORMS):
        names = [fonts[(form * 7 + k * 13) % args.fonts] for k in range(FONTS_PER_FORM)]
        resources = b" ".join(b"/G%d %d 0 R" % (k, number) for k, number in enumerate(names))
        content = b"".join(b"BT /G%d 10 Tf 10 %d Td (Form text) Tj ET\n" % (k, 10 + 12 * k) for k in range(FONTS_PER_FORM))
        forms.append(pdf.stream(content, b"/Type /XObject /Subtype /Form /BBox [0 0 200 100] /Resources << /Font << %s >> >>"
                                % resources))

    page_numbers, parents, root_node = page_tree(pdf, args.pages, args.flat)
    for page, number in enumerate(page_numbers):
        chosen = [fonts[(page * 3 + k * 11) % args.fonts] for k in range(FONTS_PER_PAGE)]
        resources = b" ".join(b"/F%d %d 0 R" % (k, number) for k, number in enumerate(chosen))
        content = b"".join(b"BT /F%d 11 Tf 72 %d Td (Page %d, font %d) Tj ET\n" % (k, 700 - 14 * k, page + 1, k)
                           for k in range(FONTS_PER_PAGE))
        content += b"q 1 0 0 1 300 300 cm /X0 Do Q\n"
        contents = pdf.stream(content)
        pdf.set(number, b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] /Contents %d 0 R "
                        b"/Resources << /Font << %s >> /XObject << /X0 %d 0 R >> >> >>"
                % (parents[number], contents, resources, forms[page % FORMS]))
    root = pdf.add(b"<< /Type /Catalog /Pages %d 0 R >>" % root_node)
    if args.classic_xref:
        pdf.write_classic(args.output, root)
    else:
        pdf.write_packed(args.output, root)


if __name__ == "__main__":
    main()
