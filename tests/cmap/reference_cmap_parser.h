// A second, plain CMap parser to hold the engine's fast one against.
//
// The reference follows the parsing rules word for word, the slow way: every
// token is copied into a 1000-byte buffer, keywords are compared with strcmp
// and hexadecimal strings are read with sscanf "%x". Tests, the benchmark and
// the fuzz target run both parsers on the same text and compare everything
// they produce, the notes included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo::reference {

// Everything a parse produces, in one comparable value.
struct ParsedCMap {
    std::vector<CodeSpaceRange> codeSpaceRanges;
    std::vector<CMapMapping> mappings;
    std::string cmapName;
    std::string cmapType;
    std::string ordering = "(T1UV)";
    std::string notes;  // every note, in the order written
    friend bool operator==(const ParsedCMap&, const ParsedCMap&) = default;
};

// Parses `text` with the reference parser.
ParsedCMap parseWithReference(std::string_view text);

// Parses `text` with CMap::parse, capturing its notes.
ParsedCMap parseWithEngine(std::string_view text);

// A readable account of a parse, for the message of a failed comparison.
std::string describe(const ParsedCMap& parsed);

}  // namespace ortheo::reference
