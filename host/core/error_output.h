// Standard error as the host and the plug-in share it.
//
// The host writes its own lines (warnings, alerts, failures) here. What the
// plug-in writes to standard error itself (the CMap engine's notes, its
// log) reaches `writePluginText` once the command line has routed the
// process's `stderr` through it. Both kinds of text pass the same gate:
//
// - a status line (a command's progress), while one is shown, is erased
//   before the text and drawn again once the text has ended its line;
// - a subject line, while one is set, is written once before the plug-in's
//   first text about it, so that notes that name nothing say what they
//   are about.
//
// Standard error is one stream for the whole process, so this state is one
// too. All text goes to the stream given to `setErrorDestination`, or to
// the current `stderr` until one is given.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace host {

// The host's own text: whole lines.
void writeHostLines(std::string_view text);

// Text the plug-in wrote to standard error, in the pieces it wrote it.
void writePluginText(std::string_view text);

// Shows `line` (no line end) as the status line, or draws it anew.
void showStatusLine(std::string_view line);
// Erases the status line and shows none.
void hideStatusLine();

// Sets the line (without its line end) that the plug-in's next text is
// about; it is written before that text, once. An empty line sets none.
void setPluginTextSubject(std::string line);

// Where all text goes from now on; null returns to the current `stderr`.
void setErrorDestination(std::FILE* destination);

}  // namespace host
