// How `ortheo fonts` writes its listing: a table whose columns line up, or
// one JSON document (the keys are in the README), and the lines of the
// Unicode check.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/font_listing.h"

namespace host {

// The table, a header line, a rule and a line per font; without the code
// columns when the codes were not walked.
std::string fontTable(const FontListing& listing);

nlohmann::ordered_json fontJson(const FontListing& listing);

// The Unicode check: every font that draws codes without a Unicode value
// fails it; fonts whose codes cannot be told are named, and pass.
struct UnicodeCheck {
    std::vector<const FontRow*> failing;
    std::vector<const FontRow*> unknown;

    bool passed() const { return failing.empty(); }
};

UnicodeCheck checkUnicode(const FontListing& listing);

// A line per failing and unknown font, then the verdict.
std::string checkLines(const UnicodeCheck& check);
nlohmann::ordered_json checkJson(const UnicodeCheck& check);

}  // namespace host
