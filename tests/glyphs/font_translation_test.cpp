// PDModel 308: a font's codes translated into PDFDocEncoding through their
// glyph names, and the checks on the caller's buffers.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "glyphs/glyph_fonts.h"
#include "plugin/host_call.h"

namespace ortheo::testing {
namespace {


std::uint8_t byteAt(const std::string& output, int code) { return static_cast<std::uint8_t>(output.at(code)); }

class FontTranslationTest : public ::testing::Test {
protected:
    GlyphFonts fonts_;
};

TEST_F(FontTranslationTest, WinAnsiCodesBecomeTheirPdfDocBytes) {
    // Ghostscript's Times-Roman with /WinAnsiEncoding.
    const std::string output = translatedCodes(fonts_.fixtureFont("groff-gs.pdf", 9));
    ASSERT_EQ(output.size(), 256u);
    EXPECT_EQ(byteAt(output, 0x80), 0xA0) << "Euro";
    EXPECT_EQ(byteAt(output, 0x93), 0x8D) << "quotedblleft";
    EXPECT_EQ(byteAt(output, 0x8C), 0x96) << "OE";
    EXPECT_EQ(byteAt(output, 0x41), 0x41);
    EXPECT_EQ(byteAt(output, 0xE9), 0xE9) << "eacute";
    EXPECT_EQ(byteAt(output, 0x00), ' ') << "a code without a name keeps the caller's space";
}

TEST_F(FontTranslationTest, NamesFromProgramsAndDifferencesTranslateToo) {
    const std::string latex = translatedCodes(fonts_.fixtureFont("latex.pdf", 5));  // CMR10's own encoding
    EXPECT_EQ(byteAt(latex, 0x2B), 0x2B) << "plus";
    EXPECT_EQ(byteAt(latex, 0x41), ' ') << "not in the subset's encoding";

    const std::string differences = translatedCodes(fonts_.madeFont(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica"
        " /Encoding << /Differences [ 1 /uni20AC /u201C /Alpha /f_f /Euro.alt ] >> >>"));
    EXPECT_EQ(byteAt(differences, 1), 0xA0);
    EXPECT_EQ(byteAt(differences, 2), 0x8D);
    EXPECT_EQ(byteAt(differences, 3), ' ') << "Alpha has no PDFDocEncoding byte";
    EXPECT_EQ(byteAt(differences, 4), ' ') << "two characters have no one byte";
    EXPECT_EQ(byteAt(differences, 5), 0xA0);
    EXPECT_EQ(byteAt(differences, 0x27), 0x90) << "StandardEncoding's quoteright";
}

TEST_F(FontTranslationTest, AFontWithoutNamesLeavesEveryCodeAsGiven) {
    const std::string output =
        translatedCodes(fonts_.madeFont("<< /Type /Font /Subtype /Type0 /BaseFont /CID /Encoding /Identity-H >>"));
    EXPECT_EQ(output, std::string(256, ' '));
}

TEST_F(FontTranslationTest, TheCallersBuffersAreCheckedAndNeverOverrun) {
    const host::Handle font = fonts_.fixtureFont("groff-gs.pdf", 9);
    const std::uint8_t input[4] = {0x80, 0x93, 0x41, 0x00};
    std::uint8_t output[4] = {' ', ' ', ' ', '#'};
    EXPECT_EQ(callHost<host::op::FontTranslate>(font, input, 4, output, 3), 3) << "what fits";
    EXPECT_EQ(output[0], 0xA0);
    EXPECT_EQ(output[1], 0x8D);
    EXPECT_EQ(output[2], 0x41);
    EXPECT_EQ(output[3], '#');
    EXPECT_EQ(callHost<host::op::FontTranslate>(font, input, 2, output, 4), 2);
    EXPECT_EQ(callHost<host::op::FontTranslate>(font, nullptr, 0, nullptr, 0), 0);

    EXPECT_THROW(callHost<host::op::FontTranslate>(font, input, -1, output, 4), HostRaised);
    EXPECT_THROW(callHost<host::op::FontTranslate>(font, input, 4, output, -1), HostRaised);
    EXPECT_THROW(callHost<host::op::FontTranslate>(font, nullptr, 4, output, 4), HostRaised);
    EXPECT_THROW(callHost<host::op::FontTranslate>(font, input, 4, nullptr, 4), HostRaised);
    EXPECT_THROW(callHost<host::op::FontTranslate>(host::Handle{0}, input, 4, output, 4), HostRaised);
}

}  // namespace
}  // namespace ortheo::testing
