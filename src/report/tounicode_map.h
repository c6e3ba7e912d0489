// The ToUnicode map: a font's second report page lists its ToUnicode CMap,
// three header lines and every mapping, four to a row, each with samples of
// the glyphs it covers drawn in the font itself.
#pragma once

#include "plugin/host_services.h"
#include "report/text_pages.h"

namespace ortheo {

// Answers 1 when the font has a ToUnicode CMap and its listing was
// written, 0 when it has none (nothing is written then). A listing longer
// than the page goes on on the pages that follow.
int WriteToUnicodeMap(TextPages& pages, host::Handle font);

}  // namespace ortheo
