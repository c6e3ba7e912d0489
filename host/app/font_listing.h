// The facts of `ortheo fonts`: one row per distinct font of the selected
// pages, from the host's font model, with the codes each font draws.
//
// A font's pages are those whose fonts (`Fonts::fontsOfPage`, the report's
// enumeration) hold it, and those where the walk finds it drawn. The codes
// come from the walk of every content stream that draws text (view/
// text_selection.h): the page's content and the forms it draws, the normal
// appearance of each annotation (its stream, or each stream of its state
// dictionary), and the glyph procedures of each Type3 font drawn, with the
// font's own /Resources. Each form and each Type3 font is walked once per
// document, and pages whose content and resources are the same as an
// earlier page's are not walked again: what they draw was counted there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

#include "app/font_codes.h"
#include "core/handles.h"
#include "model/font_facts.h"
#include "view/text_selection.h"

namespace host {

class Fonts;

// Codes without a Unicode value shown per font, at most.
constexpr std::size_t kCodeExamples = 5;

struct CodeExample {
    DrawnCode code;
    int page = 0;  // 0-based: a page where the code is drawn
};

struct CodeUse {
    std::uint64_t distinct = 0;
    std::uint64_t withoutUnicode = 0;  // 0 when unknown
    bool unknown = false;              // the font's codes have no Unicode value that can be told
    std::vector<CodeExample> examples; // the first codes without Unicode, in the order met
};

struct FontRow {
    QPDFObjectHandle dict;
    std::string object;  // "12 0 R"; empty for a dictionary written inline
    FontAttributes attributes;
    bool subset = false;  // the name starts with a six-letter tag and "+"
    bool embedded = false;
    std::shared_ptr<const ToUnicodeSummary> toUnicode;  // null without a ToUnicode stream
    std::vector<PageRange> pages;                       // 0-based, ascending, joined
    CodeUse codes;
};

struct FontListing {
    std::vector<FontRow> fonts;  // in the order first met
    bool codesWalked = false;
};

// The listing of the given pages (ascending ranges, 0-based, no page
// twice). A page whose content cannot be read gets one warning line, and
// its codes are left out.
FontListing listFonts(Fonts& fonts, Handle document, QPDF& pdf, const std::vector<PageRange>& pages, bool walkCodes);

// Pages as the user counts them, in compact ranges: "1-3,7".
std::string compactPages(const std::vector<PageRange>& pages);

}  // namespace host
