// The glyph name of each one-byte code of a font, built the way PDF readers
// build a simple font's encoding (PDModel 122 hands it out, PDModel 308
// translates with it).
//
// Pure functions of a font dictionary and what its program carries.
// Nothing here raises for a damaged font: what cannot be read names
// nothing, as a viewer would still show such a font.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <qpdf/QPDFObjectHandle.hh>

#include "model/encodings/encoding_tables.h"

namespace host::encodings {

// One glyph name per code; an empty name is none (.notdef is none too).
using CodeNames = std::array<std::string, 256>;

CodeNames codeNamesOf(const EncodingVector& vector);

// The encoding a font program carries itself, read from its FreeType face:
// a Type 1 program's encoding vector, a bare CFF program's encoding, or a
// TrueType or OpenType program's symbolic (3,0) or Macintosh (1,0) cmap
// with the glyph names of its post table. None when the program carries no
// such encoding with names.
std::optional<CodeNames> faceEncoding(FT_Face face);

// Gives the built-in encoding of the font's program (none without one). It
// is asked for only when the font's dictionary names no base encoding.
using BuiltInEncoding = std::function<std::optional<CodeNames>()>;

// The names of a simple font's codes: a base encoding, then the encoding
// dictionary's /Differences on top. The base is the one /Encoding or
// /BaseEncoding names (Standard, WinAnsi, MacRoman, MacExpert); else, for
// the standard Symbol and ZapfDingbats fonts, their own encodings; else the
// embedded program's built-in encoding; else, for a font not flagged
// symbolic, StandardEncoding; else nothing. A Type3 font names only its
// /Differences. A Type0 font has no one-byte names: none.
std::optional<CodeNames> fontCodeNames(QPDFObjectHandle font, const BuiltInEncoding& builtIn);

}  // namespace host::encodings
