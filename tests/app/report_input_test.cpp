// What `ortheo report` reads: a file, standard input, a FIFO, and the one
// line it gives for an input it cannot use.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "model/document_source.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::fileBytes;
using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kInput = std::string(ORTHEO_FIXTURES) + "/groff-gs.pdf";

std::string written(const std::string& name, const std::string& bytes) {
    const std::string path = temporaryPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(ReportInput, ReadsTheDocumentFromStandardInput) {
    const std::string folder = temporaryPath("from-stdin");
    std::filesystem::create_directories(folder);
    const std::string plain = temporaryPath("from-file.pdf");
    ASSERT_EQ(runCommand({kOrtheo, "report", kInput, "-o", plain}).exitStatus, 0);

    for (const char* input : {"-", "/dev/stdin"}) {
        const auto result = runCommand({"/usr/bin/env", "-C", folder, kOrtheo, "report", input}, fileBytes(kInput));
        EXPECT_EQ(result.exitStatus, 0) << input << ": " << result.err;
        EXPECT_EQ(result.out, "Report: stdin-fonts.pdf\n");
        EXPECT_EQ(fileBytes(folder + "/stdin-fonts.pdf"), fileBytes(plain)) << input;
        std::filesystem::remove(folder + "/stdin-fonts.pdf");
    }
}

TEST(ReportInput, ReadsAFifo) {
    const std::string fifo = temporaryPath("input.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << fileBytes(kInput); });
    const std::string output = temporaryPath("fifo-report.pdf");
    const auto result = runCommand({kOrtheo, "report", fifo, "-o", output});
    writer.join();
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "Report: " + output + "\n");
}

TEST(ReportInput, NamesWhatIsWrongWithTheInputOnce) {
    const std::string empty = written("empty.pdf", "");
    const std::string late = written("late-header.pdf", std::string(1020, ' ') + "%PDF-1.4\n" + fileBytes(kInput));
    const std::string damaged = written("damaged.pdf", "%PDF-1.4\nnothing else\n");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"report", empty}, empty + ": is empty"},
        {{"report", late}, late + ": is not a PDF file"},
        {{"report", "/dev/zero"}, "/dev/zero: is not a PDF file"},
        {{"report", "-"}, "standard input: is empty"},
        {{"report", damaged},
         damaged + ": is damaged beyond repair (unable to find trailer dictionary while recovering damaged file)"},
    };
    for (const auto& [arguments, line] : cases) {
        std::vector<std::string> command{kOrtheo};
        command.insert(command.end(), arguments.begin(), arguments.end());
        command.insert(command.end(), {"-o", temporaryPath("never.pdf")});
        const auto result = runCommand(command);
        EXPECT_EQ(result.exitStatus, 1) << line;
        EXPECT_EQ(result.err, "ortheo: " + line + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(temporaryPath("never.pdf")));
}

// Root reads any file, so the test reads it as nobody.
TEST(ReportInput, SaysWhenTheInputMayNotBeRead) {
    const std::string folder = temporaryPath("unreadable");
    std::filesystem::create_directories(folder);
    chmod(std::filesystem::path(folder).parent_path().c_str(), 0711);  // reachable by nobody
    chmod(folder.c_str(), 0777);
    const std::string input = folder + "/noread.pdf";
    std::filesystem::copy_file(kInput, input);
    chmod(input.c_str(), 0200);
    std::vector<std::string> command{kOrtheo, "report", input, "-o", folder + "/report.pdf"};
    if (getuid() == 0) {
        command.insert(command.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    const auto result = runCommand(command);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "ortheo: " + input + ": permission denied\n");
}

TEST(ReportInput, ReadsAStreamOnlyUpToItsLimit) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "0123456789", 10), 10);
    close(ends[1]);
    std::vector<std::string> chunks;
    EXPECT_EQ(host::readToEnd(ends[0], chunks, 3), 0);
    EXPECT_EQ(chunks, std::vector<std::string>{"0123"}) << "one byte past the limit tells that there was more";
    EXPECT_EQ(host::readToEnd(ends[0], chunks, 100), 0);
    EXPECT_EQ(chunks, std::vector<std::string>{"0123456789"});
    close(ends[0]);
    EXPECT_EQ(host::readToEnd(ends[0], chunks, 100), EBADF);
}

}  // namespace
}  // namespace ortheo
