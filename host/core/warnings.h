// The host's warnings: what it met in a document and worked around, as one
// line on standard error, "ortheo: warning: " and the text. The same
// warning is written once per process, however often the same thing is met
// (the facts of one font are asked for several times in a report).
#pragma once

#include <string>

namespace host {

void warnOnce(const std::string& text);

}  // namespace host
