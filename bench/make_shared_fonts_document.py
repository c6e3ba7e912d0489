#!/usr/bin/env python3
"""Writes the hostile shape of a font report: PAGES pages that all share one
resources dictionary of FONTS fonts, so that every page uses every font and
"Fonts by pages" asks for PAGES * FONTS entries from a file of a few bytes a
page. The pages also share one content stream. The file is shaped like the
other benchmark documents: a balanced page tree in object streams, with a
cross-reference stream. With --tounicode N, the fonts also share one
ToUnicode CMap of N mappings, so that its listing is asked for once a font.
With --shows N, the shared content stream shows text N times, in each font
by turns, so that a text selection of the pages holds PAGES * N pieces.
Deterministic.

    make_shared_fonts_document.py OUTPUT.pdf PAGES FONTS [--tounicode N] [--shows N]
"""
import argparse

from make_fonts_document import Writer, page_tree, tounicode_cmap


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("output")
    parser.add_argument("pages", type=int)
    parser.add_argument("fonts", type=int)
    parser.add_argument("--tounicode", type=int, default=0, metavar="N")
    parser.add_argument("--shows", type=int, default=1, metavar="N")
    args = parser.parse_args()

    pdf = Writer()
    shared = b" /ToUnicode %d 0 R" % pdf.stream(tounicode_cmap(args.tounicode)) if args.tounicode else b""
    fonts = [pdf.add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Shared%05d /Encoding /WinAnsiEncoding%s >>"
                     % (index, shared)) for index in range(args.fonts)]
    resources = pdf.add(b"<< /Font << %s >> >>" % b" ".join(b"/F%d %d 0 R" % (k, number)
                                                            for k, number in enumerate(fonts)))
    contents = pdf.stream(b"BT 72 700 Td\n" + b"".join(b"/F%d 11 Tf (S) Tj\n" % (show % args.fonts)
                                                         for show in range(args.shows)) + b"ET\n")
    page_numbers, parents, root_node = page_tree(pdf, args.pages, False)
    for number in page_numbers:
        pdf.set(number, b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] /Contents %d 0 R /Resources %d 0 R >>"
                % (parents[number], contents, resources))
    pdf.write_packed(args.output, pdf.add(b"<< /Type /Catalog /Pages %d 0 R >>" % root_node))


if __name__ == "__main__":
    main()
