// How the plug-in is told of the fonts of a text selection (PDModel 223):
// once for each piece of text, in the selection's order, while
// kSelectedPieceBudget lasts.
//
// Pages that share their content can make a selection of a few kilobytes
// hold billions of pieces. Past the budget the plug-in is told only of the
// fonts it has not been told of yet, each once, so that a selection costs
// at most the budget in calls and no font is left out; one warning says so.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "core/handles.h"

namespace host {

// Far more pieces than the text of any real selection: a thousand pages of
// two thousand text-showing operators each.
inline constexpr std::size_t kSelectedPieceBudget = 4'000'000;

// Consecutive pieces of a page in one font.
struct HandleRun {
    Handle font;
    std::size_t pieces = 0;
};
using HandleRuns = std::vector<HandleRun>;

// Calls `tell` with the font of each piece of `pages` (a page's runs may be
// shared by many pages), then, past `budget` calls, with each font not
// told yet; stops when `tell` answers false.
void tellSelectionFonts(const std::vector<const HandleRuns*>& pages, const std::function<bool(Handle)>& tell,
                        std::size_t budget = kSelectedPieceBudget);

}  // namespace host
