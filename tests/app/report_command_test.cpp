// `ortheo report`, `ortheo menus` and `ortheo run-menu` as a user runs them:
// exit status, the exact lines on standard error, and the report written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/report_reader.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kFixtures = ORTHEO_FIXTURES;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// A copy of a fixture in a fresh place, so the default output lands there.
std::string copyOf(const std::string& fixture, const std::string& name) {
    const std::string path = temporaryPath(name);
    std::filesystem::copy_file(kFixtures + "/" + fixture, path, std::filesystem::copy_options::overwrite_existing);
    return path;
}

std::string encrypted(const std::string& userPassword, const std::string& name) {
    const std::string path = temporaryPath(name);
    const auto made = runCommand({"/usr/bin/qpdf", "--encrypt", userPassword, "owner", "256", "--extract=n", "--",
                                  kFixtures + "/groff-gs.pdf", path});
    EXPECT_EQ(made.exitStatus, 0) << made.err;
    return path;
}

TEST(ReportCommand, WritesTheReportOfRealProducersBesideTheInput) {
    for (const char* fixture : {"latex.pdf", "groff-gs.pdf", "cairo.pdf"}) {
        const std::string input = copyOf(fixture, std::string("input-") + fixture);
        const std::string output = input.substr(0, input.size() - 4) + "-fonts.pdf";
        const auto result = runCommand({kOrtheo, "report", input});
        ASSERT_EQ(result.exitStatus, 0) << fixture << ": " << result.err;
        EXPECT_EQ(result.out, "Report: " + output + "\n");
        const auto checked = runCommand({"/usr/bin/qpdf", "--check", output});
        EXPECT_EQ(checked.exitStatus, 0) << fixture << ": " << checked.out;
        EXPECT_GT(testing::pageCount(output), 1) << fixture;
    }
}

TEST(ReportCommand, SaysInOneLineWhatIsWrongWithTheInput) {
    const auto missing = runCommand({kOrtheo, "report", "/nonexistent/in.pdf", "-o", temporaryPath("never.pdf")});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "ortheo: /nonexistent/in.pdf: no such file\n");

    const std::string text = temporaryPath("words.pdf");
    std::ofstream(text) << "just words\n";
    const auto notPdf = runCommand({kOrtheo, "report", text, "-o", temporaryPath("never2.pdf")});
    EXPECT_EQ(notPdf.exitStatus, 1);
    EXPECT_EQ(notPdf.err.rfind("ortheo: " + text + ": not a PDF file", 0), 0u) << notPdf.err;
    EXPECT_EQ(std::count(notPdf.err.begin(), notPdf.err.end(), '\n'), 1);
    EXPECT_FALSE(exists(temporaryPath("never.pdf")));
    EXPECT_FALSE(exists(temporaryPath("never2.pdf")));
}

TEST(ReportCommand, NeverWritesOverItsInput) {
    const std::string input = copyOf("groff-gs.pdf", "keep.pdf");
    const auto before = std::filesystem::file_size(input);
    const auto result = runCommand({kOrtheo, "report", input, "-o", input});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "ortheo: " + input + ": the report would overwrite its input; choose another -o\n");
    EXPECT_EQ(std::filesystem::file_size(input), before);
}

TEST(ReportCommand, RefusesADocumentWhosePermissionsForbidCopying) {
    const std::string input = encrypted("", "no-copy.pdf");
    const std::string output = temporaryPath("no-copy-report.pdf");
    const auto result = runCommand({kOrtheo, "report", input, "-o", output});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "ortheo: " + input +
                              ": the report command is disabled for this document: its permissions forbid copying "
                              "content\n");
    EXPECT_FALSE(exists(output));
}

TEST(ReportCommand, AsksForTheUserPassword) {
    const std::string input = encrypted("secret", "locked.pdf");
    const std::string output = temporaryPath("locked-report.pdf");
    const auto without = runCommand({kOrtheo, "report", input, "-o", output});
    EXPECT_EQ(without.exitStatus, 1);
    EXPECT_EQ(without.err, "ortheo: " + input + ": the password is wrong or missing (give it with --password)\n");
    const auto wrong = runCommand({kOrtheo, "report", input, "-o", output, "--password", "guess"});
    EXPECT_EQ(wrong.exitStatus, 1);
    EXPECT_FALSE(exists(output));
    // The owner forbade copying, so the right password opens it and the command still refuses.
    const auto right = runCommand({kOrtheo, "report", input, "-o", output, "--password", "secret"});
    EXPECT_EQ(right.exitStatus, 1);
    EXPECT_NE(right.err.find("its permissions forbid copying content"), std::string::npos) << right.err;
}

TEST(ReportCommand, ASelectionReportsOnlyTheSelectedFonts) {
    const std::string output = temporaryPath("selected.pdf");
    const auto result = runCommand({kOrtheo, "report", kFixtures + "/groff-gs.pdf", "-o", output, "--select-text", "2"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const auto outline = testing::outlineLines(output);
    ASSERT_FALSE(outline.empty());
    EXPECT_EQ(outline.front(), "Fonts by names");
    EXPECT_EQ(std::count(outline.begin(), outline.end(), "Fonts by pages"), 0);

    const auto bad = runCommand({kOrtheo, "report", kFixtures + "/groff-gs.pdf", "-o", output, "--select-text", "x"});
    EXPECT_EQ(bad.exitStatus, 2);
    EXPECT_EQ(bad.err, "ortheo: --select-text x: expected PAGES[:X0,Y0,X1,Y1], such as 1,3-5:0,0,300,400\n");
}

TEST(MenusCommand, ShowsWhatThePluginRegistered) {
    const auto result = runCommand({kOrtheo, "menus"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find("Menu \"Advanced\"\n  item \"ortheo\" ZORV:Ortheo: execute callback, data 0; enabled "
                              "callback, data 16; marked callback, data 0\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("  button ZORV:Ortheo with an image"), std::string::npos);
    EXPECT_NE(result.out.find("Tools: 1 registered by plug-ins"), std::string::npos);
}

TEST(RunMenuCommand, ShowsTheHelpAndAboutNotesAsAlerts) {
    const auto help = runCommand({kOrtheo, "run-menu", "ZORV:OrtheoHelp"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.err,
              "ortheo: Press Document Ortheo menu item or  Loop Tool button in Advanced Edit toolbar.\n"
              "Detailed Font info will be created in new PDF document. \n");
    const auto about = runCommand({kOrtheo, "run-menu", "ZORV:OrtheoAbout"});
    EXPECT_EQ(about.exitStatus, 0);
    EXPECT_EQ(about.err.rfind("ortheo: About Ortheo\nOrtheo make report which allows you to make deep PDF fonts "
                              "analyze\n ",
                              0),
              0u)
        << about.err;
    const auto unknown = runCommand({kOrtheo, "run-menu", "NoSuchItem"});
    EXPECT_EQ(unknown.exitStatus, 1);
    EXPECT_EQ(unknown.err, "ortheo: no menu item is named \"NoSuchItem\"\n");
}

}  // namespace
}  // namespace ortheo
