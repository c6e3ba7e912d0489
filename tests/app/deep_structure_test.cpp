// `ortheo report` on long chains of objects that no producer writes but a
// hostile file can hold: walking or copying them recursively would overflow
// the stack. Each is cut at a depth no real document reaches, and said so.

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

// Objects 1 to 5: the catalog, the page tree, a page with `resources`, the
// font Helvetica with `fontExtra` in its dictionary, and the page's content;
// then `more`, from 6 on.
std::vector<std::string> onePage(const std::string& resources, const std::string& fontExtra = "") {
    return {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Resources " + resources + " /Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica " + fontExtra + ">>",
        "<< /Length 31 >>\nstream\nBT /F1 12 Tf 10 10 Td (A) Tj ET\nendstream",
    };
}

// A page that draws form 6, which draws form 7, and so on: `forms` forms,
// the last of which uses the font.
std::string formChain(const std::string& name, int forms) {
    std::vector<std::string> objects = onePage("<< /XObject << /X 6 0 R >> >>");
    for (int form = 6; form < 6 + forms; ++form) {
        const std::string resources = form < 5 + forms ? "/XObject << /X " + std::to_string(form + 1) + " 0 R >>"
                                                       : "/Font << /F1 4 0 R >>";
        objects.push_back("<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << " + resources +
                          " >> /Length 0 >>\nstream\n\nendstream");
    }
    return testing::writeRawPdf(temporaryPath(name + ".pdf"), objects);
}

TEST(DeepStructure, FormsNestedDeeperThanAnyRealDocumentAreLeftOut) {
    const std::string deepest = formChain("forms-256", 256);
    const std::string report = temporaryPath("forms-256-report.pdf");
    const auto found = runCommand({kOrtheo, "report", deepest, "-o", report});
    EXPECT_EQ(found.exitStatus, 0) << found.err;
    EXPECT_EQ(found.err, "");
    EXPECT_EQ(testing::outlineLines(report).at(1), "  1 Helvetica -> page 1");

    const std::string tooDeep = formChain("forms-257", 257);
    const auto cut = runCommand({kOrtheo, "report", tooDeep, "-o", temporaryPath("forms-257-report.pdf")});
    EXPECT_EQ(cut.exitStatus, 3);
    EXPECT_EQ(cut.err,
              "ortheo: warning: left out what 262 0 R holds: forms, patterns and Type3 fonts nested more than 256 "
              "deep\northeo: " + tooDeep + " uses no fonts; no report written\n");

    const std::string abyss = formChain("forms-abyss", 100000);
    EXPECT_EQ(runCommand({kOrtheo, "report", abyss, "-o", temporaryPath("forms-abyss-report.pdf")}).exitStatus, 3);
}

// The font's dictionary leads, through /Next, to a chain of `length` objects.
std::string fontWithChain(const std::string& name, int length) {
    std::vector<std::string> objects = onePage("<< /Font << /F1 4 0 R >> >>", "/Next 6 0 R ");
    for (int link = 6; link < 6 + length; ++link) {
        objects.push_back(link < 5 + length ? "<< /Next " + std::to_string(link + 1) + " 0 R >>" : "<< >>");
    }
    return testing::writeRawPdf(temporaryPath(name + ".pdf"), objects);
}

// The report copies each font it draws glyphs in. A font that reaches more
// objects than any real one is not copied: its description page stays, with
// one alert, and the report goes on.
TEST(DeepStructure, AFontThatReachesThousandsOfObjectsIsNotCopied) {
    const std::string longest = fontWithChain("chain-4095", 4095);
    const std::string copied = temporaryPath("chain-4095-report.pdf");
    const auto fine = runCommand({kOrtheo, "report", longest, "-o", copied});
    EXPECT_EQ(fine.exitStatus, 0) << fine.err;
    EXPECT_EQ(fine.err, "");
    EXPECT_NE(runCommand({"/usr/bin/pdftotext", copied, "-"}).out.find("Helvetica"), std::string::npos);

    const std::string tooLong = fontWithChain("chain-100000", 100000);
    const std::string report = temporaryPath("chain-100000-report.pdf");
    const auto refused = runCommand({kOrtheo, "report", tooLong, "-o", report});
    EXPECT_EQ(refused.exitStatus, 0) << refused.err;
    EXPECT_EQ(refused.err, "ortheo: the font 4 0 R reaches more than 4096 objects, too many to copy into the report\n");
    EXPECT_EQ(testing::outlineLines(report).at(1), "  1 Helvetica -> page 1");
}

}  // namespace
}  // namespace ortheo
