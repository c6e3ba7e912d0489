// Multi-byte (Type0) fonts in the report: their glyph samples are drawn with
// whole codes, on the ToUnicode page and in the chart. Read back from the
// content stream, and seen as poppler renders them.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "rendered_page.h"
#include "report_run.h"
#include "support/report_reader.h"
#include "support/sample_pdf.h"
#include "type0_pdf.h"

namespace ortheo::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr const char* kWholeCodes =
    "1 begincodespacerange <0000> <FFFF> endcodespacerange\n"
    "3 beginbfchar <0102> <0042> <0000> <0020> <4E00> <4E00> endbfchar\n"
    "2 beginbfrange <0020> <0022> <0041> <0050> <0040> <0061> endbfrange\n";

// The strings a page draws in the analysed font: all but those in the
// report font, which draws the page's first string.
Strings samplesOn(const std::string& report, int page) {
    const auto shown = shownStrings(report, page);
    Strings samples;
    for (const ShownString& text : shown) {
        if (text.font != shown.front().font) samples.push_back(text.text);
    }
    return samples;
}

std::string reportOf(const Type0Font& font, const std::string& name) {
    ReportRun run(writeType0Pdf(temporaryPath(name + ".pdf"), font));
    return run.build(name + "-report.pdf");
}

std::string bytes(std::initializer_list<int> values) {
    std::string made;
    for (int value : values) made += static_cast<char>(value);
    return made;
}

TEST(MultiByteToUnicodeSamples, AreWholeCodesOfTheirCodeSpaceRange) {
    // Both ends of a range are sampled; a range whose last code is below its
    // first gets its first sample only.
    const Strings expected{bytes({1, 2}), bytes({0, 0}), bytes({0x4E, 0}), bytes({0, 0x20}), bytes({0, 0x22}),
                           bytes({0, 0x50})};
    EXPECT_EQ(samplesOn(reportOf({.toUnicode = kWholeCodes}, "whole-codes"), 1), expected);
    EXPECT_EQ(samplesOn(reportOf({.encoding = "Identity-V", .toUnicode = kWholeCodes}, "identity-v"), 1), expected);
    EXPECT_EQ(samplesOn(reportOf({.toUnicode = kWholeCodes, .withDescendant = false}, "no-descendant"), 1), expected)
        << "a Type0 font without a descendant is still multi-byte";
}

TEST(MultiByteToUnicodeSamples, AreTwoBytesOrAsManyAsAWiderRangeContainingThemHas) {
    struct Case {
        const char* name;
        const char* cmap;
        Strings samples;
    };
    const Case cases[] = {
        {"no-ranges", "2 beginbfchar <41> <0041> <0102> <0042> endbfchar", {bytes({0, 0x41}), bytes({1, 2})}},
        {"one-byte-range",
         "1 begincodespacerange <00> <FF> endcodespacerange 2 beginbfchar <41> <0041> <0102> <0042> endbfchar",
         {bytes({0, 0x41}), bytes({1, 2})}},
        {"two-byte-range-below-0x100",
         "1 begincodespacerange <0000> <00FF> endcodespacerange 1 beginbfrange <0020> <007E> <0020> endbfrange",
         {bytes({0, 0x20}), bytes({0, 0x7E})}},
        {"mixed-widths",
         "2 begincodespacerange <00> <80> <8140> <9FFC> endcodespacerange\n"
         "3 beginbfchar <41> <0041> <8140> <3000> <A0> <00A0> endbfchar",
         {bytes({0, 0x41}), bytes({0x81, 0x40}), bytes({0, 0xA0})}},
        {"four-bytes",
         "1 begincodespacerange <00000000> <FFFFFFFF> endcodespacerange 1 beginbfchar <00010203> <0041> endbfchar",
         {bytes({0, 1, 2, 3})}},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(samplesOn(reportOf({.toUnicode = test.cmap}, test.name), 1), test.samples) << test.name;
    }
}

TEST(MultiByteCodeChart, DrawsTheTwoByteCodeOfEachCellButTheFirst) {
    const std::string report = reportOf({}, "no-tounicode");
    EXPECT_EQ(pageCount(report), 1) << "a Type0 font without ToUnicode has its description page only";
    Strings expected;
    for (int code = 1; code < 256; ++code) expected.push_back(bytes({0, code}));
    EXPECT_EQ(samplesOn(report, 0), expected) << "cell 00 draws no glyph, as in every font";
    const auto shown = shownStrings(report, 0);
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [](const ShownString& text) { return text.text == "41"; }), 1)
        << "the labels stay one-byte codes";
}

// A real producer's font: cairo's subset of a Japanese TrueType font, its
// glyphs CIDs 1 to 27.
constexpr int kSubsetGlyphs = 27;

// Areas 1 to 27 must each show a glyph of its own: none blank, no two alike
// (so none is the missing glyph, which they would all share).
void expectGlyphsOfTheirOwn(const std::function<Pixels(int)>& area, const std::string& what) {
    std::set<Pixels> glyphs;
    for (int index = 1; index <= kSubsetGlyphs; ++index) {
        EXPECT_FALSE(isBlank(area(index))) << what << " " << index;
        glyphs.insert(area(index));
    }
    EXPECT_EQ(glyphs.size(), static_cast<std::size_t>(kSubsetGlyphs)) << "each " << what << " shows a glyph of its own";
}

TEST(MultiByteRendering, TheChartShowsTheFontsGlyphs) {
    ReportRun run(ORTHEO_FIXTURES "/cairo-cjk.pdf");
    const RenderedPage page(run.build("cjk-chart.pdf"), 0);
    // Glyph boxes stand 36 points into cells 67 points apart from x = 30,
    // rows 64 points apart from y = 70; they are 24 by 32 points.
    const auto box = [&](int code) { return page.area(30 + 67 * (code % 16) + 36, 70 + 64 * (code / 16), 24, 32); };
    EXPECT_TRUE(isBlank(box(0))) << "cell 00 draws nothing, not the missing glyph";
    expectGlyphsOfTheirOwn(box, "cell");
    EXPECT_EQ(page.complaints(), "");
}

TEST(MultiByteRendering, EveryMappingOnTheToUnicodePageShowsItsGlyph) {
    // cairo writes the code space <0000> <ffff>; written <0000> <00FF>, it
    // holds the same two-byte codes 0x0000 to 0x001B.
    for (const char* codeSpace : {"<0000> <ffff>", "<0000> <00FF>"}) {
        SCOPED_TRACE(codeSpace);
        const std::string input = withToUnicodeEdited(ORTHEO_FIXTURES "/cairo-cjk.pdf", temporaryPath("cjk-missing.pdf"),
                                                      {.firstEntry = "<0000> <0020>", .codeSpace = codeSpace});
        ReportRun run(input);
        const std::string report = run.build("cjk-tounicode.pdf");
        ASSERT_EQ(samplesOn(report, 1).size(), 1u + kSubsetGlyphs);
        const RenderedPage page(report, 1);
        // The mappings stand four to a row from y = 95, rows 20 points apart,
        // columns 275 points apart; a sample is 180 points in, 12 by 15 points.
        const auto sample = [&](int index) {
            return page.area(30 + 275 * (index % 4) + 180, 95 + 20 * (index / 4), 12, 18);
        };
        const Pixels missing = sample(0);
        EXPECT_FALSE(isBlank(missing)) << "code 0x0000 draws the missing glyph";
        expectGlyphsOfTheirOwn(sample, "mapping");
        for (int index = 1; index <= kSubsetGlyphs; ++index) EXPECT_TRUE(sample(index) != missing) << "mapping " << index;
        EXPECT_EQ(page.complaints(), "");
    }
}

}  // namespace
}  // namespace ortheo::testing
