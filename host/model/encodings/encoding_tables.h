// The encoding vectors and the glyph list that PDF readers share, as data.
//
// The definitions are generated at build time from Ghostscript's resources
// (generate_tables.py); this header only declares them. A vector holds the
// glyph name of each code, or null for a code the encoding leaves undefined
// (.notdef). Everything here is constant and lives for the whole program.
#pragma once

#include <array>
#include <span>

namespace host::encodings {

using EncodingVector = std::array<const char*, 256>;

extern const EncodingVector kStandardEncoding;
extern const EncodingVector kWinAnsiEncoding;
extern const EncodingVector kMacRomanEncoding;
extern const EncodingVector kMacExpertEncoding;
extern const EncodingVector kSymbolEncoding;
extern const EncodingVector kDingbatsEncoding;
extern const EncodingVector kPdfDocEncoding;

struct GlyphListEntry {
    const char* name;
    char32_t codePoint;
};

// The standard glyph list, sorted by name (byte order), one code point a name.
std::span<const GlyphListEntry> glyphList();

}  // namespace host::encodings
