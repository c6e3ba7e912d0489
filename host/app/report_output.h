// Where `ortheo report` writes its report, checked before the analysis so
// that a report that could not be written is told at once rather than
// after the work.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "model/output_target.h"

namespace host {

// What the input is on disk, so that no name of it (a link, a hard link,
// /dev/fd/N, standard input redirected from it) is taken for the output:
// "-" is standard input. None when it cannot be found.
std::optional<struct stat> inputIdentity(const std::string& input);

// The target of -o: "-" is standard output.
OutputTarget reportTarget(const std::string& output);

// Whether the report goes to standard output: "-", or a name of what
// standard output is (/dev/stdout, say), which then holds nothing else.
bool writesToStandardOutput(const OutputTarget& target);

// Why the report cannot go to `target`, in words for the user; empty when
// nothing stands in the way. A file without any write bit is refused even
// to a process that could write it anyway, as to root.
std::string outputProblem(const OutputTarget& target, const std::optional<struct stat>& input);

}  // namespace host
