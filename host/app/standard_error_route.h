// Routing what the plug-in writes to standard error through the host's
// error output (core/error_output.h), so that the progress line and the
// subject line know of it.
//
// The plug-in writes to `stderr` itself, as it would in the viewer. The C
// library lets a program set `stderr` like any variable: the route puts an
// unbuffered stream of ours there, whose every write goes on to
// `writePluginText`, and hands the process's own stream to the error
// output as its destination. Standard output is left alone.
#pragma once

namespace host {

// For the rest of the process. Raises nothing; when no stream can be made,
// `stderr` stays as it was and plug-in text goes straight through.
void routePluginStandardError();

}  // namespace host
