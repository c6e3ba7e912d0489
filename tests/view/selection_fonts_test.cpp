// What the plug-in is told of a selection's fonts: each piece while the
// budget lasts, then each font not told yet, once, with one warning; and
// which pages share one walk of their content.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "support/stderr_capture.h"
#include "view/selection_fonts.h"
#include "view/text_selection.h"

namespace ortheo {
namespace {

std::vector<host::Handle> told(const std::vector<const host::HandleRuns*>& pages, std::size_t budget,
                               std::size_t stopAfter = SIZE_MAX) {
    std::vector<host::Handle> fonts;
    host::tellSelectionFonts(
        pages, [&](host::Handle font) { fonts.push_back(font); return fonts.size() < stopAfter; }, budget);
    return fonts;
}

using Fonts = std::vector<host::Handle>;

TEST(SelectionFonts, PastTheBudgetEachFurtherFontIsToldOnceWithOneWarning) {
    const host::HandleRuns shared{{1, 2}, {2, 1}};
    const host::HandleRuns other{{2, 1}, {3, 2}, {1, 1}};
    testing::StderrCapture stderrText;
    EXPECT_EQ(told({&shared, &other}, 10), (Fonts{1, 1, 2, 2, 3, 3, 1})) << "within the budget";
    EXPECT_EQ(stderrText.text(), "");

    EXPECT_EQ(told({&shared, &shared, &other, &shared}, 3), (Fonts{1, 1, 2, 3}))
        << "the budget ends at the end of a page whose runs later pages share";
    EXPECT_EQ(told({&shared, &other, &shared}, 4), (Fonts{1, 1, 2, 2, 3}));
    EXPECT_EQ(stderrText.text(),
              "ortheo: warning: the selected text holds 13 pieces; past the first 3 the plug-in was told of each "
              "further font once, not of every piece\n"
              "ortheo: warning: the selected text holds 10 pieces; past the first 4 the plug-in was told of each "
              "further font once, not of every piece\n");

    EXPECT_EQ(told({&shared, &other}, 10, 2), (Fonts{1, 1})) << "the plug-in stops the enumeration";
}

// Two pages draw one content stream with one set of resources, a third the
// same stream with resources that read alike, a fourth with other fonts
// under the same names: only the fourth is walked again.
TEST(SelectionFonts, PagesShareAWalkOnlyWhenTheirContentAndResourcesReadAlike) {
    QPDF pdf;
    pdf.emptyPDF();
    auto font = [&](const std::string& name) {
        return pdf.makeIndirectObject(
                      QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " >>"))
            .unparse();
    };
    const std::string alpha = font("Alpha");
    const std::string beta = font("Beta");
    QPDFObjectHandle content = QPDFObjectHandle::newStream(&pdf, "BT /F1 9 Tf (a) Tj (b) Tj /F2 9 Tf (c) Tj ET");
    QPDFObjectHandle shared = pdf.makeIndirectObject(
        QPDFObjectHandle::parse(&pdf, "<< /Font << /F1 " + alpha + " /F2 " + beta + " >> >>"));
    const std::vector<std::string> resources = {shared.unparse(), shared.unparse(),
                                                "<< /Font << /F1 " + alpha + " /F2 " + beta + " >> >>",
                                                "<< /Font << /F1 " + beta + " /F2 " + alpha + " >> >>"};
    for (const std::string& own : resources) {
        QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            &pdf, "<< /Type /Page /MediaBox [0 0 612 792] /Resources " + own + " >>"));
        page.replaceKey("/Contents", content);
        QPDFPageDocumentHelper(pdf).addPage(page, false);
    }

    const auto pages = host::findSelectionFonts(pdf, {{0, 3}}, std::nullopt);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0], pages[1]);
    EXPECT_EQ(pages[0], pages[2]);
    EXPECT_NE(pages[0], pages[3]);
    auto names = [](const host::FontRuns& runs) {
        std::string text;
        for (host::FontRun run : runs) {
            text += run.font.getKey("/BaseFont").getName() + "x" + std::to_string(run.pieces) + " ";
        }
        return text;
    };
    EXPECT_EQ(names(*pages[0]), "/Alphax2 /Betax1 ");
    EXPECT_EQ(names(*pages[3]), "/Betax2 /Alphax1 ");
}

}  // namespace
}  // namespace ortheo
