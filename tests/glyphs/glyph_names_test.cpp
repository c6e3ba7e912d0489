// PDModel 122 and 123: the names the host gives a font's codes, checked
// against what the font's dictionary and program say when read by other
// means, and the rules for handing the tables back.
#include <array>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>

#include "core/errors.h"
#include "cos/cos_objects.h"
#include "glyphs/glyph_fonts.h"
#include "glyphs/truetype_sample.h"
#include "model/documents.h"
#include "model/encodings/encoding_tables.h"
#include "model/fonts.h"
#include "model/glyph_names.h"
#include "plugin/host_call.h"
#include "support/run_command.h"

namespace ortheo::testing {
namespace {

using Names = std::vector<std::string>;

// The /Encoding array of a Type 1 program, read from its clear-text part as
// qpdf decodes the stream ("dup 43 /plus put").
Names type1EncodingAsWritten(const std::string& fixture, int programObject) {
    const CommandResult shown = runCommand(
        {"/usr/bin/qpdf", "--show-object=" + std::to_string(programObject), "--filtered-stream-data", fixturePath(fixture)});
    const std::string clearText = shown.out.substr(0, shown.out.find("eexec"));
    Names names(256);
    const std::regex entry(R"(dup (\d+) ?/([^\s/]+) put)");
    for (auto match = std::sregex_iterator(clearText.begin(), clearText.end(), entry); match != std::sregex_iterator();
         ++match) {
        names.at(std::stoi((*match)[1])) = (*match)[2];
    }
    return names;
}

Names namesOfVector(const host::encodings::EncodingVector& vector) {
    Names names;
    for (const char* name : vector) names.emplace_back(name == nullptr ? "" : name);
    return names;
}

class GlyphNamesTest : public ::testing::Test {
protected:
    QPDFObjectHandle dictOf(host::Handle font) { return fonts_.host().fonts().font(font).dict; }
    Names namesOf(host::Handle font) {
        const auto names = glyphNamesOf(font);
        return names ? *names : Names{"(no table)"};
    }

    GlyphFonts fonts_;
};

TEST_F(GlyphNamesTest, PdfTexType1ProgramsNameTheirCodesAsTheirOwnEncodingSays) {
    for (const int object : {4, 5, 6, 7, 8, 9, 10, 11, 18}) {
        const host::Handle font = fonts_.fixtureFont("latex.pdf", object);
        const int program = dictOf(font).getKey("/FontDescriptor").getKey("/FontFile").getObjectID();
        const Names written = type1EncodingAsWritten("latex.pdf", program);
        ASSERT_GT(std::count_if(written.begin(), written.end(), [](const auto& name) { return !name.empty(); }), 0)
            << "object " << object;
        EXPECT_EQ(namesOf(font), written) << "font object " << object;
    }
}

TEST_F(GlyphNamesTest, AnEncodingByNameOverridesTheProgram) {
    // Ghostscript's Type1C subsets of groff-gs.pdf and cairo's Type 1 subsets say /WinAnsiEncoding.
    const Names winAnsi = namesOfVector(host::encodings::kWinAnsiEncoding);
    EXPECT_EQ(namesOf(fonts_.fixtureFont("groff-gs.pdf", 9)), winAnsi);
    EXPECT_EQ(namesOf(fonts_.fixtureFont("cairo.pdf", 7)), winAnsi);
    EXPECT_EQ(winAnsi[0x80], "Euro");
}

TEST_F(GlyphNamesTest, ACffProgramWithoutEncodingNamesTheGlyphsItWasMadeWith) {
    // Ghostscript embedded Times-Roman's glyphs at their WinAnsi codes, and
    // gave widths to exactly those codes; without /Encoding the program's own
    // encoding must name the same glyphs at the same codes.
    const host::Handle font = fonts_.fixtureFont("groff-gs.pdf", 9);
    QPDFObjectHandle dict = dictOf(font);
    dict.removeKey("/Encoding");
    const Names names = namesOf(font);
    const int firstChar = static_cast<int>(dict.getKey("/FirstChar").getIntValue());
    std::vector<QPDFObjectHandle> widths = dict.getKey("/Widths").getArrayAsVector();
    ASSERT_EQ(names.size(), 256u);
    for (int code = 0; code < 256; ++code) {
        const bool drawn = code >= firstChar && code - firstChar < static_cast<int>(widths.size()) &&
                           widths[code - firstChar].getNumericValue() != 0;
        const char* winAnsi = host::encodings::kWinAnsiEncoding[code];
        EXPECT_EQ(names[code], drawn ? winAnsi : "") << "code " << code;
    }
}

TEST_F(GlyphNamesTest, StandardFontsWithoutProgramUseTheirStandardEncodings) {
    const Names helvetica = namesOf(fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    EXPECT_EQ(helvetica, namesOfVector(host::encodings::kStandardEncoding));
    EXPECT_EQ(helvetica[0x27], "quoteright");

    EXPECT_EQ(namesOf(fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /Symbol >>"))[0x41], "Alpha");
    EXPECT_EQ(namesOf(fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Symbol >>"))[0x61], "alpha");
    EXPECT_EQ(namesOf(fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /ZapfDingbats >>"))[0x21], "a1");
    EXPECT_EQ(namesOf(fonts_.madeFont(
                  "<< /Type /Font /Subtype /Type1 /BaseFont /Symbol /Encoding /WinAnsiEncoding >>"))[0x41],
              "A");
}

TEST_F(GlyphNamesTest, DifferencesApplyOnTopOfTheBaseAsWritten) {
    const Names names = namesOf(fonts_.madeFont(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding << /BaseEncoding /MacRomanEncoding"
        " /Differences [ /before 65 /uni0041 /Bee 128 /.notdef 255 /last /beyond -3 /negative ] >> >>"));
    EXPECT_EQ(names[0x41], "uni0041");
    EXPECT_EQ(names[0x42], "Bee");
    EXPECT_EQ(names[0x43], "C") << "from MacRomanEncoding";
    EXPECT_EQ(names[0x81], "Aring") << "from MacRomanEncoding";
    EXPECT_EQ(names[0x80], "") << ".notdef names nothing";
    EXPECT_EQ(names[0xFF], "last");
    EXPECT_EQ(names[0x00], "") << "names before the first code, or outside 0 to 255, name nothing";

    const Names past = namesOf(fonts_.madeFont(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica"
        " /Encoding << /Differences [ 9223372036854775807 /largest /past 66 /Bee ] >> >>"));
    EXPECT_EQ(past[0x42], "Bee") << "the largest code counts on without overflowing";

    // Without /BaseEncoding a non-symbolic font starts from StandardEncoding, a symbolic one from nothing.
    const std::string differences = " /Encoding << /Differences [ 66 /Bee ] >> >>";
    const Names plain = namesOf(fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /Plain" + differences));
    EXPECT_EQ(plain[0x27], "quoteright");
    EXPECT_EQ(plain[0x42], "Bee");
    const Names symbolic = namesOf(fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /Signs /FontDescriptor"
                                                   " << /Flags 4 >>" + differences));
    EXPECT_EQ(symbolic[0x41], "");
    EXPECT_EQ(symbolic[0x42], "Bee");
}

TEST_F(GlyphNamesTest, Type3FontsNameOnlyTheirDifferencesAndType0FontsHaveNoTable) {
    const Names type3 = namesOf(fonts_.madeFont(
        "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 1 1] /FontMatrix [1 0 0 1 0 0] /CharProcs << >>"
        " /Encoding << /BaseEncoding /WinAnsiEncoding /Differences [ 65 /square /circle ] >> >>"));
    EXPECT_EQ(type3[0x41], "square");
    EXPECT_EQ(type3[0x42], "circle");
    EXPECT_EQ(type3[0x43], "");
    EXPECT_EQ(type3[0x20], "");

    const host::Handle type0 = fonts_.madeFont("<< /Type /Font /Subtype /Type0 /BaseFont /CID /Encoding /Identity-H >>");
    EXPECT_EQ(callHost<host::op::FontGlyphNames>(type0), nullptr);
}

TEST_F(GlyphNamesTest, TrueTypeProgramsNameCodesThroughTheirSymbolicOrMacintoshCmap) {
    const std::string dict = "<< /Type /Font /Subtype /TrueType /BaseFont /Sample >>";
    for (const SampleCmap cmap : {SampleCmap::WindowsSymbol, SampleCmap::MacintoshRoman}) {
        const Names names = namesOf(fonts_.madeFont(dict, 4, "/FontFile2", trueTypeWithNamedGlyphs(cmap)));
        EXPECT_EQ(names[0x41], "A");
        EXPECT_EQ(names[0x80], "Euro");
        EXPECT_EQ(names[0x93], "quotedblleft");
        EXPECT_EQ(names[0x42], "") << "no glyph for the code";
    }
    const Names named = namesOf(
        fonts_.madeFont("<< /Type /Font /Subtype /TrueType /BaseFont /Sample /Encoding /WinAnsiEncoding >>", 4,
                        "/FontFile2", trueTypeWithNamedGlyphs(SampleCmap::WindowsSymbol)));
    EXPECT_EQ(named[0x42], "B");
}

// The host reads a program once per document: what it keeps must serve
// every font that holds the program, whichever font asked first.
TEST_F(GlyphNamesTest, AProgramSharedWithAType0FontStillNamesTheSimpleFontsCodes) {
    const host::Handle simple = fonts_.madeFont("<< /Type /Font /Subtype /TrueType /BaseFont /Sample >>", 4,
                                                "/FontFile2", trueTypeWithNamedGlyphs(SampleCmap::WindowsSymbol));
    QPDF& pdf = *fonts_.host().documents().get(fonts_.madeDocument()).pdf;
    QPDFObjectHandle descendant = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /Sample >>"));
    descendant.replaceKey("/FontDescriptor", fonts_.host().fonts().font(simple).dict.getKey("/FontDescriptor"));
    QPDFObjectHandle type0 = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type0 /BaseFont /Sample /Encoding /Identity-H >>"));
    type0.replaceKey("/DescendantFonts", QPDFObjectHandle::newArray({descendant}));

    // The Type0 font's attributes first, as the plug-in asks for them.
    host::Object cosFont = fonts_.host().cos().wrap(fonts_.madeDocument(), type0);
    const host::Handle pageFont = callHost<host::op::FontCreateFromCos>(&cosFont);
    std::array<unsigned char, host::kFontAttrsSize> attributes{};
    callHost<host::op::FontGetAttrs>(pageFont, attributes.data(), static_cast<std::int32_t>(attributes.size()));
    callHost<host::op::ElementRelease>(pageFont);

    const Names names = namesOf(simple);
    EXPECT_EQ(names[0x41], "A");
    EXPECT_EQ(names[0x80], "Euro");
    EXPECT_EQ(names[0x93], "quotedblleft");
}

TEST_F(GlyphNamesTest, AProgramThatCannotBeReadGivesTheBaseOfAFontWithout) {
    const std::string dict = "<< /Type /Font /Subtype /Type1 /BaseFont /Broken >>";
    EXPECT_EQ(namesOf(fonts_.madeFont(dict, 32, "/FontFile", "not a font program")),
              namesOfVector(host::encodings::kStandardEncoding));
    EXPECT_EQ(namesOf(fonts_.madeFont(dict, 4, "/FontFile", "not a font program")), Names(256));
}

TEST_F(GlyphNamesTest, ATableIsHandedBackExactlyOnce) {
    host::GlyphNames& registry = fonts_.host().glyphNames();
    const host::Handle font = fonts_.madeFont("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    const char* const* table = callHost<host::op::FontGlyphNames>(font);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(registry.liveTables(), 1u);
    callHost<host::op::FontFreeGlyphNames>(table);
    EXPECT_EQ(registry.liveTables(), 0u);

    const char* const* another = callHost<host::op::FontGlyphNames>(font);
    EXPECT_THROW(callHost<host::op::FontFreeGlyphNames>(table), HostRaised) << "a second release, tables made since";
    const char* foreign[256] = {};
    EXPECT_THROW(callHost<host::op::FontFreeGlyphNames>(foreign), HostRaised);
    EXPECT_THROW(callHost<host::op::FontFreeGlyphNames>(another + 1), HostRaised);
    EXPECT_THROW(callHost<host::op::FontFreeGlyphNames>(nullptr), HostRaised);
    EXPECT_EQ(registry.liveTables(), 1u) << "a refused release frees nothing";
    callHost<host::op::FontFreeGlyphNames>(another);
}

TEST_F(GlyphNamesTest, ATableOutlivesItsDocumentAndAClosedDocumentsFontIsRefused) {
    const host::Handle font = fonts_.fixtureFont("groff-gs.pdf", 9);
    const host::Handle document = fonts_.host().fonts().font(font).document;
    const char* const* table = callHost<host::op::FontGlyphNames>(font);
    fonts_.host().documents().close(document);
    EXPECT_STREQ(table[0x41], "A");
    callHost<host::op::FontFreeGlyphNames>(table);
    EXPECT_THROW(callHost<host::op::FontGlyphNames>(font), HostRaised);
    EXPECT_THROW(callHost<host::op::FontGlyphNames>(host::Handle{0}), HostRaised);
}

}  // namespace
}  // namespace ortheo::testing
