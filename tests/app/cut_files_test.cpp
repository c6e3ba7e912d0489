// `ortheo report` on files that lost their end (tests/fixtures/cut): it
// reads them as far as they go, says once where they were cut and how many
// pages it read, and lists the fonts that mutool lists on the same file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/report_reader.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::fileBytes;
using testing::outlineLines;
using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kFixtures = ORTHEO_FIXTURES;

struct CutFile {
    std::string name;
    std::size_t size;
};

// Each of groff-gs.pdf, cut as make_cut_fixtures.sh says; all keep both pages.
const std::vector<CutFile> kCutFiles{
    {"classic.pdf", 12130},
    {"xref-stream.pdf", 9615},
    {"linearized.pdf", 10691},
    {"inside-object-stream.pdf", 1088},
};

std::string cutPath(const std::string& name) { return kFixtures + "/cut/" + name; }

using FontsByPage = std::map<int, std::set<std::string>>;

// The fonts under "Fonts by pages" of a report's outline.
FontsByPage reportedFonts(const std::string& report) {
    FontsByPage fonts;
    int page = 0;
    const std::regex heading(R"(  Page (\d+)/\d+)");
    const std::regex font(R"(    \d+ (.*) -> page \d+)");
    for (const std::string& line : outlineLines(report)) {
        std::smatch match;
        if (std::regex_match(line, match, heading)) {
            page = std::stoi(match[1]);
            fonts[page];
        } else if (page > 0 && std::regex_match(line, match, font)) {
            fonts[page].insert(match[1]);
        }
    }
    return fonts;
}

// mutool's fonts: each once, on the first page that uses it.
FontsByPage mutoolFonts(const std::string& pdf) {
    FontsByPage fonts;
    std::istringstream listed(runCommand({"/usr/bin/mutool", "info", "-F", pdf}).out);
    const std::regex entry(R"(\s*(\d+)\s+\(.*\):\s+\S+\s+'(.*)'.*)");
    for (std::string line; std::getline(listed, line);) {
        std::smatch match;
        if (std::regex_match(line, match, entry)) fonts[std::stoi(match[1])].insert(match[2]);
    }
    return fonts;
}

std::string reportOf(const std::string& pdf, const std::string& name) {
    const std::string report = temporaryPath(name);
    const auto result = runCommand({kOrtheo, "report", pdf, "-o", report});
    EXPECT_EQ(result.exitStatus, 0) << pdf << ": " << result.err;
    return report;
}

TEST(CutFiles, ReportTheFontsOfWhatIsLeftWithOneWarning) {
    const FontsByPage whole = reportedFonts(reportOf(kFixtures + "/groff-gs.pdf", "whole-fonts.pdf"));
    ASSERT_EQ(whole.size(), 2u);
    for (const CutFile& cut : kCutFiles) {
        const std::string report = temporaryPath("cut-" + cut.name);
        const auto result = runCommand({kOrtheo, "report", cutPath(cut.name), "-o", report});
        EXPECT_EQ(result.exitStatus, 0) << cut.name;
        EXPECT_EQ(result.err, "ortheo: warning: no trailer: the file seems cut short at byte " +
                                  std::to_string(cut.size) + "; 2 of 2 pages read\n");
        EXPECT_EQ(runCommand({"/usr/bin/qpdf", "--check", report}).exitStatus, 0) << cut.name;
        FontsByPage expected = whole;
        // Page 2's resources were in the part of the object stream that is gone.
        if (cut.name == "inside-object-stream.pdf") expected[2].clear();
        EXPECT_EQ(reportedFonts(report), expected) << cut.name;
    }
}

TEST(CutFiles, ListTheFontsMutoolLists) {
    if (!std::filesystem::exists("/usr/bin/mutool")) GTEST_SKIP() << "mutool is not installed";
    for (const CutFile& cut : kCutFiles) {
        const FontsByPage ours = reportedFonts(reportOf(cutPath(cut.name), "mutool-" + cut.name));
        for (const auto& [page, fonts] : mutoolFonts(cutPath(cut.name))) {
            for (const std::string& font : fonts) EXPECT_EQ(ours.at(page).count(font), 1u) << cut.name << " " << font;
        }
    }
    // The two files mutool reads at all list all five fonts.
    EXPECT_EQ(mutoolFonts(cutPath("classic.pdf")).size(), 2u);
    EXPECT_EQ(mutoolFonts(cutPath("xref-stream.pdf")).size(), 2u);
}

TEST(CutFiles, LeaveOutThePagesWhoseObjectsAreGone) {
    const std::string shorter = temporaryPath("cut-at-600.pdf");
    std::ofstream(shorter, std::ios::binary) << fileBytes(cutPath("inside-object-stream.pdf")).substr(0, 600);
    const auto result = runCommand({kOrtheo, "report", shorter, "-o", temporaryPath("never.pdf")});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.err,
              "ortheo: warning: skipped 15 0 R under /Kids of 4 0 R: not a page\n"
              "ortheo: warning: no trailer: the file seems cut short at byte 600; 1 of 2 pages read\n"
              "ortheo: " + shorter + " uses no fonts; no report written\n");
}

TEST(CutFiles, StillRefuseAFileWithoutACatalog) {
    const std::string start = temporaryPath("cut-at-250.pdf");
    std::ofstream(start, std::ios::binary) << fileBytes(cutPath("inside-object-stream.pdf")).substr(0, 250);
    const auto result = runCommand({kOrtheo, "report", start, "-o", temporaryPath("never.pdf")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "ortheo: " + start +
                              ": is damaged beyond repair (unable to find trailer dictionary while recovering "
                              "damaged file)\n");
}

}  // namespace
}  // namespace ortheo
