// Small PDFs made for tests with qpdf, so that fixtures need no files.
#pragma once

#include <string>
#include <vector>

namespace ortheo::testing {

struct ToUnicodeSample {
    std::string path;
    int toUnicodeObject = 0;  // the object number of the ToUnicode stream
    int fontObject = 0;       // and of its font
};

// Writes a one-page PDF whose font /F1 (Helvetica) has a Flate-compressed
// ToUnicode stream holding `cmap`.
ToUnicodeSample writeToUnicodePdf(const std::string& path, const std::string& cmap);

// Writes the same PDF with a ToUnicode stream whose compressed data breaks
// off after the first half of `cmap`, so decoding fails part-way.
ToUnicodeSample writeCorruptToUnicodePdf(const std::string& path, const std::string& cmap);

// Writes a PDF with one page per entry of `pages`; each page's fonts are
// font dictionaries in qpdf's syntax (e.g. "<< /Type /Font /Subtype /Type1
// /BaseFont /Alpha >>"), named /F1, /F2, ... in its resources in that order,
// and its content shows a word in each. The same text on two pages gives two
// font objects; to share one object, name it "@N" for the Nth font made so
// far (counted from 0 over the whole document).
std::string writeFontsPdf(const std::string& path, const std::vector<std::vector<std::string>>& pages);

// Writes a PDF of `pages` pages without content that all share one
// resources dictionary of `fonts` fonts (Many0000, Many0001, ...), so that
// "Fonts by pages" needs pages * fonts entries.
std::string writeSharedFontsPdf(const std::string& path, int fonts, int pages);

// Writes `objects`, numbered from 1, as a PDF with a cross-reference table
// and object 1 as its catalog: for files that qpdf would not write, such as
// damaged page trees.
std::string writeRawPdf(const std::string& path, const std::vector<std::string>& objects);

// `data` compressed as a FlateDecode stream holds it.
std::string deflate(const std::string& data);

// The first half of `data` deflated and flushed to a byte boundary, then a
// block header of the reserved type: a decoder delivers the first half and
// then fails.
std::string deflateThenBreak(const std::string& data);

// A well-formed CMap text of about `bytes` bytes.
std::string sampleCMap(std::size_t bytes);

// A fresh path in a temporary directory that is removed at exit.
std::string temporaryPath(const std::string& name);

}  // namespace ortheo::testing
