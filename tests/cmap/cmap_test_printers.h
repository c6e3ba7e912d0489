// Readable failure messages for the CMap engine's records.
#pragma once

#include <ostream>

#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {

inline void PrintTo(const CMapMapping& mapping, std::ostream* out) {
    *out << std::hex << "{" << mapping.firstCode << "-" << mapping.lastCode << " -> " << mapping.firstTarget << "}"
         << std::dec;
}

inline void PrintTo(const CodeSpaceRange& range, std::ostream* out) {
    *out << std::hex << "{" << range.low << "-" << range.high << "}" << std::dec;
}

}  // namespace ortheo
