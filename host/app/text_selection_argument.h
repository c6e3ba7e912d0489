// The --select-text argument: PAGES[:X0,Y0,X1,Y1], pages 1-based as a list
// of numbers and ranges ("1,3-5"), the rectangle in the page's user space.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "view/text_selection.h"

namespace host {

struct TextSelectionArgument {
    std::vector<int> pages;  // 0-based, ascending, each once
    std::optional<UserRect> area;
};

// Nothing when the text is not of that form.
std::optional<TextSelectionArgument> parseTextSelection(const std::string& text);

}  // namespace host
