// Saving a document: the temporary file it is written through belongs to
// this run alone, whatever already lies in the folder.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "model/documents.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Handle;
using testing::runCommand;
using testing::temporaryPath;

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

// Another run with the same process id (in another PID namespace, sharing
// the folder) or anyone who may write there can hold the first temporary
// names: a file of its own, or a link to a file it wants overwritten.
TEST(DocumentsSave, WritesThroughATemporaryFileOfItsOwn) {
    const std::string folder = temporaryPath("taken-names");
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/report.pdf";
    const std::string pid = std::to_string(getpid());
    const std::string victim = temporaryPath("victim.txt");
    write(victim, "not to be touched");
    std::filesystem::create_symlink(victim, path + ".part-" + pid);
    write(path + ".part-" + pid + "-1", "another run's report");

    testing::LoadedPlugin loaded;
    const Handle document = callHost<host::op::DocCreate>();
    const host::FixedRect box{0, 100 * host::kFixedOne, 100 * host::kFixedOne, 0};
    callHost<host::op::PageRelease>(callHost<host::op::DocCreatePage>(document, -1, box));
    loaded.host().documents().save(document, path);

    EXPECT_EQ(contents(victim), "not to be touched");
    EXPECT_EQ(contents(path + ".part-" + pid + "-1"), "another run's report");
    EXPECT_EQ(runCommand({"/usr/bin/qpdf", "--check", path}).exitStatus, 0);
    EXPECT_EQ(namesIn(folder),
              (std::set<std::string>{"report.pdf", "report.pdf.part-" + pid, "report.pdf.part-" + pid + "-1"}));
}

}  // namespace
}  // namespace ortheo
