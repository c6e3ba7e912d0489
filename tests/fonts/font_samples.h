// Fonts and PDFs made for the font tests, so that every case the fixture
// PDFs lack is at hand without files.
#pragma once

#include <cstdint>
#include <string>

namespace ortheo::testing {

// A minimal TrueType program (head, hhea, maxp, OS/2, hmtx, loca; one empty
// glyph) that FreeType opens, with the given OS/2 fsType.
std::string trueTypeProgram(std::uint16_t fsType);

// A two-page PDF with what the fixture PDFs lack, written to `path`.
// Page 1 resources: /F1 Helvetica; /F2 Courier written inline; /T3 a Type3
// font without /BaseFont whose resources hold /FI Times-Italic; /Z0 a Type0
// font "CIDSample" (Identity-H, CIDFontType2 descendant embedding
// `trueTypeProgram(0x0002)`); /Fm1 a form drawing itself whose resources
// hold /FF Times-Bold; /P1 a tiling pattern holding /FP Courier-Bold; one
// annotation whose normal appearance holds /FA Symbol. Page 2 has no
// resources of its own and inherits from the page tree /F1 Helvetica and
// /TT, a TrueType font without /BaseFont.
struct FontSamplePdf {
    std::string path;
    int type3Object = 0;     // object numbers as written
    int trueTypeObject = 0;
};
FontSamplePdf writeFontSamplePdf(const std::string& path);

}  // namespace ortheo::testing
