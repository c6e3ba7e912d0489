// The report's outline and pages, built from generated and real PDFs and
// read back with independent readers.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/call_log.h"
#include "report/report_state.h"
#include "report_run.h"
#include "support/report_reader.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"
#include "view/viewer.h"

namespace ortheo::testing {
namespace {

using Lines = std::vector<std::string>;

std::string firstString(const std::string& report, int page) {
    const auto shown = shownStrings(report, page);
    return shown.empty() ? "" : shown.front().text;
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Page 1 uses Alpha and Beta, page 2 the same Beta and Gamma.
std::string alphaBetaGamma() {
    return writeFontsPdf(temporaryPath("abg.pdf"),
                         {{simpleFont("Alpha"), simpleFont("Beta")}, {"@1", simpleFont("Gamma")}});
}

TEST(ReportOutline, ListsFontsByNamesAndByPages) {
    ReportRun run(alphaBetaGamma());
    const std::string report = run.build("abg-report.pdf");

    EXPECT_EQ(outlineLines(report), (Lines{
                                        "Fonts by names",
                                        "  1 Alpha -> page 1",
                                        "  2 Beta -> page 2",
                                        "  3 Gamma -> page 3",
                                        "Fonts by pages",
                                        "  Page 1/2",
                                        "    0 Alpha -> page 1",
                                        "    1 Beta -> page 2",
                                        "  Page 2/2",
                                        "    0 Beta -> page 2",
                                        "    1 Gamma -> page 3",
                                    }));
    ASSERT_EQ(pageCount(report), 3);
    EXPECT_EQ(firstString(report, 0), "Font Name: Alpha ");
    EXPECT_EQ(firstString(report, 1), "Font Name: Beta ");
    EXPECT_EQ(firstString(report, 2), "Font Name: Gamma ");
}

// The outline as pdfminer reads it, with each destination's view.
Lines outlineDestinations(const std::string& report) {
    const auto read = runCommand({"/usr/bin/python3", ORTHEO_TESTS "/report/outline_destinations.py", report});
    EXPECT_EQ(read.exitStatus, 0) << read.err;
    Lines lines;
    std::istringstream text(read.out);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

TEST(ReportOutline, EveryEntryShowsTheTopOfItsPageAtTheCurrentZoom) {
    ReportRun run(alphaBetaGamma());
    EXPECT_EQ(outlineDestinations(run.build("abg-destinations.pdf")), (Lines{
                                                                          "Fonts by names",
                                                                          "  1 Alpha -> page 1 /XYZ 0 1100 null",
                                                                          "  2 Beta -> page 2 /XYZ 0 1100 null",
                                                                          "  3 Gamma -> page 3 /XYZ 0 1100 null",
                                                                          "Fonts by pages",
                                                                          "  Page 1/2",
                                                                          "    0 Alpha -> page 1 /XYZ 0 1100 null",
                                                                          "    1 Beta -> page 2 /XYZ 0 1100 null",
                                                                          "  Page 2/2",
                                                                          "    0 Beta -> page 2 /XYZ 0 1100 null",
                                                                          "    1 Gamma -> page 3 /XYZ 0 1100 null",
                                                                      }));
}

TEST(ReportOutline, AFontWhosePageFailedIsReachedAlikeFromBothBranches) {
    ReportRun run(writeFontsPdf(temporaryPath("failing.pdf"), {{simpleFont("First"), simpleFont("Second")}, {"@0"}}));
    run.host().calls().injectFault(host::TableId::PDFEditWrite, 14, 1);
    const std::string report = run.build("failing-report.pdf");
    ASSERT_EQ(run.host().viewer().alerts().size(), 1u);
    EXPECT_EQ(outlineDestinations(report), (Lines{
                                               "Fonts by names",
                                               "  1 First -> page 1 /XYZ 0 1100 null",
                                               "  2 Second -> page 2 /XYZ 0 1100 null",
                                               "Fonts by pages",
                                               "  Page 1/2",
                                               "    0 First -> page 1 /XYZ 0 1100 null",
                                               "    1 Second -> page 2 /XYZ 0 1100 null",
                                               "  Page 2/2",
                                               "    0 First -> page 1 /XYZ 0 1100 null",
                                           }))
        << "the page the failed writer made stays, and every entry of its font leads there";
}

TEST(ReportOutline, TwoFontObjectsOfOneNameShareOneDescriptionPage) {
    ReportRun run(writeFontsPdf(temporaryPath("twins.pdf"), {{simpleFont("Twin"), simpleFont("Twin")}, {}}));
    const std::string report = run.build("twins-report.pdf");
    EXPECT_EQ(outlineLines(report), (Lines{
                                        "Fonts by names",
                                        "  1 Twin -> page 1",
                                        "Fonts by pages",
                                        "  Page 1/2",
                                        "    0 Twin -> page 1",
                                        "    1 Twin -> page 1",
                                        "  Page 2/2",
                                    }));
    EXPECT_EQ(pageCount(report), 1);
}

TEST(ReportOutline, ATextSelectionReportsOnlyItsFontsByNames) {
    ReportRun run(alphaBetaGamma());
    run.host().viewer().selectText(run.view(), {{1, 1}});
    const std::string report = run.build("selection-report.pdf");
    EXPECT_EQ(outlineLines(report), (Lines{"Fonts by names", "  1 Beta -> page 1", "  2 Gamma -> page 2"}));
}

TEST(ReportOutline, ASelectionOfAnotherKindGivesTheFullReport) {
    ReportRun run(alphaBetaGamma());
    run.host().viewer().selectOther(run.view(), "Annotation");
    const std::string report = run.build("other-selection-report.pdf");
    EXPECT_EQ(outlineLines(report).size(), 11u);
}

// The budget of "Fonts by pages", lowered to 3 entries: page 1 lists both of
// its fonts, page 2 the first and a count of the other, page 3 only a
// count. Every page keeps its entry, and "Fonts by names" stays whole.
TEST(ReportOutline, PastItsBudgetFontsByPagesCountsWhatItLeavesOut) {
    ReportRun run(writeFontsPdf(temporaryPath("budget.pdf"), {{simpleFont("Alpha"), simpleFont("Beta")},
                                                                {"@1", simpleFont("Gamma")},
                                                                {"@1", "@2"}}));
    reportState().pageFontEntries.limit = 3;
    const std::string report = run.build("budget-report.pdf");
    reportState().pageFontEntries.limit = kPageFontEntryBudget;

    EXPECT_EQ(outlineLines(report), (Lines{
                                        "Fonts by names",
                                        "  1 Alpha -> page 1",
                                        "  2 Beta -> page 2",
                                        "  3 Gamma -> page 3",
                                        "Fonts by pages",
                                        "  Page 1/3",
                                        "    0 Alpha -> page 1",
                                        "    1 Beta -> page 2",
                                        "  Page 2/3",
                                        "    0 Beta -> page 2",
                                        "    1 more font, not listed",
                                        "  Page 3/3",
                                        "    2 more fonts, not listed",
                                    }));
    EXPECT_EQ(run.host().viewer().alerts(),
              (Lines{"Fonts by pages lists at most 3 fonts of pages; 3 more left out: from page 2 of 3 on, a page "
                     "lists a count of the fonts not listed"}));
}

// Past the budget of described fonts, a font has its "Fonts by names"
// entry and no pages.
TEST(ReportOutline, PastItsBudgetAFontIsNamedButNotDescribed) {
    ReportRun run(alphaBetaGamma());
    reportState().describedFonts.limit = 2;
    const std::string report = run.build("described-budget.pdf");
    reportState().describedFonts.limit = kDescribedFontBudget;

    EXPECT_EQ(pageCount(report), 2);
    const Lines outline = outlineLines(report);
    ASSERT_GE(outline.size(), 4u);
    EXPECT_EQ(Lines(outline.begin(), outline.begin() + 4),
              (Lines{"Fonts by names", "  1 Alpha -> page 1", "  2 Beta -> page 2", "  3 Gamma"}));
    EXPECT_EQ(run.host().viewer().alerts(),
              (Lines{"The report describes at most 2 fonts; 1 more listed under Fonts by names, without pages of their "
                     "own"}));
}

TEST(ReportRuns, AreIndependentAndByteIdentical) {
    ReportRun run(alphaBetaGamma());
    const std::string first = run.build("first.pdf");
    const std::string second = run.build("second.pdf");
    EXPECT_EQ(outlineLines(second).size(), 11u) << "the second run reports every font again";
    EXPECT_EQ(fileBytes(first), fileBytes(second));
}

TEST(ReportPages, FontsOfARealProducerArePerPageAsPdffontsSeesThem) {
    ReportRun run(ORTHEO_FIXTURES "/latex.pdf");
    const std::string report = run.build("latex-report.pdf");
    const Lines outline = outlineLines(report);
    const auto page2 = std::find(outline.begin(), outline.end(), "  Page 2/2");
    ASSERT_NE(page2, outline.end());
    std::vector<std::string> reported;
    for (auto line = page2 + 1; line != outline.end(); ++line) {
        std::istringstream entry(*line);
        std::string number, name;
        entry >> number >> name;
        reported.push_back(name);
    }
    std::sort(reported.begin(), reported.end());

    const auto listed = runCommand({"/usr/bin/pdffonts", "-f", "2", "-l", "2", ORTHEO_FIXTURES "/latex.pdf"});
    std::istringstream rows(listed.out);
    std::vector<std::string> expected;
    std::string row;
    std::getline(rows, row);
    std::getline(rows, row);
    while (std::getline(rows, row)) expected.push_back(row.substr(0, row.find(' ')));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(reported, expected);
}

}  // namespace
}  // namespace ortheo::testing
