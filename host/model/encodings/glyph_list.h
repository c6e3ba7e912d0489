// Glyph names to Unicode, as PDF readers map them: the standard glyph list
// (encoding_tables.h) and the names that spell their code points (uniXXXX,
// uXXXX to uXXXXXX).
#pragma once

#include <string>
#include <string_view>

namespace host::encodings {

// The code points a glyph name stands for: a suffix after the first period
// is dropped ("Euro.alt" is "Euro"), ligature components joined by
// underscores map one by one ("f_f" is two code points), and a component
// that is neither listed nor spelled out maps to nothing. Empty when the
// name tells nothing, as for ".notdef".
std::u32string unicodeOfGlyphName(std::string_view name);

}  // namespace host::encodings
