// The font operations as the plug-in calls them, and pdffonts as the
// independent reader, for the font tests.
#pragma once

#include <string>
#include <vector>

#include "plugin/host_services.h"

namespace ortheo::testing {

// The document-layer fonts that PDModel 95 reports for one page.
std::vector<host::Handle> enumeratedFonts(host::Handle document, std::int32_t pageIndex);

// PDModel 118 with the plug-in's 256-byte buffer.
std::string fontNameOf(host::Handle font);

// The object number of the font's dictionary (PDModel 135); 0 for an
// inline dictionary.
int objectNumberOf(host::Handle font);

// The same slot one generation on (see core/handles.h): a stale handle.
inline host::Handle staleHandle(host::Handle handle) { return handle + (1u << 18); }

// A font as pdffonts lists it for one page.
struct ListedFont {
    std::string name;
    std::string type;      // "Type 1", "Type 1C", "TrueType", ...
    std::string encoding;  // "WinAnsi", "Builtin", "Custom", "Identity-H", ...
    bool embedded = false;
    int objectNumber = 0;
};
std::vector<ListedFont> pdffontsOfPage(const std::string& path, int pageNumber);

}  // namespace ortheo::testing
