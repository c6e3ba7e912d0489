// The --select-text argument: PAGES[:X0,Y0,X1,Y1], pages 1-based as a list
// of numbers and ranges ("1,3-5"), the rectangle in the page's user space.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "view/text_selection.h"

namespace host {

struct TextSelectionArgument {
    std::vector<PageRange> pages;  // 0-based, as written: they may overlap
    std::optional<UserRect> area;
};

// A selection, or why the text gives none, in words for the user.
struct ParsedTextSelection {
    std::optional<TextSelectionArgument> selection;
    std::string problem;
};

// Parses the argument for a document of `pageCount` pages. Every page must
// be one of the document's, and every range must run forwards; no page
// number, however long, is taken for more than it says.
ParsedTextSelection parseTextSelection(const std::string& text, std::size_t pageCount);

}  // namespace host
