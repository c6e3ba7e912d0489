// Runs a program and collects what it printed and how it ended.
#pragma once

#include <string>
#include <vector>

namespace ortheo::testing {

struct CommandResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

CommandResult runCommand(const std::vector<std::string>& arguments);

}  // namespace ortheo::testing
