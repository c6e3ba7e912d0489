// A loaded plug-in and the fonts that the glyph name tests ask the host
// about: fonts of the fixture PDFs, and fonts made in a new document.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host.h"
#include "support/loaded_plugin.h"

namespace ortheo::testing {

class GlyphFonts {
public:
    GlyphFonts();

    // The document-layer font of object `objectNumber` of a fixture PDF.
    host::Handle fixtureFont(const std::string& fixture, int objectNumber);
    // A font made from a dictionary in qpdf's syntax.
    host::Handle madeFont(const std::string& dict);
    // The same with a descriptor of `flags` that holds `program` under
    // `programKey` (such as "/FontFile2").
    host::Handle madeFont(const std::string& dict, int flags, const std::string& programKey,
                          const std::string& program);

    host::Host& host() { return loaded_.host(); }
    // The document that holds the made fonts.
    host::Handle madeDocument();

private:
    LoadedPlugin loaded_;
    host::Handle madeDocument_ = host::kNoHandle;
};

// The names of PDModel 122, copied, the table handed back at once; none
// when the host gives no table.
std::optional<std::vector<std::string>> glyphNamesOf(host::Handle font);

// PDModel 308 on all 256 codes, into an output filled with spaces.
std::string translatedCodes(host::Handle font);

std::string fixturePath(const std::string& fixture);

}  // namespace ortheo::testing
