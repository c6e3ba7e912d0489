// The arguments of `ortheo` as a user gets them wrong, the switch of the
// plug-in's log, and what --select-text selects.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "support/report_reader.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"
#include "support/usage_errors.h"

namespace ortheo {
namespace {

using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kSample = std::string(ORTHEO_FIXTURES) + "/../../samples/sample.pdf";

TEST(CommandLine, GivesOneLineAndStatusTwoForUnusableArguments) {
    testing::expectUsageErrors(kOrtheo, {
        {{}, "give a command: report, fonts, menus, run-menu or plugin-info; see ortheo --help"},
        {{"bogus"}, "unknown subcommand 'bogus'; see ortheo --help"},
        {{"--frob"}, "unknown option '--frob'; see ortheo --help"},
        {{"report"}, "report needs an input PDF"},
        {{"report", "--frob", kSample}, "unknown option '--frob'; see ortheo report --help"},
        {{"report", kSample, "other.pdf"}, "unexpected argument 'other.pdf'; see ortheo report --help"},
        {{"report", "--password=", kSample}, "--password needs a value"},
        {{"report", kSample, "--password", ""}, "--password needs a value"},
        {{"report", kSample, "--password"}, "--password needs a value"},
        {{"run-menu"}, "run-menu needs the name of a menu item, such as ZORV:OrtheoAbout"},
        {{"menus", "extra"}, "unexpected argument 'extra'; see ortheo menus --help"},
        {{"report", kSample, "--select-text", "3"}, "--select-text 3: page 3 is beyond the document's 1 page"},
    });
}

// A font whose /ToUnicode is no stream, which the plug-in logs.
std::string documentThatLogs() {
    return testing::writeFontsPdf(temporaryPath("logs.pdf"),
                                  {{"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /ToUnicode 5 >>"}});
}

TEST(CommandLine, ReadsTheLogSwitchInAnyCaseAndWarnsOfOtherValues) {
    const std::string input = documentThatLogs();
    const auto run = [&](const std::string& value) {
        return runCommand({"/usr/bin/env", "ORTHEO_LOG_ERRORS=" + value, kOrtheo, "report", input, "-o",
                           temporaryPath("logs-report.pdf")});
    };
    const std::regex logged(
        "ortheo: notes on the ToUnicode map of Helvetica \\([0-9]+ 0 R\\):\n"
        "Error: Unknown type of ToUnicode Table \\(not stream\\) "
        "f:\\\\pdf\\\\pdf\\\\src\\\\tabulorum\\\\pdf\\\\pdf_cmap\\(38\\)\n");
    for (const char* on : {"1", "true", "YES", "On"}) {
        const auto result = run(on);
        EXPECT_EQ(result.exitStatus, 0) << on;
        EXPECT_TRUE(std::regex_match(result.err, logged)) << on << ": " << result.err;
    }
    for (const char* off : {"0", "False", "no", "OFF", ""}) {
        const auto result = run(off);
        EXPECT_EQ(result.exitStatus, 0) << off;
        EXPECT_EQ(result.err, "") << off;
    }
    const auto other = run("maybe");
    EXPECT_EQ(other.exitStatus, 0);
    EXPECT_EQ(other.err,
              "ortheo: warning: ORTHEO_LOG_ERRORS=maybe is neither on (1, true, yes, on) nor off (0, false, no, off, "
              "empty); the log stays off\n");
}

// The example of --help and the README.
TEST(CommandLine, SelectsTextByWhereItStartsInUserSpace) {
    for (const char* area : {"1:0,650,595,700", "1:595,700,0,650"}) {
        const std::string output = temporaryPath("title.pdf");
        const auto result = runCommand({kOrtheo, "report", kSample, "-o", output, "--select-text", area});
        ASSERT_EQ(result.exitStatus, 0) << area << ": " << result.err;
        EXPECT_EQ(testing::outlineLines(output), (std::vector<std::string>{"Fonts by names", "  1 GHLBIZ+CMR17 -> page 1"}))
            << area;
    }
}

}  // namespace
}  // namespace ortheo
