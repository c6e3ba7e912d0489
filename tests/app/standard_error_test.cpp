// What `ortheo report` writes on standard error besides its failures: the
// progress line on a terminal, and the CMap engine's notes.

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::runCommand;
using testing::runCommandOnTerminal;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kErase = "\r\033[K";

// What a terminal received, taken apart: progress drawn, progress erased,
// and the text between.
struct TerminalRecord {
    std::vector<std::string> draws;  // "N/M" of each "\rScanning page N/M"
    std::string text;                // everything else
    std::vector<std::string> problems;
};

TerminalRecord takeApart(const std::string& received) {
    static const std::regex draw("^\rScanning page ([0-9]+/[0-9]+)");
    TerminalRecord record;
    enum { nothing, drawn, erased, wrote } last = nothing;
    for (std::size_t at = 0; at < received.size();) {
        std::smatch match;
        const std::string rest = received.substr(at, 64);
        if (received.compare(at, kErase.size(), kErase) == 0) {
            if (last != drawn) record.problems.push_back("an erase with nothing drawn, before: " + rest);
            at += kErase.size();
            last = erased;
        } else if (std::regex_search(rest, match, draw)) {
            if (last == erased) record.problems.push_back("a line erased only to be drawn again");
            record.draws.push_back(match[1]);
            at += static_cast<std::size_t>(match.length(0));
            last = drawn;
        } else {
            if (last == drawn) record.problems.push_back("text written into the progress line: " + rest);
            const std::size_t end = received.find('\n', at);
            const std::size_t lineEnd = end == std::string::npos ? received.size() : end + 1;
            record.text += received.substr(at, lineEnd - at);
            at = lineEnd;
            last = wrote;
        }
    }
    if (last == drawn) record.problems.push_back("the progress line was left on the terminal");
    return record;
}

// Pages that each hold a font and an entry under /Font that is none, so that
// every page writes a warning while the progress line shows.
std::string documentWithAWarningPerPage(int pages) {
    std::vector<std::vector<std::string>> fonts;
    for (int page = 0; page < pages; ++page) {
        fonts.push_back({page == 0 ? "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>" : "@0",
                         "<< /Subtype /NoFont >>"});
    }
    return testing::writeFontsPdf(temporaryPath("warnings-" + std::to_string(pages) + ".pdf"), fonts);
}

TEST(ProgressLine, IsErasedBeforeOtherTextAndDrawnAgainAfter) {
    const std::string input = documentWithAWarningPerPage(200);
    const auto plain = runCommand({kOrtheo, "report", input, "-o", temporaryPath("warnings-report.pdf")});
    ASSERT_EQ(plain.exitStatus, 0) << plain.err;
    EXPECT_EQ(std::count(plain.err.begin(), plain.err.end(), '\n'), 200);
    EXPECT_EQ(plain.err.find('\r'), std::string::npos) << "progress shown on no terminal";

    const auto shown = runCommandOnTerminal({kOrtheo, "report", input, "-o", temporaryPath("warnings-report.pdf")});
    ASSERT_EQ(shown.exitStatus, 0);
    const TerminalRecord record = takeApart(shown.err);
    EXPECT_EQ(record.text, plain.err);
    EXPECT_EQ(record.problems, std::vector<std::string>{});
    ASSERT_FALSE(record.draws.empty());
    EXPECT_EQ(record.draws.front(), "1/200");
    EXPECT_EQ(record.draws.back(), "200/200");
}

// The line is drawn at most about ten times a second, and at the end.
TEST(ProgressLine, IsDrawnSeldomOnADocumentOfManyPages) {
    const std::string input = testing::writeSharedFontsPdf(temporaryPath("many-pages.pdf"), 1, 10000);
    const auto started = std::chrono::steady_clock::now();
    const auto shown = runCommandOnTerminal({kOrtheo, "report", input, "-o", temporaryPath("many-pages-report.pdf")});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_EQ(shown.exitStatus, 0);
    const TerminalRecord record = takeApart(shown.err);
    EXPECT_EQ(record.problems, std::vector<std::string>{});
    EXPECT_EQ(record.text, "");
    EXPECT_LE(static_cast<double>(record.draws.size()), 10 * seconds + 2) << "in " << seconds << " s";
    ASSERT_FALSE(record.draws.empty());
    EXPECT_EQ(record.draws.back(), "10000/10000");
}

TEST(CMapNotes, EndTheirLinesUnderOneLineThatNamesTheFont) {
    const auto sample = testing::writeToUnicodePdf(
        temporaryPath("bad-entries.pdf"),
        "1 begincodespacerange <00> <FF> endcodespacerange\n"
        "3 beginbfchar <41> <0041> <42> /x <43> [ endbfchar\n"
        "1 beginbfrange <44> <45> <E001> endbfrange\n");
    const auto result = runCommand({kOrtheo, "report", sample.path, "-o", temporaryPath("bad-entries-report.pdf")});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.err, "ortheo: notes on the ToUnicode map of Helvetica (" + std::to_string(sample.fontObject) +
                              " 0 R):\n"
                              "Illegal entry in bfchar block in ToUnicode CMap\n"
                              "Illegal entry in bfchar block in ToUnicode CMap\n"
                              "CIDMap in private usage or surrogate area. Trying to use latin1 (0x1).\n");
}

}  // namespace
}  // namespace ortheo
