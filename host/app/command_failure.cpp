#include "app/command_failure.h"

#include <filesystem>
#include <new>

#include "app/plugin_loader.h"
#include "core/error_output.h"

namespace host {
namespace {

int tell(int status, const std::string& message) {
    writeHostLines("ortheo: " + message + "\n");
    return status;
}

}  // namespace

void fail(int status, const std::string& message) { throw CommandFailure{status, message}; }

void checkInput(const std::string& command, const std::string& input) {
    if (input.empty()) fail(2, command + " needs an input PDF");
    if (input == "-") return;
    std::error_code failed;
    const std::filesystem::file_status status = std::filesystem::status(input, failed);
    if (status.type() == std::filesystem::file_type::not_found) fail(1, input + ": no such file");
    if (status.type() == std::filesystem::file_type::directory) fail(1, input + ": is a directory");
}

void failToOpen(const HostError& error) {
    if (error.code() == kErrBadPassword) fail(1, std::string(error.what()) + " (give it with --password)");
    fail(1, error.what());
}

int runCommand(const std::function<int()>& command) {
    try {
        return command();
    } catch (const CommandFailure& failure) {
        return tell(failure.status, failure.message);
    } catch (const PluginLoadError& failure) {
        return tell(2, failure.what());
    } catch (const HostError& failure) {
        return tell(1, failure.what());
    } catch (const std::bad_alloc&) {
        return tell(1, "out of memory");
    } catch (const std::exception& failure) {
        return tell(1, failure.what());
    }
}

}  // namespace host
