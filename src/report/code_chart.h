// The code chart: all 256 one-byte codes of a font in 16 rows of 16 framed
// cells, each with the code, the glyph the font draws for it, the byte the
// host translates it into (when that differs) and the name the host gives it.
// A multi-byte font's glyphs are those of the two-byte codes 0x0001 to 0x00FF;
// code 00 draws no glyph in any font, only its box.
#pragma once

#include "plugin/host_services.h"
#include "report/font_description.h"

namespace ortheo {

// Draws the chart below the description, from lineY down, with the glyph
// samples the font's kind calls for; answers 1. Leaves textWidth and
// textHeight at the chart's text size.
int WriteCodeChart(host::Handle textElement, host::Handle font, const FontKind& kind);

}  // namespace ortheo
