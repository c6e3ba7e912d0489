// How a run of ortheo ends on a signal or at a file size limit.
//
// SIGINT, SIGTERM and SIGHUP remove the temporary file of a report being
// written and then end the process by the same signal, so that its parent
// sees the usual status (128 + the signal's number in a shell) and an
// existing file at the output path stays as it was. A signal that the
// parent had ignored stays ignored, as nohup wants.
//
// SIGXFSZ is ignored: a write past the file size limit (ulimit -f) then
// fails with EFBIG and is told like any other failed write.
#pragma once

namespace host {

void handleInterruptions();

}  // namespace host
