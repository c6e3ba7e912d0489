// The codes a font draws: how the bytes of a shown string split into codes,
// and whether a code has a Unicode value, for the font listing.
//
// Codes split as the font reads them. A simple font reads one byte a code.
// A Type0 font reads them by its CMap: Identity-H and -V and the predefined
// UCS-2 CMaps two bytes; the UTF-16 ones two bytes, or four for a surrogate
// pair; UTF-32 four and UTF-8 one to four. Other CMaps give their code-space
// ranges through the CMap engine: an embedded CMap stream's, or a
// predefined CMap's from Ghostscript's CMap resources (following usecmap).
// The engine keeps no byte length, so a range reads as many bytes as its
// upper bound needs (<00> <80> one, <8140> <9FFC> two); where no range is
// known, codes are two bytes.
//
// A code has a Unicode value when the font's ToUnicode map maps it; or, for
// a simple font, when the glyph name its encoding gives the code is in the
// glyph list or spells a code point; or, for a Type0 font, when its CMap is
// a predefined Unicode one (its codes are code points). A Type0 font with
// any other CMap and no ToUnicode map cannot be told: unknown.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "model/font_facts.h"

namespace host {

struct DrawnCode {
    std::uint32_t value = 0;
    std::uint8_t bytes = 1;
};

class CodeReader {
public:
    explicit CodeReader(QPDFObjectHandle font);

    // The codes of a shown string, in order; trailing bytes too few for a
    // code are dropped, as readers do.
    std::vector<DrawnCode> split(std::string_view shown) const;

private:
    struct Range {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::uint8_t bytes = 1;
    };

    std::vector<Range> ranges_;  // empty: one byte a code
    std::uint8_t shortest_ = 1;
};

// What a font's ToUnicode map holds, as the CMap engine reads it.
struct ToUnicodeSummary {
    std::uint64_t mappings = 0;    // codes the entries map; a code mapped twice counts twice
    std::uint64_t privateUse = 0;  // of those, mapped to private use code points
    std::vector<std::pair<std::uint32_t, std::uint32_t>> mapped;  // the codes mapped, as sorted disjoint ranges

    bool maps(std::uint32_t code) const;
};

// The font's ToUnicode map; none when it has no ToUnicode stream.
std::shared_ptr<const ToUnicodeSummary> readToUnicode(QPDFObjectHandle font);

enum class UnicodeAnswer { yes, no, unknown };

class UnicodeOracle {
public:
    UnicodeOracle(QPDFObjectHandle font, const ProgramFacts& program, std::shared_ptr<const ToUnicodeSummary> toUnicode);

    UnicodeAnswer of(std::uint32_t code) const;
    // Whether every code's answer is unknown.
    bool unknown() const { return unknown_; }

private:
    std::shared_ptr<const ToUnicodeSummary> toUnicode_;
    std::vector<bool> namedCodes_;  // simple fonts: the one-byte codes whose glyph name has a code point
    bool unicodeCMap_ = false;
    bool unknown_ = false;
};

// Whether a name is one of the predefined CMaps whose codes are Unicode.
bool isUnicodeCMapName(std::string_view name);

}  // namespace host
