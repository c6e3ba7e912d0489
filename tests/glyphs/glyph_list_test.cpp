// Glyph names to Unicode and to PDFDocEncoding, and the generated tables
// beneath them.
#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "model/encodings/encoding_tables.h"
#include "model/encodings/glyph_list.h"
#include "model/encodings/pdf_doc_encoding.h"

namespace {

using host::encodings::pdfDocByteOfGlyph;
using host::encodings::unicodeOfGlyphName;

TEST(GlyphList, NamesMapAsReadersMapThem) {
    EXPECT_EQ(unicodeOfGlyphName("Euro"), U"\u20AC");
    EXPECT_EQ(unicodeOfGlyphName("Euro.oldstyle"), U"\u20AC") << "a suffix after the period is dropped";
    EXPECT_EQ(unicodeOfGlyphName("f_f_i"), U"ffi") << "ligature components map one by one";
    EXPECT_EQ(unicodeOfGlyphName("uni20AC"), U"\u20AC");
    EXPECT_EQ(unicodeOfGlyphName("uni00410042"), U"AB");
    EXPECT_EQ(unicodeOfGlyphName("u1D11E"), U"\U0001D11E");
    EXPECT_EQ(unicodeOfGlyphName("u0041"), U"A");
}

TEST(GlyphList, NamesThatSpellNothingMapToNothing) {
    for (const char* name : {".notdef", "", "uni20ac", "uniD800", "uni20A", "u123", "u1234567", "u110000",
                             "a1", "Zzz", "uni"}) {
        EXPECT_EQ(unicodeOfGlyphName(name), U"") << name;
    }
}

TEST(GlyphList, IsSortedForSearching) {
    const auto list = host::encodings::glyphList();
    ASSERT_GT(list.size(), 4000u);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const auto& left, const auto& right) {
        return std::strcmp(left.name, right.name) < 0;
    }));
}

TEST(EncodingTables, HoldTheCodesThatReadersKnow) {
    using namespace host::encodings;
    const auto nameAt = [](const EncodingVector& vector, int code) {
        return std::string(vector[code] == nullptr ? "(none)" : vector[code]);
    };
    EXPECT_EQ(nameAt(kWinAnsiEncoding, 0x80), "Euro");
    EXPECT_EQ(nameAt(kWinAnsiEncoding, 0x93), "quotedblleft");
    EXPECT_EQ(nameAt(kStandardEncoding, 0x27), "quoteright");
    EXPECT_EQ(nameAt(kStandardEncoding, 0x80), "(none)");
    EXPECT_EQ(nameAt(kMacRomanEncoding, 0x80), "Adieresis");
    EXPECT_EQ(nameAt(kMacExpertEncoding, 0x21), "exclamsmall");
    EXPECT_EQ(nameAt(kSymbolEncoding, 0x41), "Alpha");
    EXPECT_EQ(nameAt(kDingbatsEncoding, 0x21), "a1");
    EXPECT_EQ(nameAt(kPdfDocEncoding, 0xA0), "Euro");
    EXPECT_EQ(nameAt(kPdfDocEncoding, 0x00), "(none)");
}

TEST(PdfDocEncoding, FindsTheByteOfEverySpellingOfACharacter) {
    EXPECT_EQ(pdfDocByteOfGlyph("Euro"), 0xA0);
    EXPECT_EQ(pdfDocByteOfGlyph("uni20AC"), 0xA0);
    EXPECT_EQ(pdfDocByteOfGlyph("quotedblleft"), 0x8D);
    EXPECT_EQ(pdfDocByteOfGlyph("quoteright"), 0x90);
    EXPECT_EQ(pdfDocByteOfGlyph("fi"), 0x93);
    EXPECT_EQ(pdfDocByteOfGlyph("A.sc"), 0x41);
    EXPECT_EQ(pdfDocByteOfGlyph("breve"), 0x18);
    EXPECT_EQ(pdfDocByteOfGlyph("Alpha"), std::nullopt) << "Greek is not in PDFDocEncoding";
    EXPECT_EQ(pdfDocByteOfGlyph("f_f"), std::nullopt) << "two characters have no one byte";
    EXPECT_EQ(pdfDocByteOfGlyph(".notdef"), std::nullopt);
}

}  // namespace
