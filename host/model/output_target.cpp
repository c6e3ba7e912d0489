#include "model/output_target.h"

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/errors.h"

namespace host {
namespace {

// As many links as the system itself follows in one path.
constexpr int kMostLinksFollowed = 40;

// The temporary file being written, if any, for removeTemporaryOutput()
// to remove from a signal handler: a plain buffer and a flag, which a
// handler may read.
char pendingTemporary[4096];
volatile std::sig_atomic_t temporaryPending = 0;

// Holds back the signals that remove the temporary file while it is
// created, renamed or removed, so that a handler never sees it half
// recorded, nor removes a name that another run has taken.
class InterruptionsHeld {
public:
    InterruptionsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : kInterruptingSignals) sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~InterruptionsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    InterruptionsHeld(const InterruptionsHeld&) = delete;
    InterruptionsHeld& operator=(const InterruptionsHeld&) = delete;

private:
    sigset_t before_{};
};

std::optional<struct stat> statusOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return std::nullopt;
    return status;
}

// The file that `path` names once its links are followed; it need not
// exist. Followed here rather than by the system so that the file is
// replaced in its own folder, however the link reaches it.
std::string followLinks(const std::string& named) {
    std::filesystem::path path = named;
    for (int links = 0; links < kMostLinksFollowed; ++links) {
        std::error_code failed;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, failed))) return path.string();
        const std::filesystem::path target = std::filesystem::read_symlink(path, failed);
        if (failed) return path.string();
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    raise(kErrFileOpen, named + ": too many levels of symbolic links");
}

[[noreturn]] void failToWrite(const OutputTarget& target, const std::string& why) {
    raise(kErrFileOpen, target.named + ": the document could not be written (" + why + ")");
}

// Answers empty, or what failed.
std::string writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return std::strerror(written < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return "";
}

void writeStream(const OutputTarget& target, std::string_view bytes) {
    const int descriptor = open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) failToWrite(target, std::strerror(errno));
    std::string failure = writeAll(descriptor, bytes);
    if (close(descriptor) != 0 && failure.empty()) failure = std::strerror(errno);
    if (!failure.empty()) failToWrite(target, failure);
}

// Where the report's bytes begin in standard output, when that is a
// regular file that can be cut back to it; else -1.
off_t regularFileStart(int descriptor) {
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return -1;
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags >= 0 && (flags & O_APPEND) != 0) return status.st_size;
    return lseek(descriptor, 0, SEEK_CUR);
}

// Standard output redirected to a file is cut back on a failed write, so
// that no partial report remains there.
void writeStandardOutput(const OutputTarget& target, std::string_view bytes) {
    std::fflush(stdout);
    const off_t start = regularFileStart(STDOUT_FILENO);
    const std::string failure = writeAll(STDOUT_FILENO, bytes);
    if (failure.empty()) return;
    if (start >= 0 && ftruncate(STDOUT_FILENO, start) != 0) {
        // What could not be cut back is told by the failure itself.
    }
    failToWrite(target, failure);
}

// The owner is kept where the process may set it; the mode always.
std::string keepModeAndOwner(int descriptor, const std::optional<struct stat>& existing) {
    if (!existing) return "";
    if (fchown(descriptor, existing->st_uid, existing->st_gid) != 0) {
        // Only a privileged process may give a file away.
    }
    if (fchmod(descriptor, existing->st_mode & 07777) != 0) return std::strerror(errno);
    return "";
}

// How many names a temporary file tries before writing gives up.
constexpr int kTemporaryNameTries = 100;

// A new file beside `path` that no one else holds: path.part-PID, then
// path.part-PID-1 and so on. O_EXCL refuses a name that exists, a symbolic
// link included, so runs in one folder never share a temporary file, not
// even two with one process id in different PID namespaces, and a link
// planted under the name is never written through. Sets `name` and records
// it as pending; answers the descriptor, or -1 with errno set.
int createTemporaryBeside(const std::string& path, std::string& name) {
    const std::string stem = path + ".part-" + std::to_string(getpid());
    if (stem.size() + 8 > sizeof pendingTemporary) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const InterruptionsHeld held;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
        const int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            std::snprintf(pendingTemporary, sizeof pendingTemporary, "%s", name.c_str());
            temporaryPending = 1;
        }
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

// Renames the temporary file into place; answers empty, or why it could
// not be, and then removes it.
std::string renameIntoPlace(const std::string& temporary, const std::string& path) {
    const InterruptionsHeld held;
    temporaryPending = 0;
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return "";
    const std::string failure = std::strerror(errno);
    unlink(temporary.c_str());
    return failure;
}

void removeTemporary(const std::string& temporary) {
    const InterruptionsHeld held;
    temporaryPending = 0;
    unlink(temporary.c_str());
}

// Written, synced and renamed into place, so that a crash never leaves a
// report that is named but incomplete, and a failure leaves the old file.
void replaceFile(const OutputTarget& target, std::string_view bytes) {
    std::string temporary;
    const int descriptor = createTemporaryBeside(target.path, temporary);
    if (descriptor < 0) failToWrite(target, std::strerror(errno));
    std::string failure = keepModeAndOwner(descriptor, target.existing);
    if (failure.empty()) failure = writeAll(descriptor, bytes);
    if (failure.empty() && fsync(descriptor) != 0) failure = std::strerror(errno);
    if (close(descriptor) != 0 && failure.empty()) failure = std::strerror(errno);
    if (!failure.empty()) {
        removeTemporary(temporary);
        failToWrite(target, failure);
    }
    failure = renameIntoPlace(temporary, target.path);
    if (!failure.empty()) failToWrite(target, failure);
}

}  // namespace

OutputTarget standardOutputTarget() {
    struct stat status {};
    OutputTarget target{OutputTarget::Kind::standardOutput, "standard output", "", std::nullopt};
    if (fstat(STDOUT_FILENO, &status) == 0) target.existing = status;
    return target;
}

// The system follows the links to find what stands there: /dev/stdout
// leads to a pipe that no path names. Only a regular file, or none, is
// replaced, and only then do the links matter.
OutputTarget outputTargetAt(const std::string& path) {
    const std::optional<struct stat> existing = statusOf(path);
    if (existing && !S_ISREG(existing->st_mode) && !S_ISDIR(existing->st_mode)) {
        return {OutputTarget::Kind::stream, path, path, existing};
    }
    return {OutputTarget::Kind::file, path, followLinks(path), existing};
}

void removeTemporaryOutput() {
    if (temporaryPending != 0) unlink(pendingTemporary);
}

void writeOutput(const OutputTarget& target, std::string_view bytes) {
    switch (target.kind) {
        case OutputTarget::Kind::standardOutput: return writeStandardOutput(target, bytes);
        case OutputTarget::Kind::stream: return writeStream(target, bytes);
        case OutputTarget::Kind::file: return replaceFile(target, bytes);
    }
}

}  // namespace host
