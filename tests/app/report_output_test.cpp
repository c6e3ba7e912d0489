// Where `ortheo report` writes, as a user names it: devices, FIFOs,
// standard output, links, files of other modes and owners, read-only files,
// and every other name of its input.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::fileBytes;
using testing::runCommand;
using testing::temporaryPath;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kInput = std::string(ORTHEO_FIXTURES) + "/groff-gs.pdf";

struct stat statusOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

// The report of the input as a plain new file gives: the bytes every other
// way of writing it must give too.
const std::string& expectedReport() {
    static const std::string bytes = [] {
        const std::string path = temporaryPath("plain-report.pdf");
        const auto result = runCommand({kOrtheo, "report", kInput, "-o", path});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return fileBytes(path);
    }();
    return bytes;
}

TEST(ReportOutput, WritesADeviceStraightAndLeavesItADevice) {
    const std::string device = temporaryPath("null-device");
    ASSERT_EQ(mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0) << "tests run as root";
    const struct stat before = statusOf(device);
    const auto result = runCommand({kOrtheo, "report", kInput, "-o", device});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const struct stat after = statusOf(device);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, makedev(1, 3));
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST(ReportOutput, WritesAFifoInOnePass) {
    const std::string fifo = temporaryPath("report.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::string received;
    std::thread reader([&] { received = fileBytes(fifo); });
    const auto result = runCommand({kOrtheo, "report", kInput, "-o", fifo});
    reader.join();
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "Report: " + fifo + "\n");
    EXPECT_TRUE(S_ISFIFO(statusOf(fifo).st_mode));
    EXPECT_EQ(received, expectedReport());
}

TEST(ReportOutput, StandardOutputHoldsTheReportAndNothingElse) {
    for (const char* output : {"-", "/dev/stdout"}) {
        const auto result = runCommand({kOrtheo, "report", kInput, "-o", output});
        EXPECT_EQ(result.exitStatus, 0) << output << ": " << result.err;
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(result.out == expectedReport()) << output << ": " << result.out.size() << " bytes";
    }
}

TEST(ReportOutput, ReplacesWhatALinkLeadsToAndKeepsTheLink) {
    const std::filesystem::path folder = temporaryPath("link-target-folder");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "report.pdf") << "old";
    const std::string link = temporaryPath("link.pdf");
    std::filesystem::create_symlink(folder / "report.pdf", link);
    const std::string dangling = temporaryPath("dangling.pdf");
    std::filesystem::create_symlink("link-target-folder/new.pdf", dangling);

    for (const std::string& output : {link, dangling}) {
        const auto result = runCommand({kOrtheo, "report", kInput, "-o", output});
        EXPECT_EQ(result.exitStatus, 0) << output << ": " << result.err;
        EXPECT_TRUE(std::filesystem::is_symlink(output)) << output;
    }
    EXPECT_EQ(fileBytes(folder / "report.pdf"), expectedReport());
    EXPECT_EQ(fileBytes(folder / "new.pdf"), expectedReport());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2) << "a temporary file was left";
}

TEST(ReportOutput, AReplacedFileKeepsItsModeAndOwner) {
    const std::string output = temporaryPath("private.pdf");
    std::ofstream(output) << "old";
    ASSERT_EQ(chmod(output.c_str(), 0600), 0);
    ASSERT_EQ(chown(output.c_str(), 65534, 65534), 0) << "tests run as root";
    const auto result = runCommand({kOrtheo, "report", kInput, "-o", output});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const struct stat after = statusOf(output);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_uid, 65534u);
    EXPECT_EQ(after.st_gid, 65534u);
    EXPECT_EQ(fileBytes(output), expectedReport());
}

// Refused before the analysis, as root too: no write bit is no permission.
TEST(ReportOutput, RefusesAReadOnlyFile) {
    const std::string output = temporaryPath("read-only.pdf");
    std::ofstream(output) << "old";
    ASSERT_EQ(chmod(output.c_str(), 0444), 0);
    const std::string link = temporaryPath("read-only-link.pdf");
    std::filesystem::create_symlink(output, link);
    for (const std::string& named : {output, link}) {
        const auto result = runCommand({kOrtheo, "report", kInput, "-o", named});
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.err, "ortheo: " + named + ": permission denied\n");
    }
    EXPECT_EQ(fileBytes(output), "old");
}

TEST(ReportOutput, NeverWritesOverItsInputUnderAnyName) {
    const std::string input = temporaryPath("own-input.pdf");
    std::filesystem::copy_file(kInput, input);
    const std::string link = temporaryPath("own-input-link.pdf");
    std::filesystem::create_symlink(input, link);
    const std::string hardLink = temporaryPath("own-input-hard.pdf");
    std::filesystem::create_hard_link(input, hardLink);
    // Opened here without close-on-exec, so that ortheo inherits it.
    const int descriptor = open(input.c_str(), O_RDONLY);
    ASSERT_GE(descriptor, 0);
    const std::string byDescriptor = "/dev/fd/" + std::to_string(descriptor);

    const std::pair<std::string, std::string> namings[] = {
        {input, link}, {link, input}, {input, hardLink}, {input, byDescriptor}, {byDescriptor, input},
    };
    for (const auto& [in, out] : namings) {
        const auto result = runCommand({kOrtheo, "report", in, "-o", out});
        EXPECT_EQ(result.exitStatus, 2) << in << " -o " << out;
        EXPECT_EQ(result.err, "ortheo: " + out + ": the report would overwrite its input; choose another -o\n");
    }
    const auto fromStandardInput = runCommand({"/bin/sh", "-c", kOrtheo + " report - -o " + input + " < " + input});
    EXPECT_EQ(fromStandardInput.exitStatus, 2);
    EXPECT_EQ(fromStandardInput.err, "ortheo: " + input + ": the report would overwrite its input; choose another -o\n");
    close(descriptor);
    EXPECT_EQ(fileBytes(input), fileBytes(kInput));
}

}  // namespace
}  // namespace ortheo
