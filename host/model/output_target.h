// Where a document is written, worked out before it is made, and the one
// place that writes it.
//
// - Standard output, a device or a FIFO is written straight, in one pass:
//   no temporary file and no rename, which would put a regular file in the
//   place of /dev/null or of a pipe.
// - A regular file, new or existing, is replaced atomically: a temporary
//   file in its own folder, synced, then renamed over it. An existing file
//   keeps its mode, and its owner where the process may keep it.
// - A symbolic link is followed to the file it leads to (which need not
//   exist yet); that file is replaced, in its own folder, and the link stays.
//
// The temporary file is removed when a write fails, and by
// removeTemporaryOutput() when one of kInterruptingSignals ends the run.
#pragma once

#include <sys/stat.h>

#include <array>
#include <csignal>
#include <optional>
#include <string>
#include <string_view>

namespace host {

struct OutputTarget {
    enum class Kind { standardOutput, stream, file };

    Kind kind = Kind::file;
    std::string named;  // as the user gave it
    std::string path;   // a file: its links followed; a stream: as named
    std::optional<struct stat> existing;  // what stands there now, if anything
};

OutputTarget standardOutputTarget();

// What `path` leads to. Raises HostError (kErrFileOpen) when its links do
// not end.
OutputTarget outputTargetAt(const std::string& path);

// Writes `bytes` to the target. Raises HostError (kErrFileOpen) naming the
// target and why; a file that was there stays as it was.
void writeOutput(const OutputTarget& target, std::string_view bytes);

// The signals that end a run and must take its temporary file with them;
// they are held back while the file is created, renamed or removed.
inline constexpr std::array<int, 3> kInterruptingSignals{SIGINT, SIGTERM, SIGHUP};

// Removes the temporary file of a write in progress, if there is one. Safe
// to call from a handler of kInterruptingSignals.
void removeTemporaryOutput();

}  // namespace host
