// `ortheo report`, `ortheo menus` and `ortheo run-menu` as a user runs them:
// exit status, the exact lines on standard error, and the report written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include <unistd.h>

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
    EXPECT_EQ(notPdf.err, "ortheo: " + text + ": is not a PDF file\n");
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
    // The owner's password grants every permission.
    const auto owner = runCommand({kOrtheo, "report", input, "-o", output, "--password", "owner"});
    EXPECT_EQ(owner.exitStatus, 0) << owner.err;
    EXPECT_EQ(owner.out, "Report: " + output + "\n");
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
    EXPECT_EQ(bad.err, "ortheo: --select-text x: \"x\" is not a page or a range of pages, such as 3 or 3-5\n");
}

TEST(ReportCommand, ASelectionBeyondTheDocumentIsRefusedAtOnce) {
    const std::string output = temporaryPath("beyond.pdf");
    for (const char* pages : {"1-2147483647", "2147483647", "3", "2-1", "0"}) {
        const auto result =
            runCommand({kOrtheo, "report", kFixtures + "/groff-gs.pdf", "-o", output, "--select-text", pages});
        EXPECT_EQ(result.exitStatus, 2) << pages;
        EXPECT_EQ(result.err.rfind(std::string("ortheo: --select-text ") + pages + ": ", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_FALSE(exists(output));
}

// A one-page PDF whose page shows nothing and has no resources.
std::string blankPage(const std::string& name) {
    const std::string text = temporaryPath(name + ".txt");
    std::ofstream(text) << "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
                           "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
                           "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >> endobj\n"
                           "trailer << /Root 1 0 R >>\n%%EOF\n";
    const std::string path = temporaryPath(name + ".pdf");
    runCommand({"/usr/bin/qpdf", text, path});  // qpdf adds the cross-reference table
    return path;
}

TEST(ReportCommand, WritesNoReportWithoutPagesAndSaysWhy) {
    const std::string blank = blankPage("blank");
    const std::string output = temporaryPath("blank-report.pdf");
    const auto noFonts = runCommand({kOrtheo, "report", blank, "-o", output});
    EXPECT_EQ(noFonts.exitStatus, 3);
    EXPECT_EQ(noFonts.err, "ortheo: " + blank + " uses no fonts; no report written\n");
    EXPECT_EQ(noFonts.out, "");

    const auto noText = runCommand(
        {kOrtheo, "report", kFixtures + "/groff-gs.pdf", "-o", output, "--select-text", "1:0,0,1,1"});
    EXPECT_EQ(noText.exitStatus, 3);
    EXPECT_EQ(noText.err, "ortheo: " + kFixtures +
                              "/groff-gs.pdf: the text selected by --select-text 1:0,0,1,1 uses no fonts; "
                              "no report written\n");
    EXPECT_FALSE(exists(output));
}

// A ToUnicode stream of a few kilobytes that inflates past what the host
// reads: the report lists what was read, and its copy of the font leaves the
// stream out, so that the report is no bomb for its own readers.
TEST(ReportCommand, AnOversizedToUnicodeMapStaysOutOfTheReport) {
    std::string cmap = "/CIDInit /ProcSet findresource begin\n";
    const std::string comment = "% " + std::string(1000, '.') + "\n";
    while (cmap.size() < (17 << 20)) cmap += comment;
    const auto sample = testing::writeToUnicodePdf(temporaryPath("tounicode-bomb.pdf"), cmap);
    const std::string output = temporaryPath("tounicode-bomb-report.pdf");

    const auto result = runCommand({kOrtheo, "report", sample.path, "-o", output});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(std::regex_match(result.err, std::regex("ortheo: warning: the ToUnicode map of [0-9]+ 0 R decodes to "
                                                         "more than 16 MB; the report's copy of the font goes without it\n")))
        << result.err;
    const auto objects = runCommand({"/usr/bin/qpdf", "--json=2", "--json-key=qpdf", output});
    ASSERT_EQ(objects.exitStatus, 0) << objects.err;
    EXPECT_EQ(objects.out.find("/ToUnicode"), std::string::npos) << "the report carries the map along";
}

TEST(ReportCommand, ChecksWhereTheReportGoesBeforeTheAnalysis) {
    const std::string folder = temporaryPath("a-folder");
    std::filesystem::create_directories(folder);
    const std::string input = kFixtures + "/groff-gs.pdf";

    const auto directoryInput = runCommand({kOrtheo, "report", folder, "-o", temporaryPath("never3.pdf")});
    EXPECT_EQ(directoryInput.exitStatus, 1);
    EXPECT_EQ(directoryInput.err, "ortheo: " + folder + ": is a directory\n");

    const auto directoryOutput = runCommand({kOrtheo, "report", input, "-o", folder + "/"});
    EXPECT_EQ(directoryOutput.exitStatus, 2);
    EXPECT_EQ(directoryOutput.err, "ortheo: " + folder + "/: is a directory; give the report a file name\n");

    const std::string nowhere = folder + "/missing/report.pdf";
    const auto missingFolder = runCommand({kOrtheo, "report", input, "-o", nowhere});
    EXPECT_EQ(missingFolder.exitStatus, 2);
    EXPECT_EQ(missingFolder.err, "ortheo: " + nowhere + ": there is no folder " + folder + "/missing\n");

    std::filesystem::permissions(folder, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    const auto readOnly = runCommand({kOrtheo, "report", input, "-o", folder + "/report.pdf"});
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    if (getuid() != 0) {  // root may write anywhere
        EXPECT_EQ(readOnly.exitStatus, 2);
        EXPECT_EQ(readOnly.err, "ortheo: " + folder + "/report.pdf: the folder " + folder + " is not writable\n");
    }
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
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_EQ(unknown.err, "ortheo: no menu item is named \"NoSuchItem\"; see ortheo menus\n");
}

TEST(RunMenuCommand, TellsTheReportItsPagesOrThatThereAreNoFonts) {
    const auto report = runCommand({kOrtheo, "run-menu", "ZORV:Ortheo", kFixtures + "/groff-gs.pdf"});
    EXPECT_EQ(report.exitStatus, 0) << report.err;
    EXPECT_TRUE(std::regex_match(report.out, std::regex("Opened in a new window: a document of [0-9]+ pages\n")))
        << report.out;

    const std::string blank = blankPage("menu-blank");
    const auto noFonts = runCommand({kOrtheo, "run-menu", "ZORV:Ortheo", blank});
    EXPECT_EQ(noFonts.exitStatus, 3);
    EXPECT_EQ(noFonts.err, "ortheo: " + blank + " uses no fonts; no report written\n");
    EXPECT_EQ(noFonts.out, "");
}

}  // namespace
}  // namespace ortheo
