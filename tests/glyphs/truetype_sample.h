// A tiny TrueType program for tests of built-in encodings: four empty
// glyphs (.notdef, "Euro", "quotedblleft", "A"), named by a format 2 post
// table, reached from codes 0x80, 0x93 and 0x41 through one cmap.
#pragma once

#include <string>

namespace ortheo::testing {

enum class SampleCmap {
    WindowsSymbol,    // (3,0), the codes placed at U+F000 and up
    MacintoshRoman,   // (1,0), the codes as they are
};

std::string trueTypeWithNamedGlyphs(SampleCmap cmap);

}  // namespace ortheo::testing
