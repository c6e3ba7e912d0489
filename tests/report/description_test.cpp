// The two description lines of a font, byte for byte as the report shows
// them, and what happens when the host fails while they are written.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/call_log.h"
#include "fonts/font_samples.h"
#include "report_run.h"
#include "support/report_reader.h"
#include "support/sample_pdf.h"
#include "view/viewer.h"

namespace ortheo::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr const char* kType0Font =
    "<< /Type /Font /Subtype /Type0 /BaseFont /Ming /Encoding /Identity-H /DescendantFonts [ << /Type /Font "
    "/Subtype /CIDFontType2 /BaseFont /Ming /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) "
    "/Supplement 0 >> /FontDescriptor << /Type /FontDescriptor /FontName /Ming /Flags 4 >> >> ] >>";

// The description lines (the strings in the report font) of a page.
Lines descriptionOf(const std::string& report, int page = 0) {
    Lines lines;
    for (const ShownString& shown : shownStrings(report, page)) {
        if (shown.text.rfind("Font Name: ", 0) == 0 || shown.text.rfind("Type: ", 0) == 0) lines.push_back(shown.text);
    }
    return lines;
}

Lines describe(const std::string& font, const std::string& name) {
    ReportRun run(writeFontsPdf(temporaryPath(name + ".pdf"), {{font}}));
    return descriptionOf(run.build(name + "-report.pdf"));
}

TEST(FontDescription, APlainFontWithoutEncodingIsCustom) {
    EXPECT_EQ(describe(simpleFont("Helvetica"), "plain"), (Lines{"Font Name: Helvetica ", "Type: Type1  Encoding: Custom"}));
}

TEST(FontDescription, NamesTheEncoding) {
    EXPECT_EQ(describe(simpleFont("Helvetica", "/Encoding /WinAnsiEncoding"), "winansi"),
              (Lines{"Font Name: Helvetica ", "Type: Type1  Encoding: WinAnsiEncoding"}));
}

TEST(FontDescription, AMultiByteFontShowsItsCidType) {
    EXPECT_EQ(describe(kType0Font, "type0"),
              (Lines{"Font Name: Ming  (multibyte)", "Type: Type0  CIDType: CIDFontType2 Encoding: Identity-H"}));
}

TEST(FontDescription, AnEmbeddedFontOfARealProducer) {
    ReportRun run(ORTHEO_FIXTURES "/latex.pdf");
    EXPECT_EQ(descriptionOf(run.build("latex-description.pdf")),
              (Lines{"Font Name: LBWBDW+CMEX10  (embedded)", "Type: Type1  Encoding: Custom"}));
}

TEST(FontDescription, AnEmbeddedMultiByteFontProtectedFromEmbedding) {
    ReportRun run(writeFontSamplePdf(temporaryPath("samples.pdf")).path);
    const std::string report = run.build("samples-report.pdf");
    const Lines outline = outlineLines(report);
    const auto entry = std::find(outline.begin(), outline.end(), "  4 CIDSample -> page 4");
    ASSERT_NE(entry, outline.end()) << "the Type0 font is the fourth met";
    EXPECT_EQ(descriptionOf(report, 3), (Lines{"Font Name: CIDSample  (embedded) (multibyte)",
                                               "Type: Type0  CIDType: CIDFontType2 Encoding: Identity-Hprotected "
                                               "from embedding"}));
}

TEST(FontDescription, ALongNameIsCutAt99Characters) {
    const std::string name(120, 'N');
    const Lines lines = describe(simpleFont(name, "/Encoding /WinAnsiEncoding"), "long-name");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Font Name: " + name.substr(0, 88)) << "99 characters, no room for the trailing space";
}

TEST(FontDescription, AFailedAttributeRecordLeavesOnlyTheFirstLine) {
    ReportRun run(writeFontsPdf(temporaryPath("no-attrs.pdf"), {{simpleFont("Helvetica")}}));
    run.failEveryCall(host::TableId::PDFEditRead, 41);
    EXPECT_EQ(descriptionOf(run.build("no-attrs-report.pdf")), (Lines{"Font Name: Helvetica "}));
    EXPECT_TRUE(run.host().viewer().alerts().empty()) << "the failure is dropped, not shown";
}

TEST(PageWriters, AFailureIsAlertedOnceAndTheReportGoesOn) {
    ReportRun run(writeFontsPdf(temporaryPath("two-fonts.pdf"), {{simpleFont("First"), simpleFont("Second")}}));
    run.host().calls().injectFault(host::TableId::PDFEditWrite, 14, 1);
    const std::string report = run.build("failed-page-report.pdf");

    EXPECT_EQ(run.host().viewer().alerts(), (Lines{"Injected fault in PDFEditWrite 14"}));
    ASSERT_EQ(pageCount(report), 2) << "the failed page stays, the next font gets its own";
    EXPECT_EQ(descriptionOf(report), Lines{}) << "the failed page has no content";
    EXPECT_EQ(outlineLines(report), (Lines{"Fonts by names", "  1 First -> page 1", "  2 Second -> page 2",
                                           "Fonts by pages", "  Page 1/1", "    0 First -> page 1",
                                           "    1 Second -> page 2"}));
}

}  // namespace
}  // namespace ortheo::testing
