// How a command of the command line fails: with one "ortheo: ..." line on
// standard error and an exit status, whatever stopped it.
#pragma once

#include <functional>
#include <string>

#include "core/errors.h"

namespace host {

// A failure that ends the command with `message` and `status`.
struct CommandFailure {
    int status;
    std::string message;
};

[[noreturn]] void fail(int status, const std::string& message);

// What keeps the input from being read at all, told before anything is
// loaded: none given (status 2), no such file, a directory (status 1).
// "-", standard input, is told of when it is read.
void checkInput(const std::string& command, const std::string& input);

// A document that could not be opened, as a failure of status 1; a wrong
// or missing password says how to give one.
[[noreturn]] void failToOpen(const HostError& error);

// Runs `command`: its status, or the status of the failure that stopped
// it, after its line is written. A plug-in library that cannot be loaded
// is status 2; a host error, and anything else, status 1.
int runCommand(const std::function<int()>& command);

}  // namespace host
