// The font operations that describe a font (PDModel 118, 135; PDFEditWrite
// 34, 35; PDFEditRead 41, 43, 70, 120), called as the plug-in calls them.

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "support/raised.h"
#include "core/errors.h"
#include "cos/cos_objects.h"
#include "fonts/font_samples.h"
#include "fonts/host_fonts.h"
#include "model/documents.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Atom;
using host::Handle;
using testing::LoadedPlugin;

using AttributeRecord = std::array<unsigned char, host::kFontAttrsSize>;

template <class Value>
Value readAt(const AttributeRecord& record, std::size_t offset) {
    Value value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

template <class Value>
void writeAt(AttributeRecord& record, std::size_t offset, Value value) {
    std::memcpy(record.data() + offset, &value, sizeof value);
}

Atom atom(const char* text) { return callHost<host::op::AtomFromString>(text); }

// Expects `call` to raise `code`.
template <class Call>
void expectRaise(Call call, host::ErrorCode code) {
    EXPECT_EQ(testing::raisedCode(call), code) << testing::raisedText(call);
}

class FontOperationsTest : public ::testing::Test {
protected:
    // The page-content fonts of one page, by name.
    std::map<std::string, Handle> pageFontsOf(Handle document, std::int32_t index) {
        std::map<std::string, Handle> fonts;
        for (const Handle font : testing::enumeratedFonts(document, index)) {
            host::Object dict = callHost<host::op::FontCosObject>(font);
            fonts[testing::fontNameOf(font)] = callHost<host::op::FontCreateFromCos>(&dict);
        }
        return fonts;
    }

    // The record as PDFEditRead 41 leaves it over a record filled with 0xAB.
    AttributeRecord attributesOf(Handle pageFont) {
        AttributeRecord record;
        record.fill(0xAB);
        callHost<host::op::FontGetAttrs>(pageFont, record.data(), static_cast<std::int32_t>(record.size()));
        return record;
    }

    // The record of a font with these atoms; every other byte is still 0xAB.
    static AttributeRecord expectedRecord(Atom name, Atom type, Atom encoding, Atom cidType, std::int32_t protection) {
        AttributeRecord record;
        record.fill(0xAB);
        writeAt(record, host::kFontAttrsName, name);
        writeAt(record, host::kFontAttrsType, type);
        writeAt(record, host::kFontAttrsEncoding, encoding);
        writeAt(record, host::kFontAttrsCidType, cidType);
        writeAt(record, host::kFontAttrsProtection, protection);
        return record;
    }

    Handle makeReportFont(const char* name, const char* type = "Type1") {
        AttributeRecord record{};
        writeAt(record, host::kFontAttrsName, atom(name));
        writeAt(record, host::kFontAttrsType, atom(type));
        writeAt(record, host::kFontAttrsCharSet, host::kNullAtom);
        writeAt(record, host::kFontAttrsEncoding, atom("Identity-H"));
        return callHost<host::op::FontCreate>(record.data(), static_cast<std::int32_t>(record.size()), 0, 255, nullptr,
                                              nullptr, host::kNullAtom, host::kNoHandle, 0, 0, 0);
    }

    LoadedPlugin loaded_;
};

TEST_F(FontOperationsTest, AttributeRecordsOfTheSampleFontsByteForByte) {
    const auto sample = testing::writeFontSamplePdf(testing::temporaryPath("font-sample.pdf"));
    const Handle document = loaded_.host().documents().open(sample.path);
    auto fonts = pageFontsOf(document, 0);
    const std::string type3 = "Type3 font " + std::to_string(sample.type3Object) + " 0 R";

    EXPECT_EQ(attributesOf(fonts.at("CIDSample")),
              expectedRecord(atom("CIDSample"), atom("Type0"), atom("Identity-H"), atom("CIDFontType2"), 0x0002));
    EXPECT_EQ(attributesOf(fonts.at("Helvetica")),
              expectedRecord(atom("Helvetica"), atom("Type1"), atom("WinAnsiEncoding"), host::kNullAtom, 0));
    EXPECT_EQ(attributesOf(fonts.at("Courier")),  // inline, without /Encoding
              expectedRecord(atom("Courier"), atom("Type1"), host::kNullAtom, host::kNullAtom, 0));
    EXPECT_EQ(attributesOf(fonts.at(type3)),  // an encoding dictionary
              expectedRecord(atom(type3.c_str()), atom("Type3"), host::kNullAtom, host::kNullAtom, 0));

    EXPECT_EQ(callHost<host::op::FontIsMultiByte>(fonts.at("CIDSample")), 1);
    EXPECT_EQ(callHost<host::op::FontIsEmbedded>(fonts.at("CIDSample")), 1);
    EXPECT_EQ(callHost<host::op::FontIsMultiByte>(fonts.at("Helvetica")), 0);
    EXPECT_EQ(callHost<host::op::FontIsEmbedded>(fonts.at("Helvetica")), 0);
    EXPECT_EQ(callHost<host::op::FontIsEmbedded>(fonts.at(type3)), 1);
}

// pdffonts says "WinAnsi" for /WinAnsiEncoding, and "Builtin" or "Custom"
// where the host gives the null atom.
TEST_F(FontOperationsTest, EncodingAndEmbeddingOfRealProducersFontsAgreeWithPdffonts) {
    for (const char* fixture : {"latex.pdf", "groff-gs.pdf", "cairo.pdf"}) {
        const std::string path = std::string(ORTHEO_FIXTURES) + "/" + fixture;
        const Handle document = loaded_.host().documents().open(path);
        for (int page = 1; page <= 2; ++page) {
            const auto fonts = pageFontsOf(document, page - 1);
            for (const auto& listed : testing::pdffontsOfPage(path, page)) {
                SCOPED_TRACE(std::string(fixture) + " " + listed.name);
                const Handle font = fonts.at(listed.name);
                const Atom encoding = readAt<Atom>(attributesOf(font), host::kFontAttrsEncoding);
                if (listed.encoding == "Builtin" || listed.encoding == "Custom") {
                    EXPECT_EQ(encoding, host::kNullAtom);
                } else {
                    EXPECT_EQ(encoding, atom((listed.encoding + "Encoding").c_str()));
                }
                EXPECT_EQ(callHost<host::op::FontIsEmbedded>(font), listed.embedded ? 1 : 0);
            }
        }
    }
}

TEST_F(FontOperationsTest, FontNameIsCutToTheBufferAndAlwaysTerminated) {
    const Handle document = loaded_.host().documents().open(std::string(ORTHEO_FIXTURES) + "/groff-gs.pdf");
    Handle font = host::kNoHandle;
    for (const Handle each : testing::enumeratedFonts(document, 0)) {
        if (testing::fontNameOf(each) == "CZIKZN+Helvetica") font = each;
    }
    std::array<char, 8> buffer;
    buffer.fill('#');
    EXPECT_EQ(callHost<host::op::FontName>(font, buffer.data(), 5), 4);
    EXPECT_EQ(std::string(buffer.data(), 6), std::string("CZIK\0#", 6));
    EXPECT_EQ(callHost<host::op::FontName>(font, buffer.data(), 1), 0);
    EXPECT_EQ(buffer[0], '\0');
    expectRaise([&] { callHost<host::op::FontName>(font, buffer.data(), 0); }, host::kErrBadArgument);
    expectRaise([&] { callHost<host::op::FontName>(font, nullptr, 256); }, host::kErrBadArgument);
    expectRaise([&] { callHost<host::op::FontName>(testing::staleHandle(font), buffer.data(), 8); }, host::kErrBadHandle);
}

TEST_F(FontOperationsTest, ReportFontsAreStandardType1FontsOutsideAnyDocument) {
    const Handle times = makeReportFont("Times-Roman");
    // Identity-H is a CMap of Type0 fonts; report text is set in WinAnsiEncoding.
    EXPECT_EQ(attributesOf(times),
              expectedRecord(atom("Times-Roman"), atom("Type1"), atom("WinAnsiEncoding"), host::kNullAtom, 0));
    host::Object dict{1, 1};
    callHost<host::op::FontGetCosObject>(times, &dict);
    EXPECT_EQ(dict, host::Object{});
    EXPECT_EQ(callHost<host::op::FontIsEmbedded>(times), 0);
    EXPECT_EQ(callHost<host::op::FontIsMultiByte>(times), 0);

    const Handle bold = makeReportFont("Helvetica-Bold");
    EXPECT_NE(bold, times);
    EXPECT_EQ(readAt<Atom>(attributesOf(bold), host::kFontAttrsName), atom("Helvetica-Bold"));

    expectRaise([&] { makeReportFont("Arial"); }, host::kErrNotImplemented);
    expectRaise([&] { makeReportFont("Times-Roman", "TrueType"); }, host::kErrNotImplemented);
    AttributeRecord record{};
    expectRaise([&] { callHost<host::op::FontCreate>(record.data(), 40, 0, 255, nullptr, nullptr, host::kNullAtom,
                                                      host::kNoHandle, 0, 0, 0); },
                host::kErrBadArgument);
    expectRaise([&] { callHost<host::op::FontCreate>(record.data(), 84, 0, 256, nullptr, nullptr, host::kNullAtom,
                                                      host::kNoHandle, 0, 0, 0); },
                host::kErrBadArgument);
    expectRaise([&] { callHost<host::op::FontGetAttrs>(times, record.data(), 83); }, host::kErrBadArgument);
    expectRaise([&] { callHost<host::op::FontGetCosObject>(times, nullptr); }, host::kErrBadArgument);
}

TEST_F(FontOperationsTest, PageContentFontsAreMadeOnlyFromFontDictionaries) {
    const auto sample = testing::writeToUnicodePdf(testing::temporaryPath("tounicode.pdf"), testing::sampleCMap(100));
    const Handle document = loaded_.host().documents().open(sample.path);
    const Handle font = testing::enumeratedFonts(document, 0).at(0);
    host::Object dict = callHost<host::op::FontCosObject>(font);
    const Handle pageFont = callHost<host::op::FontCreateFromCos>(&dict);
    host::Object fromPageFont{};
    callHost<host::op::FontGetCosObject>(pageFont, &fromPageFont);
    EXPECT_EQ(callHost<host::op::CosEqual>(fromPageFont, dict), 1);

    host::Object toUnicode = callHost<host::op::CosDictGet>(dict, atom("ToUnicode"));
    expectRaise([&] { callHost<host::op::FontCreateFromCos>(&toUnicode); }, host::kErrBadArgument);
    host::Object null{};
    expectRaise([&] { callHost<host::op::FontCreateFromCos>(&null); }, host::kErrBadArgument);
    expectRaise([&] { callHost<host::op::FontCreateFromCos>(nullptr); }, host::kErrBadArgument);

    loaded_.host().documents().close(document);
    expectRaise([&] { callHost<host::op::FontIsEmbedded>(pageFont); }, host::kErrBadHandle);
}

}  // namespace
}  // namespace ortheo
