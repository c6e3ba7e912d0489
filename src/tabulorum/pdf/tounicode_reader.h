// Reading a font's ToUnicode stream through the host: the decoded bytes of
// the stream, read in chunks into one growing buffer.
#pragma once

#include <vector>

#include "plugin/host_services.h"

namespace ortheo {

// Fills `text` with the decoded bytes of the font dictionary's ToUnicode
// stream. Answers false when the font has none: no entry, or an entry that
// is not a stream (which is logged). A host error while reading is raised
// to the caller; what was read stays in `text`.
bool readToUnicodeStream(host::Object fontDict, std::vector<char>& text);

}  // namespace ortheo
