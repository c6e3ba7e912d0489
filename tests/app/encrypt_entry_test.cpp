// `ortheo report` on two encrypted files that qpdf refuses although their
// pages can be read: one whose /Encrypt entry is no dictionary, and one that
// encrypts only its embedded files. Both are groff-gs.pdf with its trailer
// changed.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

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
const std::string kSource = std::string(ORTHEO_FIXTURES) + "/groff-gs.pdf";

// The values qpdf --encrypt u o 256 wrote for the user password "u" and the
// owner password "o"; the key they wrap does not depend on the file.
const std::string kPasswordEntries =
    "/O <c65335ba5f8df066dd66cb26ff653b2fe7110890eb1dd01b7bb281bb89e4079c595ae97d40284ced00825dab9bf44eeb> "
    "/OE <008d0a7f48c2aae5d0f7f08d2dc48c651c66919e30ad753e3639bd74cc23bfbf> /P -4 "
    "/Perms <2e9baa302c3172550abbcdc0ee1fd994> /R 6 "
    "/U <a6728464566a60200b67ae1f91cfff8f44749fb534a7e6a9c274ae343595e35acc7959f1ef047b1ec66dee84b4d5594f> "
    "/UE <ac7df940b60d79aa754bc121d89184b9401d88a1e71eeeec31e8380c86750e06> /V 5";

std::string written(const std::string& name, const std::string& bytes) {
    const std::string path = temporaryPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// groff-gs.pdf with `entry` put first in its trailer.
std::string withTrailerEntry(const std::string& entry) {
    std::string bytes = fileBytes(kSource);
    bytes.insert(bytes.rfind("trailer\n<<") + 10, " " + entry);
    return bytes;
}

// groff-gs.pdf updated with an encryption dictionary (object 28, its /Size)
// that encrypts embedded files alone; streams and strings stay in the clear.
std::string encryptingEmbeddedFilesOnly() {
    std::string bytes = fileBytes(kSource);
    const std::size_t object = bytes.size();
    bytes += "28 0 obj\n<< /CF << /StdCF << /AuthEvent /EFOpen /CFM /AESV3 /Length 32 >> >> /EFF /StdCF "
             "/Filter /Standard /Length 256 /StmF /Identity /StrF /Identity " +
             kPasswordEntries + " >>\nendobj\n";
    const std::size_t section = bytes.size();
    char entry[21];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n ", object);
    bytes += "xref\n28 1\n" + std::string(entry) +
             "\ntrailer\n<< /Size 29 /Root 1 0 R /Encrypt 28 0 R /ID [<4BC1853DC11279A3C073C9F8438388B5>"
             "<4BC1853DC11279A3C073C9F8438388B5>] /Prev 12130 >>\nstartxref\n" +
             std::to_string(section) + "\n%%EOF\n";
    return bytes;
}

void expectReportLikeTheSource(const std::string& input, const std::string& warning) {
    const std::string report = temporaryPath("encrypt-entry-report.pdf");
    const auto result = runCommand({kOrtheo, "report", input, "-o", report});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "ortheo: warning: " + warning + "\n");
    EXPECT_EQ(runCommand({"/usr/bin/qpdf", "--check", report}).exitStatus, 0);
    const std::string plain = temporaryPath("encrypt-entry-plain.pdf");
    ASSERT_EQ(runCommand({kOrtheo, "report", kSource, "-o", plain}).exitStatus, 0);
    EXPECT_EQ(outlineLines(report), outlineLines(plain));
}

TEST(EncryptEntry, NoDictionaryIsReadAsNotEncrypted) {
    for (const std::string entry : {"/Encrypt 5", "/Encrypt (none)", "/Encrypt [ ]"}) {
        SCOPED_TRACE(entry);
        expectReportLikeTheSource(written("encrypt-no-dictionary.pdf", withTrailerEntry(entry)),
                                  "the /Encrypt entry of the trailer is no dictionary: read as not encrypted");
    }
}

TEST(EncryptEntry, EmbeddedFilesAloneNeedNoPassword) {
    const std::string input = written("encrypted-attachments.pdf", encryptingEmbeddedFilesOnly());
    expectReportLikeTheSource(input, "only the embedded files are encrypted: read without a password");
    // With its password it is read as it is, without a word.
    const auto opened = runCommand({kOrtheo, "report", input, "--password", "u", "-o", temporaryPath("u.pdf")});
    EXPECT_EQ(opened.exitStatus, 0);
    EXPECT_EQ(opened.err, "");

    // What its /P forbids stays forbidden: -20 lacks the copying bit of -4.
    std::string forbidding = encryptingEmbeddedFilesOnly();
    forbidding.replace(forbidding.find("/P -4 "), 6, "/P -20");
    const std::string noCopying = written("attachments-no-copying.pdf", forbidding);
    const auto refused = runCommand({kOrtheo, "report", noCopying, "-o", temporaryPath("never.pdf")});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_EQ(refused.err, "ortheo: warning: only the embedded files are encrypted: read without a password\n"
                           "ortheo: " + noCopying + ": the report command is disabled for this document: its "
                           "permissions forbid copying content\n");
}

TEST(EncryptEntry, EncryptedStreamsStillNeedTheirPassword) {
    std::string bytes = encryptingEmbeddedFilesOnly();
    bytes.replace(bytes.find("/StmF /Identity"), 15, "/StmF /StdCF   ");
    const std::string input = written("encrypted-streams.pdf", bytes);
    const auto result = runCommand({kOrtheo, "report", input, "-o", temporaryPath("never.pdf")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "ortheo: " + input + ": the password is wrong or missing (give it with --password)\n");
}

}  // namespace
}  // namespace ortheo
