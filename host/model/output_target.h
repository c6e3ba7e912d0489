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
#pragma once

#include <sys/stat.h>

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

}  // namespace host
