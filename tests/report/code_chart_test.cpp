// The code chart on a description page, read back from the page's content
// stream: where its cells, boxes and texts stand, and what they say.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/call_log.h"
#include "fonts/font_samples.h"
#include "rendered_page.h"
#include "report_run.h"
#include "support/report_reader.h"
#include "support/sample_pdf.h"

namespace ortheo::testing {
namespace {

constexpr int kPage = 1100;

std::string helveticaReport(const std::string& name, bool failAttributes = false) {
    ReportRun run(writeFontsPdf(temporaryPath(name + ".pdf"), {{simpleFont("Helvetica", "/Encoding /WinAnsiEncoding")}}));
    if (failAttributes) run.failEveryCall(host::TableId::PDFEditRead, 41);
    return run.build(name + "-report.pdf");
}

std::vector<StrokedRectangle> withLineWidth(const std::vector<StrokedRectangle>& all, double width) {
    std::vector<StrokedRectangle> chosen;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chosen),
                 [&](const StrokedRectangle& rectangle) { return rectangle.lineWidth == width; });
    return chosen;
}

// The strings drawn in the cell of `code` whose top-left corner is (x, y).
std::vector<ShownString> cellTexts(const std::vector<ShownString>& shown, double x, double y, double cellHeight) {
    std::vector<ShownString> inCell;
    for (const ShownString& text : shown) {
        const bool inside = text.x >= x && text.x < x + 62 && text.y <= kPage - y && text.y > kPage - y - cellHeight;
        if (inside) inCell.push_back(text);
    }
    return inCell;
}

TEST(CodeChart, SixteenRowsOfSixteenFramedCellsBelowACompleteDescription) {
    const std::string report = helveticaReport("chart-geometry");
    const auto rectangles = strokedRectangles(report, 0);
    const auto frames = withLineWidth(rectangles, 0.5);
    const auto boxes = withLineWidth(rectangles, 1);
    ASSERT_EQ(frames.size(), 256u);
    ASSERT_EQ(boxes.size(), 256u);
    for (int code = 0; code < 256; ++code) {
        const double x = 30 + 67 * (code % 16);
        const double y = 70 + 64 * (code / 16);
        EXPECT_EQ(frames[code], (StrokedRectangle{x, kPage - y, 62, -59, 0.5})) << "cell " << code;
        EXPECT_EQ(boxes[code], (StrokedRectangle{x + 36, kPage - y, 24, -32, 1})) << "glyph box " << code;
    }
}

TEST(CodeChart, EachCellShowsItsCodeGlyphTranslationAndName) {
    const std::string report = helveticaReport("chart-cells");
    const auto shown = shownStrings(report, 0);
    // Cell 0x41 stands in row 4, column 1; 0x80 in row 8, column 0.
    const auto a = cellTexts(shown, 30 + 67, 70 + 64 * 4, 59);
    ASSERT_EQ(a.size(), 3u) << "label, glyph, name: 'A' translates to itself";
    EXPECT_EQ(a[0].text, "41");
    EXPECT_EQ(a[0].x, 30 + 67 + 2);
    EXPECT_EQ(a[0].y, kPage - (70 + 64 * 4) - 16);
    EXPECT_EQ(a[1].text, "A");
    EXPECT_EQ(a[1].x, 30 + 67 + 36);
    EXPECT_EQ(a[1].y, kPage - (70 + 64 * 4) - 32);
    EXPECT_EQ(a[2].text, "A");
    EXPECT_EQ(a[2].y, kPage - (70 + 64 * 4) - 42 - 16);

    const auto euro = cellTexts(shown, 30, 70 + 64 * 8, 59);
    ASSERT_EQ(euro.size(), 4u);
    EXPECT_EQ(euro[2].text, "->A0") << "WinAnsi's Euro is PDFDocEncoding's 0xA0";
    EXPECT_EQ(euro[2].y, kPage - (70 + 64 * 8) - 21 - 16);
    EXPECT_EQ(euro[3].text, "Euro");

    const auto space = cellTexts(shown, 30, 70 + 64 * 2, 59);
    ASSERT_EQ(space.size(), 3u) << "a space translates to nothing to show";
    EXPECT_EQ(space[2].text, "space");

    const auto zero = cellTexts(shown, 30, 70, 59);
    ASSERT_EQ(zero.size(), 2u) << "code 0x00 draws no glyph, only its box";
    EXPECT_EQ(zero[0].text, "00");
    EXPECT_EQ(zero[1].text, " ") << "a code without a name shows a single space";
}

TEST(CodeChart, AFailedAttributeRecordGivesOneDescriptionLineAndTallerCells) {
    const std::string report = helveticaReport("chart-one-line", true);
    const auto frames = withLineWidth(strokedRectangles(report, 0), 0.5);
    ASSERT_EQ(frames.size(), 256u);
    EXPECT_EQ(frames[0], (StrokedRectangle{30, kPage - 50, 62, -60, 0.5}));
    EXPECT_EQ(frames[255], (StrokedRectangle{30 + 67 * 15, kPage - (50 + 65 * 15), 62, -60, 0.5}));
    const auto shown = shownStrings(report, 0);
    const auto label = std::find_if(shown.begin(), shown.end(), [](const ShownString& text) { return text.text == "00"; });
    ASSERT_NE(label, shown.end());
    EXPECT_EQ(label->y, kPage - 50 - 16) << "the chart text is still 16 high";
    EXPECT_EQ(shown.front().text, "Font Name: Helvetica ");
}

TEST(CodeChart, AType3FontDrawsOnlyTheCodesItHasGlyphProceduresFor) {
    ReportRun run(writeFontSamplePdf(temporaryPath("type3.pdf")).path);
    const std::string report = run.build("type3-report.pdf");
    const auto describesType3 = [&](int page) {
        const auto shown = shownStrings(report, page);
        return !shown.empty() && shown.front().text.rfind("Font Name: Type3 font", 0) == 0;
    };
    int page = 0;
    while (page < pageCount(report) && !describesType3(page)) ++page;
    ASSERT_LT(page, pageCount(report));

    const auto shown = shownStrings(report, page);
    std::vector<std::string> glyphs;
    for (const ShownString& text : shown) {
        if (text.font != shown.front().font) glyphs.push_back(text.text);
    }
    EXPECT_EQ(glyphs, std::vector<std::string>{"A"}) << "only code 0x41 (/a) has a procedure";
    EXPECT_EQ(withLineWidth(strokedRectangles(report, page), 1).size(), 256u) << "every cell keeps its glyph box";
    const auto a = cellTexts(shown, 30 + 67, 70 + 64 * 4, 59);
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[3].text, "a");

    EXPECT_EQ(RenderedPage(report, page).complaints(), "") << "a viewer finds a procedure for every glyph drawn";
}

}  // namespace
}  // namespace ortheo::testing
