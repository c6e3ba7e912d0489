// `ortheo fonts`: the verdicts of --check unicode on fixtures made for each
// case, the JSON document, --pages and --no-codes, and unusable arguments.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support/run_command.h"
#include "support/sample_pdf.h"
#include "support/usage_errors.h"

namespace ortheo {
namespace {

using testing::fileBytes;
using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kFixtures = ORTHEO_FIXTURES;
const std::string kUnicode = kFixtures + "/unicode/";

std::string lastLine(const std::string& text) {
    const std::size_t end = text.empty() ? 0 : text.size() - 1;
    const std::size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

nlohmann::json jsonOf(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{kOrtheo, "fonts", "--json"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const auto result = runCommand(command);
    return nlohmann::json::parse(result.out);
}

TEST(FontsCheck, GivesEachFixtureItsVerdictOnTheLastLineAndItsStatus) {
    struct Case {
        std::string file;
        int status;
        std::string named;  // a line before the verdict, or empty
        std::string verdict;
    };
    const Case cases[] = {
        {"mapped.pdf", 0, "", "unicode check passed: every code drawn has a Unicode value"},
        {"missing-entry.pdf", 4, "no Unicode: Madeup (5 0 R): 1 code, first on page 1",
         "unicode check failed: 1 font draws codes without a Unicode value"},
        {"unused-unmapped.pdf", 0, "", "unicode check passed: every code drawn has a Unicode value"},
        {"type3.pdf", 4, "no Unicode: Type3 font 5 0 R: 1 code, first on page 1",
         "unicode check failed: 1 font draws codes without a Unicode value"},
        {"identity-unknown.pdf", 0, "unknown Unicode: NoMap (5 0 R): 2 codes (Identity-H without a ToUnicode map)",
         "unicode check passed: every code whose Unicode value can be told has one; 1 font unknown"},
    };
    for (const Case& c : cases) {
        const auto result = runCommand({kOrtheo, "fonts", "--check", "unicode", kUnicode + c.file});
        EXPECT_EQ(result.exitStatus, c.status) << c.file;
        EXPECT_EQ(result.err, "") << c.file;
        EXPECT_EQ(lastLine(result.out), c.verdict) << c.file;
        if (!c.named.empty()) {
            EXPECT_NE(result.out.find("\n" + c.named + "\n"), std::string::npos) << result.out;
        }
    }
}

TEST(FontsCheck, GivesStatusThreeAndOneLineForADocumentWithoutFonts) {
    const auto result = runCommand({kOrtheo, "fonts", "--check", "unicode", kUnicode + "no-fonts.pdf"});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_EQ(result.err, "ortheo: " + kUnicode + "no-fonts.pdf uses no fonts\n");
}

TEST(FontsListing, WalksAppearancesAndType3GlyphsForTheirCodes) {
    const nlohmann::json mapped = jsonOf({kUnicode + "mapped.pdf"});
    ASSERT_EQ(mapped["fonts"].size(), 2u);
    EXPECT_EQ(mapped["fonts"][1]["name"], "Courier");  // only in the annotation's appearance
    EXPECT_EQ(mapped["fonts"][1]["codes"]["distinct"], 4);

    const nlohmann::json type3 = jsonOf({"--check", "unicode", kUnicode + "type3.pdf"});
    const nlohmann::json& glyphs = type3["fonts"][0];
    EXPECT_EQ(glyphs["type"], "Type3");
    EXPECT_EQ(glyphs["object"], "5 0 R");
    EXPECT_EQ(glyphs["embedded"], true);
    EXPECT_EQ(glyphs["codes"], nlohmann::json::parse(R"({"distinct": 3, "withoutUnicode": 1, "unicode": "incomplete",
                                                        "examples": [{"code": "03", "page": 1}]})"));
    EXPECT_EQ(type3["fonts"][1]["name"], "Helvetica");  // drawn by the glyph procedure of a
    EXPECT_EQ(type3["fonts"][1]["codes"]["distinct"], 1);
    EXPECT_EQ(type3["check"]["passed"], false);
    EXPECT_EQ(type3["check"]["failing"][0]["object"], "5 0 R");
}

TEST(FontsListing, TellsToUnicodeMapsAndTwoByteCodes) {
    const nlohmann::json cjk = jsonOf({kFixtures + "/cairo-cjk.pdf"});
    const nlohmann::json& font = cjk["fonts"][0];
    EXPECT_EQ(font["type"], "Type0");
    EXPECT_EQ(font["cidType"], "CIDFontType2");
    EXPECT_EQ(font["encoding"], "Identity-H");
    EXPECT_EQ(font["subset"], true);
    EXPECT_EQ(font["toUnicode"]["mappings"], 27);
    EXPECT_EQ(font["codes"]["distinct"], 27);  // codes of two bytes: each of the 27 glyphs once
    EXPECT_EQ(font["codes"]["unicode"], "complete");

    // A name that is not UTF-8 (0xE9, Latin-1) is written as JSON can hold it.
    std::string latin1 = fileBytes(kUnicode + "missing-entry.pdf");
    latin1.replace(latin1.find("/BaseFont /Madeup"), 17, "/BaseFont /Ma#E9up");
    const std::string named = temporaryPath("latin1-name.pdf");
    std::ofstream(named, std::ios::binary) << latin1;
    EXPECT_EQ(jsonOf({named})["fonts"][0]["name"], "Ma\uFFFDup");

    const nlohmann::json unknown = jsonOf({kUnicode + "identity-unknown.pdf"});
    EXPECT_EQ(unknown["fonts"][0]["codes"]["withoutUnicode"], nullptr);
    EXPECT_EQ(unknown["fonts"][0]["codes"]["unicode"], "unknown");
    EXPECT_EQ(unknown["fonts"][0]["toUnicode"], nullptr);
}

// A name with a line end in it cannot add a line to the listing, such as a
// forged verdict: its control bytes are written as in a PDF name.
TEST(FontsCheck, WritesAControlByteOfANameAsInAPdfName) {
    std::string forged = fileBytes(kUnicode + "missing-entry.pdf");
    forged.replace(forged.find("/BaseFont /Madeup"), 17, "/BaseFont /Ma#0Aup");
    const std::string named = temporaryPath("newline-name.pdf");
    std::ofstream(named, std::ios::binary) << forged;
    const auto result = runCommand({kOrtheo, "fonts", "--check", "unicode", named});
    EXPECT_EQ(result.exitStatus, 4);
    EXPECT_NE(result.out.find("\nMa#0Aup Type1 "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\nno Unicode: Ma#0Aup (5 0 R): 1 code, first on page 1\n"), std::string::npos);
}

TEST(FontsListing, ListsOnlyTheSelectedPagesAndLeavesCodesOutWhenAsked) {
    const nlohmann::json second = jsonOf({"--pages", "2", kFixtures + "/cairo.pdf"});
    ASSERT_FALSE(second["fonts"].empty());
    for (const auto& font : second["fonts"]) EXPECT_EQ(font["pages"], nlohmann::json::parse("[[2, 2]]")) << font;

    const auto plain = runCommand({kOrtheo, "fonts", "--no-codes", kFixtures + "/cairo.pdf"});
    EXPECT_EQ(plain.exitStatus, 0);
    EXPECT_EQ(plain.out.substr(0, plain.out.find('\n')).find("codes"), std::string::npos);
    EXPECT_NE(plain.out.find("\nYQKTEF+CMR10        Type1 WinAnsiEncoding yes yes no   yes 19   0   7 0 R  1-2\n"),
              std::string::npos)
        << plain.out;
}

TEST(FontsListing, GivesOneLineAndStatusTwoForUnusableArguments) {
    const std::string sample = kFixtures + "/cairo.pdf";
    testing::expectUsageErrors(kOrtheo, {
        {{"fonts"}, "fonts needs an input PDF"},
        {{"fonts", "--check", "fonts", sample}, "--check fonts: the one check is unicode"},
        {{"fonts", "--check", "unicode", "--no-codes", sample}, "--check unicode needs the codes: it cannot go with --no-codes"},
        {{"fonts", "--pages", "3", sample}, "--pages 3: page 3 is beyond the document's 2 pages"},
        {{"fonts", "--pages", "1:0,0,9,9", sample}, "--pages 1:0,0,9,9: takes pages only, such as 1,3-5"},
    });
}

}  // namespace
}  // namespace ortheo
