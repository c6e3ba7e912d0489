// The font description: the two lines at the top of a description page that
// name the font and say what the host knows of it.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

// Writes "Font Name: ..." with the embedded and multi-byte marks, then
// "Type: ... Encoding: ..." with the CID type and protection; advances
// lineY once per line written. A failure on the second line drops it.
void WriteFontDescription(host::Handle textElement, host::Handle font);

}  // namespace ortheo
