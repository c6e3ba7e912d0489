// `ortheo plugin-info` and the built plug-in library, as a user sees them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using testing::runCommand;

const std::string kOrtheo = ORTHEO_EXECUTABLE;
const std::string kPlugin = ORTHEO_PLUGIN;

TEST(PluginLibrary, ExportsPlugInMainAndNothingElse) {
    const auto listed = runCommand({"/usr/bin/nm", "-D", "--defined-only", kPlugin});
    ASSERT_EQ(listed.exitStatus, 0) << listed.err;
    std::istringstream lines(listed.out);
    std::vector<std::string> symbols;
    for (std::string address, kind, name; lines >> address >> kind >> name;) symbols.push_back(name);
    EXPECT_EQ(symbols, std::vector<std::string>{"PlugInMain"});
}

TEST(PluginInfo, ShowsTheHandshakeAndEveryTableWithItsVersion) {
    const auto result = runCommand({kOrtheo, "plugin-info", "--plugin", kPlugin});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("Handshake version: 0x20000\nExtension name: ZORV:ortheo\n"), std::string::npos);
    for (const char* line : {"  AcroSupport       0x60000\n", "  Core              0x50000\n",
                             "  PDSysFont         0x40000\n", "  Win               0x50000\n",
                             "  AcroColorHFT      0x60000\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line;
    }
}

TEST(PluginInfo, AWithheldTableIsTracedAndThePluginNotLoaded) {
    const auto result = runCommand({kOrtheo, "plugin-info", "--plugin", kPlugin, "--withhold", "Win"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "failed on Win version 50000\n"
              "ortheo: the plug-in was not loaded: it needs the table Win, which the host does not offer at an "
              "acceptable version\n");
}

TEST(PluginInfo, AMissingOrBrokenLibraryIsOneClearLine) {
    const auto missing = runCommand({kOrtheo, "plugin-info", "--plugin", "/nonexistent/Ortheo.api"});
    EXPECT_EQ(missing.exitStatus, 2);
    EXPECT_EQ(missing.err, "ortheo: no plug-in library at /nonexistent/Ortheo.api\n");

    const std::string broken = testing::temporaryPath("broken.api");
    std::ofstream(broken) << "not a library";
    const auto notLibrary = runCommand({kOrtheo, "plugin-info", "--plugin", broken});
    EXPECT_EQ(notLibrary.exitStatus, 2);
    EXPECT_EQ(notLibrary.err.rfind("ortheo: " + broken + " is not a loadable plug-in library: ", 0), 0u);
    EXPECT_EQ(std::count(notLibrary.err.begin(), notLibrary.err.end(), '\n'), 1);
}

TEST(PluginInfo, ReadsAWithheldVersionInHexadecimalAsTheTracePrintsIt) {
    for (const char* version : {"Win=50000", "Win=0x50000", "Win=0X50000"}) {
        const auto result = runCommand({kOrtheo, "plugin-info", "--plugin", kPlugin, "--withhold", version});
        EXPECT_EQ(result.exitStatus, 2) << version;
        EXPECT_EQ(result.err.rfind("failed on Win version 50000\n", 0), 0u) << version << ": " << result.err;
    }
    const std::pair<const char*, const char*> refused[] = {
        {"Nope=1", "ortheo: --withhold Nope=1: the host has no table named Nope\n"},
        {"Win=5x", "ortheo: --withhold Win=5x: expected a hexadecimal version, such as Win=0x50000\n"},
        {"Win=", "ortheo: --withhold Win=: expected a hexadecimal version, such as Win=0x50000\n"},
        {"Win=40000", "ortheo: --withhold Win=40000: the host offers Win only at 0x50000\n"},
        {"Core=0x60000", "ortheo: --withhold Core=0x60000: the host offers Core only at 0x20000 and 0x50000\n"},
    };
    for (const auto& [argument, line] : refused) {
        const auto result = runCommand({kOrtheo, "plugin-info", "--plugin", kPlugin, "--withhold", argument});
        EXPECT_EQ(result.exitStatus, 2) << argument;
        EXPECT_EQ(result.err, line);
        EXPECT_EQ(result.out, "");
    }
}

// A bare file name is a file in the current folder, as for any other path.
TEST(PluginInfo, TakesABareFileNameForAFileInTheCurrentFolder) {
    const std::filesystem::path folder = std::filesystem::path(kPlugin).parent_path();
    const std::string name = std::filesystem::path(kPlugin).filename().string();
    const auto here = runCommand({"/usr/bin/env", "-C", folder.string(), kOrtheo, "plugin-info", "--plugin", name});
    EXPECT_EQ(here.exitStatus, 0) << here.err;
    EXPECT_NE(here.out.find("Extension name: ZORV:ortheo\n"), std::string::npos);
}

TEST(Ortheo, AnswersVersionAndHelp) {
    const auto version = runCommand({kOrtheo, "--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "ortheo 1.1\n");
    const auto help = runCommand({kOrtheo, "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("plugin-info"), std::string::npos);
}

}  // namespace
}  // namespace ortheo
