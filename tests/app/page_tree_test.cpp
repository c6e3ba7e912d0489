// `ortheo report` on damaged page trees: it reads them as viewers do, says
// what it left out, and reports the fonts of the pages that remain.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/report_reader.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;

// Objects 1 to 5: the catalog, the root /Pages node with `rootKids`, a page
// showing /F1, the font and the page's content; then `more`, from 6 on.
std::string damagedTree(const std::string& name, const std::string& rootKids,
                        const std::vector<std::string>& more = {}) {
    std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + rootKids + "] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Resources << /Font << /F1 4 0 R >> >> "
        "/Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length 31 >>\nstream\nBT /F1 12 Tf 10 10 Td (A) Tj ET\nendstream",
    };
    objects.insert(objects.end(), more.begin(), more.end());
    return testing::writeRawPdf(temporaryPath(name + ".pdf"), objects);
}

std::vector<std::string> outlineOnPages(int pageCount) {
    std::vector<std::string> lines{"Fonts by names", "  1 Helvetica -> page 1", "Fonts by pages"};
    for (int page = 1; page <= pageCount; ++page) {
        lines.push_back("  Page " + std::to_string(page) + "/" + std::to_string(pageCount));
        lines.push_back("    0 Helvetica -> page 1");
    }
    return lines;
}

struct DamagedTree {
    const char* name;
    std::string input;
    std::string warnings;  // what standard error says, whole
    int pages;             // as the outline counts them
};

TEST(DamagedPageTree, ANodeReachedTwiceIsCutAndAPageListedTwiceIsKept) {
    const std::vector<DamagedTree> trees{
        {"loop", damagedTree("loop", "3 0 R 2 0 R"),
         "ortheo: warning: skipped 2 0 R under /Kids of 2 0 R: a page-tree node reached twice\n", 1},
        {"deep-loop",
         damagedTree("deep-loop", "6 0 R", {"<< /Type /Pages /Parent 2 0 R /Kids [2 0 R 3 0 R] /Count 1 >>"}),
         "ortheo: warning: skipped 2 0 R under /Kids of 6 0 R: a page-tree node reached twice\n", 1},
        {"two-parents",
         damagedTree("two-parents", "6 0 R 7 0 R",
                     {"<< /Type /Pages /Parent 2 0 R /Kids [8 0 R] /Count 1 >>",
                      "<< /Type /Pages /Parent 2 0 R /Kids [8 0 R] /Count 1 >>",
                      "<< /Type /Pages /Parent 6 0 R /Kids [3 0 R] /Count 1 >>"}),
         "ortheo: warning: skipped 8 0 R under /Kids of 7 0 R: a page-tree node reached twice\n", 1},
        {"page-twice", damagedTree("page-twice", "3 0 R 3 0 R"), "", 2},
    };
    for (const DamagedTree& tree : trees) {
        const std::string output = temporaryPath(std::string(tree.name) + "-report.pdf");
        const auto result = runCommand({kOrtheo, "report", tree.input, "-o", output});
        EXPECT_EQ(result.exitStatus, 0) << tree.name << ": " << result.err;
        EXPECT_EQ(result.err, tree.warnings) << tree.name;
        EXPECT_EQ(testing::outlineLines(output), outlineOnPages(tree.pages)) << tree.name;
    }
}

// qpdf would make pages of these kids and so rewrite the font's /Type: the
// font would then be no font, and the document would seem to use none.
TEST(DamagedPageTree, KidsThatAreNoPagesAreSkippedAndStayWhatTheyAre) {
    const std::string input = damagedTree("no-pages", "3 0 R 4 0 R 6 0 R 5 0 R 7 0 R",
                                          {"42", "<< /Type /Pages /Count 0 >>"});
    const std::string output = temporaryPath("no-pages-report.pdf");
    const auto result = runCommand({kOrtheo, "report", input, "-o", output});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err,
              "ortheo: warning: skipped 4 0 R under /Kids of 2 0 R: not a page\n"
              "ortheo: warning: skipped 6 0 R under /Kids of 2 0 R: not a page\n"
              "ortheo: warning: skipped 5 0 R under /Kids of 2 0 R: not a page\n"
              "ortheo: warning: skipped 7 0 R under /Kids of 2 0 R: not a page\n");
    EXPECT_EQ(testing::outlineLines(output), outlineOnPages(1));
}

// A page `levels` nodes below the root, which alone holds the resources:
// objects 1 to 5 as above, then the nodes from 6 on, each the next's parent.
std::string deepTree(const std::string& name, int levels) {
    std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + std::to_string(levels > 0 ? 6 : 3) +
            " 0 R] /Count 1 /Resources << /Font << /F1 4 0 R >> >> >>",
        "<< /Type /Page /Parent " + std::to_string(levels > 0 ? 5 + levels : 2) +
            " 0 R /MediaBox [0 0 200 200] /Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length 31 >>\nstream\nBT /F1 12 Tf 10 10 Td (A) Tj ET\nendstream",
    };
    for (int level = 1; level <= levels; ++level) {
        const int kid = level < levels ? 6 + level : 3;
        objects.push_back("<< /Type /Pages /Parent " + std::to_string(level > 1 ? 4 + level : 2) + " 0 R /Kids [" +
                          std::to_string(kid) + " 0 R] /Count 1 >>");
    }
    return testing::writeRawPdf(temporaryPath(name + ".pdf"), objects);
}

// qpdf reads a page tree recursively: a deep enough tree overflowed the
// stack. Nodes deeper than any real tree's are left out, and a page's climb
// to its inherited resources goes as deep as a tree may be.
TEST(DamagedPageTree, NodesDeeperThanAnyRealTreeAreLeftOut) {
    const std::string deepest = deepTree("deepest", 255);
    const std::string deepestReport = temporaryPath("deepest-report.pdf");
    const auto kept = runCommand({kOrtheo, "report", deepest, "-o", deepestReport});
    EXPECT_EQ(kept.exitStatus, 0) << kept.err;
    EXPECT_EQ(kept.err, "");
    EXPECT_EQ(testing::outlineLines(deepestReport), outlineOnPages(1));

    const std::string tooDeep = deepTree("too-deep", 256);
    const auto cut = runCommand({kOrtheo, "report", tooDeep, "-o", temporaryPath("too-deep-report.pdf")});
    EXPECT_EQ(cut.exitStatus, 3);
    EXPECT_EQ(cut.err, "ortheo: warning: skipped 261 0 R under /Kids of 260 0 R: deeper than 256 levels\n"
                       "ortheo: " + tooDeep + " uses no fonts; no report written\n");

    const std::string abyss = deepTree("abyss", 100000);
    const auto survived = runCommand({kOrtheo, "report", abyss, "-o", temporaryPath("abyss-report.pdf")});
    EXPECT_EQ(survived.exitStatus, 3) << survived.err;
}

}  // namespace
}  // namespace ortheo
