#include "app/report_output.h"

#include <unistd.h>

#include <filesystem>

namespace host {
namespace {

bool sameFile(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
    return a && b && a->st_dev == b->st_dev && a->st_ino == b->st_ino;
}

bool writable(const OutputTarget& target) {
    return access(target.path.c_str(), W_OK) == 0 && (target.existing->st_mode & 0222) != 0;
}

std::string fileProblem(const OutputTarget& target) {
    const std::string& named = target.named;
    if (target.existing && S_ISDIR(target.existing->st_mode)) {
        return named + ": is a directory; give the report a file name";
    }
    if (target.existing && !writable(target)) return named + ": permission denied";
    const std::filesystem::path parent = std::filesystem::path(target.path).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder, ignored)) return named + ": there is no folder " + folder;
    if (access(folder.c_str(), W_OK) != 0) return named + ": the folder " + folder + " is not writable";
    return "";
}

}  // namespace

std::optional<struct stat> inputIdentity(const std::string& input) {
    struct stat status {};
    const int found = input == "-" ? fstat(STDIN_FILENO, &status) : stat(input.c_str(), &status);
    if (found != 0) return std::nullopt;
    return status;
}

OutputTarget reportTarget(const std::string& output) {
    return output == "-" ? standardOutputTarget() : outputTargetAt(output);
}

bool writesToStandardOutput(const OutputTarget& target) {
    return target.kind == OutputTarget::Kind::standardOutput ||
           sameFile(target.existing, standardOutputTarget().existing);
}

std::string outputProblem(const OutputTarget& target, const std::optional<struct stat>& input) {
    if (sameFile(target.existing, input)) {
        return target.named + ": the report would overwrite its input; choose another -o";
    }
    switch (target.kind) {
        case OutputTarget::Kind::standardOutput: return "";
        case OutputTarget::Kind::stream:
            return access(target.path.c_str(), W_OK) == 0 ? "" : target.named + ": permission denied";
        case OutputTarget::Kind::file: return fileProblem(target);
    }
    return "";
}

}  // namespace host
