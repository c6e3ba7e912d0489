// `ortheo report` on documents that push its limits: an outline of more
// entries than any registry of live handles could hold, and fonts that are
// no fonts. Read back by MuPDF and qpdf, as a user's tools would.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kFixtures = ORTHEO_FIXTURES;

struct OutlineEntry {
    int depth;
    std::string title;
    int page;  // 0 when the entry leads nowhere
};

// MuPDF's outline: a marker, a tab per level, the quoted title, the link.
std::vector<OutlineEntry> mupdfOutline(const std::string& path) {
    const auto result = runCommand({"/usr/bin/mutool", "show", path, "outline"});
    EXPECT_EQ(result.exitStatus, 0);
    std::vector<OutlineEntry> entries;
    std::istringstream text(result.out);
    for (std::string line; std::getline(text, line);) {
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (open == std::string::npos || close == open) continue;
        const std::size_t link = line.find("#page=", close);
        entries.push_back({static_cast<int>(open) - 2, line.substr(open + 1, close - open - 1),
                           link == std::string::npos ? 0 : std::stoi(line.substr(link + 6))});
    }
    return entries;
}

// 1,000 fonts on 301 pages: 301,000 "Fonts by pages" entries, more than
// the 262,143 live handles a registry kind can hold. Each font's only
// report page is its description, so the k-th font met is on page k + 1.
// MuPDF takes most of the test's time (about 15 s) reading the outline.
TEST(LargeReport, AnOutlineOfMoreThan300000EntriesReadsBackWhole) {
    constexpr int kFonts = 1000;
    constexpr int kPages = 301;
    const std::string input = temporaryPath("many-fonts.pdf");
    const std::string output = temporaryPath("many-fonts-report.pdf");
    testing::writeSharedFontsPdf(input, kFonts, kPages);

    const auto result = runCommand({kOrtheo, "report", input, "-o", output});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");

    const std::vector<OutlineEntry> outline = mupdfOutline(output);
    ASSERT_EQ(outline.size(), 1u + kFonts + 1u + kPages + static_cast<std::size_t>(kPages) * kFonts);
    EXPECT_EQ(outline[0].title, "Fonts by names");
    EXPECT_EQ(outline[kFonts + 1].title, "Fonts by pages");
    int pageEntries = 0;
    int wrongTargets = 0;
    for (std::size_t index = kFonts + 2; index < outline.size(); ++index) {
        const OutlineEntry& entry = outline[index];
        if (entry.depth == 1) {
            EXPECT_EQ(entry.title, "Page " + std::to_string(pageEntries / kFonts + 1) + "/" + std::to_string(kPages));
            continue;
        }
        ++pageEntries;
        if (entry.page != std::stoi(entry.title) + 1) ++wrongTargets;
    }
    EXPECT_EQ(pageEntries, kPages * kFonts);
    EXPECT_EQ(wrongTargets, 0);
    EXPECT_EQ(outline.back().title, "999 Many0999");
}

// A form dictionary and an empty dictionary under /Font, as qpdf accepts
// them: one warning each, and the report of the one real font.
TEST(LargeReport, WhatIsNoFontUnderFontIsSkippedWithOneWarningEach) {
    const std::string output = temporaryPath("not-a-font-report.pdf");
    const auto result = runCommand({kOrtheo, "report", kFixtures + "/not-a-font.pdf", "-o", output});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err,
              "ortheo: warning: skipped /F2 (6 0 R) under /Font: not a font dictionary\n"
              "ortheo: warning: skipped /F3 (direct) under /Font: not a font dictionary\n");
    const std::vector<OutlineEntry> outline = mupdfOutline(output);
    ASSERT_EQ(outline.size(), 5u);
    EXPECT_EQ(outline[1].title, "1 Helvetica");
    EXPECT_EQ(outline[4].title, "0 Helvetica");
    EXPECT_EQ(outline[4].page, 1);
}

}  // namespace
}  // namespace ortheo
