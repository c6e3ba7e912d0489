// Runs a program and collects what it printed and how it ended.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ortheo::testing {

struct CommandResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Standard input is empty unless `standardInput` is given: then the program
// reads those bytes from a pipe.
CommandResult runCommand(const std::vector<std::string>& arguments,
                         const std::optional<std::string>& standardInput = std::nullopt);

// Runs the program with its standard error on a terminal (a pseudo-terminal
// in raw mode, so that line ends arrive as written); `err` is everything
// the terminal received.
CommandResult runCommandOnTerminal(const std::vector<std::string>& arguments);

// The bytes of a file; empty when it cannot be read.
std::string fileBytes(const std::string& path);

}  // namespace ortheo::testing
