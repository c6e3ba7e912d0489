// Arguments that ortheo cannot use: each ends the run with status 2, one
// "ortheo: ..." line on standard error and nothing on standard output.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/run_command.h"

namespace ortheo::testing {

// The arguments after the program, and the line without its "ortheo: ".
using UsageCase = std::pair<std::vector<std::string>, std::string>;

inline void expectUsageErrors(const std::string& ortheo, const std::vector<UsageCase>& cases) {
    for (const auto& [arguments, line] : cases) {
        std::vector<std::string> command{ortheo};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const CommandResult result = runCommand(command);
        EXPECT_EQ(result.exitStatus, 2) << line;
        EXPECT_EQ(result.err, "ortheo: " + line + "\n");
        EXPECT_EQ(result.out, "") << line;
    }
}

}  // namespace ortheo::testing
