// The font description: the two lines at the top of a description page that
// name the font and say what the host knows of it.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

// What the description learns of the font's kind, so that the code chart
// need not ask the host again. A font whose attribute record could not be
// read counts as no Type3 font.
struct FontKind {
    bool multiByte = false;
    bool type3 = false;
};

// Writes "Font Name: ..." with the embedded and multi-byte marks, then
// "Type: ... Encoding: ..." with the CID type and protection; advances
// lineY once per line written. A failure on the second line drops it.
FontKind WriteFontDescription(host::Handle textElement, host::Handle font);

}  // namespace ortheo
