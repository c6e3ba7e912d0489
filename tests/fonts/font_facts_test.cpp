// What the host reads from a font dictionary, on dictionaries made to show
// each case; fonts of real producers are checked against pdffonts in the
// other font tests.

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <zlib.h>

#include "support/sample_pdf.h"
#include "support/stderr_capture.h"
#include "fonts/font_samples.h"
#include "model/font_facts.h"

namespace ortheo {
namespace {

using host::FreeTypeLibrary;

class FontFactsTest : public ::testing::Test {
protected:
    FontFactsTest() { pdf_.emptyPDF(); }

    QPDFObjectHandle direct(const std::string& text) { return QPDFObjectHandle::parse(text); }
    QPDFObjectHandle indirect(const std::string& text) { return pdf_.makeIndirectObject(direct(text)); }
    QPDFObjectHandle stream(const std::string& data, const std::string& dict = "<< >>") {
        QPDFObjectHandle made = pdf_.makeIndirectObject(QPDFObjectHandle::newStream(&pdf_, data));
        made.replaceDict(direct(dict));
        return made;
    }
    // A TrueType font whose descriptor holds `program` as /FontFile2.
    QPDFObjectHandle trueTypeFont(QPDFObjectHandle program) {
        QPDFObjectHandle font = indirect("<< /Type /Font /Subtype /TrueType /BaseFont /Sample"
                                         " /FontDescriptor << /Type /FontDescriptor >> >>");
        font.getKey("/FontDescriptor").replaceKey("/FontFile2", program);
        return font;
    }
    QPDFObjectHandle type0Font(const std::string& descendant) {
        QPDFObjectHandle font = indirect("<< /Type /Font /Subtype /Type0 /BaseFont /Sample /Encoding /Identity-H >>");
        font.replaceKey("/DescendantFonts", QPDFObjectHandle::newArray({indirect(descendant)}));
        return font;
    }

    std::int32_t protection(QPDFObjectHandle font) { return host::readProgramFacts(font, freeType_.get()).protection; }

    QPDF pdf_;
    FreeTypeLibrary freeType_;
};

TEST_F(FontFactsTest, NamesAFontByItsBaseFontOrByTypeAndObject) {
    EXPECT_EQ(host::fontName(direct("<< /Subtype /Type1 /BaseFont /Times#2DRoman >>")), "Times-Roman");
    EXPECT_EQ(host::fontName(direct("<< /Subtype /Type1 /BaseFont /ABCDEF+My#20Font >>")), "ABCDEF+My Font");

    QPDFObjectHandle type3 = indirect("<< /Type /Font /Subtype /Type3 /Name /F1 >>");
    EXPECT_EQ(host::fontName(type3), "Type3 font " + std::to_string(type3.getObjectID()) + " 0 R");
    EXPECT_EQ(host::fontName(direct("<< /Type /Font /Subtype /Type3 >>")), "Type3 font (direct)");
    EXPECT_EQ(host::fontName(direct("<< /Type /Font /BaseFont (not a name) >>")), "Untyped font (direct)");
}

TEST_F(FontFactsTest, TellsFontDictionariesFromOtherDictionaries) {
    EXPECT_TRUE(host::isUsableFont(direct("<< /Type /Font /Subtype /Type3 >>")));
    EXPECT_TRUE(host::isUsableFont(direct("<< /Subtype /TrueType /BaseFont /Arial >>")));
    EXPECT_FALSE(host::isUsableFont(direct("<< /Type /Font >>")));
    EXPECT_FALSE(host::isUsableFont(direct("<< >>")));
    EXPECT_FALSE(host::isUsableFont(direct("<< /Type /XObject /Subtype /Form >>")));
    EXPECT_FALSE(host::isUsableFont(direct("<< /Type /XObject /Subtype /Type1 >>")));
    EXPECT_FALSE(host::isUsableFont(direct("<< /Type /Font /Subtype /CIDFontType2 >>")));
    EXPECT_FALSE(host::isUsableFont(direct("/Font")));
    EXPECT_FALSE(host::isUsableFont(stream("", "<< /Type /Font /Subtype /Type1 >>")));
}

TEST_F(FontFactsTest, NamesEncodingsAndCMapsAndLeavesCustomEncodingsUnnamed) {
    EXPECT_EQ(host::encodingName(direct("<< /Subtype /Type1 /Encoding /MacRomanEncoding >>")), "MacRomanEncoding");
    EXPECT_EQ(host::encodingName(direct("<< /Subtype /Type1 /Encoding << /Differences [32 /space] >> >>")),
              std::nullopt);
    EXPECT_EQ(host::encodingName(direct("<< /Subtype /Type1 >>")), std::nullopt);

    QPDFObjectHandle type0 = type0Font("<< /Type /Font /Subtype /CIDFontType0 >>");
    EXPECT_EQ(host::encodingName(type0), "Identity-H");
    EXPECT_EQ(host::cidFontType(type0), "CIDFontType0");
    type0.replaceKey("/Encoding", stream("%!PS cmap", "<< /Type /CMap /CMapName /Sample-UCS2-H >>"));
    EXPECT_EQ(host::encodingName(type0), "Sample-UCS2-H");
    type0.replaceKey("/Encoding", stream("%!PS cmap", "<< /Type /CMap >>"));
    EXPECT_EQ(host::encodingName(type0), std::nullopt);

    EXPECT_EQ(host::cidFontType(direct("<< /Subtype /TrueType >>")), std::nullopt);
    EXPECT_EQ(host::cidFontType(direct("<< /Subtype /Type0 /DescendantFonts [] >>")), std::nullopt);
}

TEST_F(FontFactsTest, FindsTheProgramInTheDescriptorOrTheDescendantsDescriptor) {
    EXPECT_FALSE(host::isEmbedded(direct("<< /Subtype /Type1 /BaseFont /Helvetica >>")));
    EXPECT_TRUE(host::isEmbedded(trueTypeFont(stream(testing::trueTypeProgram(0)))));
    // A descriptor entry that is not a stream holds no program.
    EXPECT_FALSE(host::isEmbedded(trueTypeFont(direct("(not a stream)"))));

    QPDFObjectHandle type0 = type0Font("<< /Type /Font /Subtype /CIDFontType2 /FontDescriptor << >> >>");
    EXPECT_FALSE(host::isEmbedded(type0));
    type0.getKey("/DescendantFonts").getArrayItem(0).getKey("/FontDescriptor").replaceKey(
        "/FontFile3", stream("cff", "<< /Subtype /CIDFontType0C >>"));
    EXPECT_TRUE(host::isEmbedded(type0));
    EXPECT_TRUE(host::isMultiByte(type0));

    // Type3 glyphs are content streams of the font itself.
    EXPECT_TRUE(host::isEmbedded(direct("<< /Type /Font /Subtype /Type3 /CharProcs << >> >>")));
    EXPECT_FALSE(host::isMultiByte(direct("<< /Type /Font /Subtype /Type3 >>")));
}

TEST_F(FontFactsTest, ReportsProtectionOnlyForFlagsThatForbidEmbeddingOutlines) {
    const auto protectionOf = [&](const std::string& program) { return protection(trueTypeFont(stream(program))); };
    EXPECT_EQ(protectionOf(testing::trueTypeProgram(0x0002)), 0x0002);
    EXPECT_EQ(protectionOf(testing::trueTypeProgram(0x0202)), 0x0202);
    EXPECT_EQ(protectionOf(testing::trueTypeProgram(0x0200)), 0x0200);
    EXPECT_EQ(protectionOf(testing::trueTypeProgram(0x0000)), 0);  // installable
    EXPECT_EQ(protectionOf(testing::trueTypeProgram(0x0008)), 0);  // editable
    EXPECT_EQ(protectionOf("not a font program"), 0);
    EXPECT_EQ(protectionOf(""), 0);
}

TEST_F(FontFactsTest, ReadsProtectionFromTheDecodedProgramAndNeverFailsOnABadOne) {
    EXPECT_EQ(protection(trueTypeFont(stream(testing::deflate(testing::trueTypeProgram(0x0002)),
                                             "<< /Filter /FlateDecode >>"))),
              2);
    EXPECT_EQ(protection(trueTypeFont(stream("garbage", "<< /Filter /FlateDecode >>"))), 0);
    EXPECT_EQ(protection(trueTypeFont(stream("image", "<< /Filter /JBIG2Decode >>"))), 0);
    EXPECT_EQ(protection(direct("<< /Subtype /Type1 /BaseFont /Helvetica >>")), 0);
}

TEST_F(FontFactsTest, LeavesAProgramLargerThanAnyRealOneUnreadWithOneWarning) {
    // A program whose fsType forbids embedding, made larger than 64 MB by what follows it.
    const std::string program = testing::trueTypeProgram(0x0002) + std::string(65 << 20, '\0');
    QPDFObjectHandle font = trueTypeFont(stream(testing::deflate(program), "<< /Filter /FlateDecode >>"));
    const std::string reference = std::to_string(font.getKey("/FontDescriptor").getKey("/FontFile2").getObjectID());
    testing::StderrCapture capture;
    const host::ProgramFacts facts = host::readProgramFacts(font, freeType_.get());
    EXPECT_EQ(facts.protection, 0);
    EXPECT_FALSE(facts.builtInEncoding);
    EXPECT_FALSE(host::embeddedProgramBytes(font));
    EXPECT_EQ(capture.text(), "ortheo: warning: the font program " + reference +
                                  " 0 R decodes to more than 64 MB; its embedding flags and built-in encoding are "
                                  "not read\n");
}

TEST_F(FontFactsTest, MakesTheStandardType1FontsOnly) {
    auto times = host::standardType1Font("Times-Roman");
    ASSERT_TRUE(times);
    EXPECT_EQ(times->unparse(), "<< /BaseFont /Times-Roman /Encoding /WinAnsiEncoding /Subtype /Type1 /Type /Font >>");
    auto symbol = host::standardType1Font("ZapfDingbats");
    ASSERT_TRUE(symbol);
    EXPECT_FALSE(symbol->hasKey("/Encoding"));
    EXPECT_FALSE(host::standardType1Font("Arial"));
    EXPECT_FALSE(host::standardType1Font("times-roman"));
}

}  // namespace
}  // namespace ortheo
