// The ToUnicode pages: every mapping of a font's CMap listed with glyph
// samples, as the report shows it, compared with an independent parse.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>

#include "plugin/log.h"
#include "report/report_state.h"
#include "report_run.h"
#include "support/report_reader.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"
#include "support/stderr_capture.h"
#include "view/viewer.h"

namespace ortheo::testing {
namespace {

using Lines = std::vector<std::string>;
using Mappings = std::vector<std::pair<std::uint32_t, std::uint32_t>>;  // code, target

const std::regex kSingleLine("x([0-9A-F]+) -> x([0-9A-F]+)");
const std::regex kRangeLine("x([0-9A-F]+) - x([0-9A-F]+) -> x([0-9A-F]+) - x([0-9A-F]+)");

std::uint32_t hex(const std::string& digits) { return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16)); }

bool isListingLine(const std::string& text) {
    return std::regex_match(text, kSingleLine) || std::regex_match(text, kRangeLine);
}

// Every code of a listing line with its target.
void expandLine(const std::string& text, Mappings& mappings) {
    std::smatch match;
    if (std::regex_match(text, match, kSingleLine)) {
        mappings.emplace_back(hex(match[1]), hex(match[2]));
    } else if (std::regex_match(text, match, kRangeLine)) {
        for (std::uint32_t code = hex(match[1]); code <= hex(match[2]); ++code) {
            mappings.emplace_back(code, hex(match[3]) + (code - hex(match[1])));
        }
    }
}

// The listing of each font, continuation pages included, expanded to codes.
std::map<std::string, Mappings> reportedMappings(const std::string& report) {
    std::map<std::string, Mappings> listings;
    Mappings* current = nullptr;
    for (int page = 0; page < pageCount(report); ++page) {
        const auto shown = shownStrings(report, page);
        if (shown.empty()) continue;
        const std::string& first = shown.front().text;
        if (first.rfind("ToUnicode map for ", 0) == 0) {
            current = &listings[first.substr(18, first.size() - 19)];
        } else if (!isListingLine(first)) {
            current = nullptr;
        }
        if (current == nullptr) continue;
        for (const ShownString& text : shown) expandLine(text.text, *current);
    }
    return listings;
}

// As a dictionary from code to target keeps them: first position, last value.
Mappings asDictionary(const Mappings& mappings) {
    Mappings ordered;
    std::map<std::uint32_t, std::size_t> position;
    for (const auto& [code, target] : mappings) {
        const auto [at, added] = position.emplace(code, ordered.size());
        if (added) {
            ordered.emplace_back(code, target);
        } else {
            ordered[at->second].second = target;
        }
    }
    return ordered;
}

std::map<std::string, Mappings> pdfminerMappings(const std::string& pdf) {
    const auto parsed = runCommand({"/usr/bin/python3", ORTHEO_TESTS "/report/tounicode_mappings.py", pdf});
    EXPECT_EQ(parsed.exitStatus, 0) << parsed.err;
    std::map<std::string, Mappings> mappings;
    std::istringstream lines(parsed.out);
    std::string name, code, target;
    while (lines >> name >> code >> target) mappings[name].emplace_back(hex(code), hex(target));
    return mappings;
}

bool inFallbackArea(std::uint32_t target) { return target >= 0xD800 && target <= 0xF8FF; }

// Leaves out the codes whose target the report replaces by its low byte.
Mappings withoutFallbackCodes(const Mappings& mappings, const Mappings& independent) {
    std::set<std::uint32_t> replaced;
    for (const auto& [code, target] : independent) {
        if (inFallbackArea(target)) replaced.insert(code);
    }
    Mappings kept;
    for (const auto& mapping : mappings) {
        if (replaced.count(mapping.first) == 0) kept.push_back(mapping);
    }
    return kept;
}

class ToUnicodeOfRealProducers : public ::testing::TestWithParam<const char*> {};

TEST_P(ToUnicodeOfRealProducers, ListEveryMappingAsAnIndependentParserReadsIt) {
    const std::string input = std::string(ORTHEO_FIXTURES "/") + GetParam();
    ReportRun run(input);
    const auto reported = reportedMappings(run.build(std::string("tounicode-") + GetParam()));
    const auto independent = pdfminerMappings(input);
    ASSERT_FALSE(independent.empty());
    for (const auto& [font, mappings] : independent) {
        ASSERT_EQ(reported.count(font), 1u) << font << " has no ToUnicode page";
        EXPECT_EQ(withoutFallbackCodes(asDictionary(reported.at(font)), mappings),
                  withoutFallbackCodes(mappings, mappings))
            << font;
    }
}

INSTANTIATE_TEST_SUITE_P(PdfTeXAndCairo, ToUnicodeOfRealProducers, ::testing::Values("latex.pdf", "cairo.pdf"));

// A CMap text of exactly `size` decoded bytes, its mappings running up to
// its last line: single codes 0x0000, 0x0001, ... in blocks of 100; spaces
// after the header make up the size.
std::string cmapOfSize(std::size_t size) {
    const std::string header = "/CMapName /Sized def\n1 begincodespacerange <0000> <FFFF> endcodespacerange\n";
    const std::string blockEnd = "endbfchar\n";
    std::string body;
    int inBlock = 0;
    for (unsigned code = 0;; ++code) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%s<%04X> <%04X>\n", inBlock == 0 ? "100 beginbfchar\n" : "", code,
                      0x4E00 + code);
        if (header.size() + body.size() + std::strlen(entry) + blockEnd.size() > size) break;
        body += entry;
        if (++inBlock == 100) {
            body += blockEnd;
            inBlock = 0;
        }
    }
    if (inBlock != 0) body += blockEnd;
    return header + std::string(size - header.size() - body.size(), ' ') + body;
}

Mappings listedForHelvetica(const std::string& input, const std::string& name) {
    ReportRun run(input);
    const auto listed = reportedMappings(run.build(name));
    return listed.count("Helvetica") != 0 ? listed.at("Helvetica") : Mappings{};
}

TEST(ToUnicodeReader, StreamsAroundItsBufferSizeAreListedWhole) {
    for (const std::size_t size : {4999, 5000, 5001, 10000, 10001}) {
        const std::string cmap = cmapOfSize(size);
        ASSERT_EQ(cmap.size(), size);
        const std::string input = writeToUnicodePdf(temporaryPath("sized.pdf"), cmap).path;
        const Mappings independent = pdfminerMappings(input).at("Helvetica");
        EXPECT_GT(independent.size(), size / 15) << size;
        EXPECT_EQ(listedForHelvetica(input, "sized-report.pdf"), independent) << size << " decoded bytes";
    }
}

TEST(ToUnicodeReader, AMappingAcrossAChunkEdgeIsListed) {
    // The stream is read 1000 bytes at a time: the range's codes straddle
    // the first chunk's end.
    const std::string head = "1 begincodespacerange <0000> <FFFF> endcodespacerange\n";
    const std::string range = "1 beginbfrange <0100> <01FF> <4E00> endbfrange\n";
    const std::string cmap = head + std::string(1000 - 20 - head.size(), ' ') + range + cmapOfSize(3000);
    ASSERT_EQ(cmap.substr(995, 10), "<0100> <01") << "byte 1000 lies inside the range's first codes";
    const std::string input = writeToUnicodePdf(temporaryPath("straddle.pdf"), cmap).path;
    const Mappings listed = listedForHelvetica(input, "straddle-report.pdf");
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), (std::pair<std::uint32_t, std::uint32_t>{0x0100, 0x4E00}));
    EXPECT_EQ(asDictionary(listed), pdfminerMappings(input).at("Helvetica"));
}

constexpr const char* kSmallCMap =
    "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
    "/CMapName /Small-UCS def /CMapType 2 def\n"
    "1 begincodespacerange <00> <FF> endcodespacerange\n"
    "3 beginbfchar <41> <0041> <00> <0020> <0102> <0042> endbfchar\n"
    "2 beginbfrange <20> <7E> <0020> <50> <40> <0061> endbfrange\n";

std::string toUnicodeReport(const std::string& cmap, const std::string& name) {
    ReportRun run(writeToUnicodePdf(temporaryPath(name + ".pdf"), cmap).path);
    return run.build(name + "-report.pdf");
}

TEST(ToUnicodePage, ListsTheHeaderSinglesAndRangesFourToARow) {
    const std::string report = toUnicodeReport(kSmallCMap, "small");
    ASSERT_EQ(pageCount(report), 2);
    const auto shown = shownStrings(report, 1);
    Lines texts;
    for (const ShownString& text : shown) texts.push_back(text.text);
    EXPECT_EQ(texts, (Lines{"ToUnicode map for Helvetica:", "CMap Name: Small-UCS", "Type: 2 Ordering ((UCS))",
                            "x0041 -> x0041", "A", "x0000 -> x0020", std::string(1, '\0'), "x0102 -> x0042", "\x02",
                            "x0020 - x007E -> x0020 - x007E", " ", "-", "~", "x0050 - x0040 -> x0061 - x0051", "P"}));

    // Rows stand 20 points apart from y = 95 (baselines 1100 - 95 - 15 down),
    // columns 275 points apart from x = 30; samples 180, 192 and 204 points in.
    EXPECT_EQ(shown[3].x, 32);
    EXPECT_EQ(shown[3].y, 990);
    EXPECT_EQ(shown[4].x, 210);
    EXPECT_EQ(shown[5].x, 307);
    EXPECT_EQ(shown[9].x, 857);
    EXPECT_EQ(shown[10].x, 1035);
    EXPECT_EQ(shown[11].x, 1047);
    EXPECT_EQ(shown[12].x, 1059);
    EXPECT_EQ(shown[13].x, 32) << "the fifth mapping begins the second row";
    EXPECT_EQ(shown[13].y, 970);
}

// The budget of mappings, lowered: 3 of the 5 are listed, then a count; a
// spent budget reads no more maps and makes no page for them.
TEST(ToUnicodePage, PastItsBudgetAListingEndsWithACountOfTheRest) {
    ReportRun run(writeToUnicodePdf(temporaryPath("mapping-budget.pdf"), kSmallCMap).path);
    reportState().toUnicodeMappings.limit = 3;
    const std::string report = run.build("mapping-budget-report.pdf");
    reportState().toUnicodeMappings.limit = 0;
    const std::string spent = run.build("mapping-budget-spent.pdf");
    reportState().toUnicodeMappings.limit = kToUnicodeMappingBudget;

    Lines texts;
    for (const ShownString& text : shownStrings(report, 1)) texts.push_back(text.text);
    EXPECT_EQ(texts, (Lines{"ToUnicode map for Helvetica:", "CMap Name: Small-UCS", "Type: 2 Ordering ((UCS))",
                            "x0041 -> x0041", "A", "x0000 -> x0020", std::string(1, '\0'), "x0102 -> x0042", "\x02",
                            "2 more mappings, not listed"}));
    EXPECT_EQ(pageCount(spent), 1);
    EXPECT_EQ(run.host().viewer().alerts(),
              (Lines{"The ToUnicode pages list at most 3 mappings in all; 2 more left out, and 0 maps not read",
                     "The ToUnicode pages list at most 0 mappings in all; 0 more left out, and 1 map not read"}));
}

TEST(ToUnicodePage, AnEmptyCMapGivesTheHeaderOnly) {
    const std::string report = toUnicodeReport("", "empty-cmap");
    Lines texts;
    for (const ShownString& text : shownStrings(report, 1)) texts.push_back(text.text);
    EXPECT_EQ(texts, (Lines{"ToUnicode map for Helvetica:", "CMap Name: ", "Type:  Ordering ((T1UV))"}));
}

TEST(ToUnicodePage, AFontWithoutAToUnicodeStreamGetsNoPage) {
    setLogOptionsForTesting(kLogErrors);
    StderrCapture log;
    ReportRun run(writeFontsPdf(temporaryPath("no-tounicode.pdf"),
                                {{simpleFont("Plain"), simpleFont("Named", "/ToUnicode /Identity-H")}}));
    const std::string report = run.build("no-tounicode-report.pdf");
    setLogOptionsForTesting(0);
    EXPECT_EQ(pageCount(report), 2) << "two description pages, no ToUnicode page";
    EXPECT_EQ(log.text(),
              "Error: Unknown type of ToUnicode Table (not stream) f:\\pdf\\pdf\\src\\tabulorum\\pdf\\pdf_cmap(38)\n");
}

TEST(ToUnicodePage, AStreamThatBreaksOffListsWhatWasReadAndLogsTheFailure) {
    const std::string cmap = sampleCMap(300000);
    setLogOptionsForTesting(kLogErrors);
    StderrCapture log;
    ReportRun run(writeCorruptToUnicodePdf(temporaryPath("broken-tounicode.pdf"), cmap).path);
    const std::string report = run.build("broken-tounicode-report.pdf");
    setLogOptionsForTesting(0);
    const std::string logged = log.text();
    EXPECT_EQ(logged.substr(0, logged.find('\n') + 1),
              "Error: Exception 'the stream's data is damaged and could not be decoded completely' while Read "
              "ToUnicode Table f:\\pdf\\pdf\\src\\tabulorum\\pdf\\pdf_cmap(172)\n")
        << "the log line comes first, the parser's notes on what was read after it";
    const auto listed = reportedMappings(report);
    ASSERT_EQ(listed.count("Helvetica"), 1u);
    EXPECT_GT(listed.at("Helvetica").size(), 1000u);
}

TEST(ToUnicodePage, AListingLongerThanAPageGoesOnOnTheNextPages) {
    const std::string cmap = sampleCMap(80000);  // about 5600 mappings
    const std::string report = toUnicodeReport(cmap, "long-listing");
    const auto listed = reportedMappings(report);
    ASSERT_EQ(listed.count("Helvetica"), 1u);
    const std::size_t mappings = listed.at("Helvetica").size();
    EXPECT_GT(mappings, 5000u);
    EXPECT_EQ(pageCount(report), 1 + static_cast<int>((mappings / 4 - 50 + 52) / 53 + 1));

    for (int page = 1; page < pageCount(report); ++page) {
        for (const ShownString& text : shownStrings(report, page)) {
            EXPECT_GE(text.y, 0) << "page " << page << ": " << text.text;
            EXPECT_LE(text.y, 1100);
        }
    }
    const auto text = runCommand({"/usr/bin/pdftotext", "-layout", "-f", "2", report, "-"});
    std::size_t arrows = 0;
    for (std::size_t at = text.out.find("->"); at != std::string::npos; at = text.out.find("->", at + 2)) ++arrows;
    EXPECT_EQ(arrows, mappings) << "every mapping is where a reader sees it";
}

}  // namespace
}  // namespace ortheo::testing
