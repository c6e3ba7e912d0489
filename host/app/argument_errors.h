// What is wrong with the command line, in the one line the user sees:
// "ortheo: " and the problem, with exit status 2. CLI11 parses the
// arguments; these turn what it found wrong or left over into our words.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace host {

// An option written "--NAME=" with nothing after the sign, which CLI11
// would take as the option alone and give the next argument as its value.
// Answers the problem, or empty.
std::string emptyOptionValue(int argc, const char* const* argv);

// The problem of a parse that CLI11 refused.
std::string describeParseError(const CLI::App& app, const CLI::ParseError& error);

// The problem of a parse that CLI11 accepted: no subcommand, an argument
// nobody took, or an option given an empty value. Empty when there is none.
std::string unusedArguments(const CLI::App& app);

}  // namespace host
