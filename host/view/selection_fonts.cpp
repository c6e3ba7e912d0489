#include "view/selection_fonts.h"

#include <set>
#include <string>

#include "core/warnings.h"

namespace host {
namespace {

std::size_t piecesOf(const std::vector<const HandleRuns*>& pages) {
    std::size_t pieces = 0;
    for (const HandleRuns* runs : pages) {
        for (const HandleRun& run : *runs) pieces += run.pieces;
    }
    return pieces;
}

// Tells of each piece while the budget lasts, then of each font not told
// yet; a page's runs are looked at past the budget only until all their
// fonts have been told, however many pages share them.
class SelectionTeller {
public:
    SelectionTeller(const std::function<bool(Handle)>& tell, std::size_t budget) : tell_(tell), budget_(budget) {}

    // Answers false once `tell` has.
    bool page(const HandleRuns& runs) {
        if (toldAll_.count(&runs) != 0) {
            leftPiecesOut_ = leftPiecesOut_ || !runs.empty();
            return true;
        }
        for (const HandleRun& run : runs) {
            if (!this->run(run)) return false;
        }
        if (calls_ >= budget_) toldAll_.insert(&runs);
        return true;
    }

    bool leftPiecesOut() const { return leftPiecesOut_; }

private:
    bool run(const HandleRun& run) {
        std::size_t piece = 0;
        for (; piece < run.pieces && calls_ < budget_; ++piece) {
            if (!call(run.font)) return false;
        }
        if (piece == run.pieces) return true;
        leftPiecesOut_ = true;
        return told_.count(run.font) != 0 || call(run.font);
    }

    bool call(Handle font) {
        ++calls_;
        told_.insert(font);
        return tell_(font);
    }

    const std::function<bool(Handle)>& tell_;
    std::size_t budget_;
    std::size_t calls_ = 0;
    std::set<Handle> told_;
    std::set<const HandleRuns*> toldAll_;
    bool leftPiecesOut_ = false;
};

}  // namespace

void tellSelectionFonts(const std::vector<const HandleRuns*>& pages, const std::function<bool(Handle)>& tell,
                        std::size_t budget) {
    SelectionTeller teller(tell, budget);
    for (const HandleRuns* runs : pages) {
        if (!teller.page(*runs)) return;
    }
    if (!teller.leftPiecesOut()) return;
    warnOnce("the selected text holds " + std::to_string(piecesOf(pages)) + " pieces; past the first " +
             std::to_string(budget) + " the plug-in was told of each further font once, not of every piece");
}

}  // namespace host
