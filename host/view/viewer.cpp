#include "view/viewer.h"

#include <cmath>

#include "core/counted_noun.h"
#include "core/error_output.h"
#include "core/errors.h"
#include "model/documents.h"

namespace host {
namespace {

bool isStillOpen(Documents& documents, Handle document, const std::weak_ptr<QPDF>& pdf) {
    const Document* open = documents.find(document);
    return open != nullptr && open->pdf == pdf.lock();
}

std::vector<PageRange> checkedPages(Documents& documents, Handle document, std::vector<PageRange> pages) {
    if (pages.empty()) raise(kErrBadArgument, "A text selection needs at least one page");
    const std::size_t count = documents.get(document).pdf->getAllPages().size();
    for (const PageRange& range : pages) {
        for (const int page : {range.first, range.last}) {
            if (page < 0 || static_cast<std::size_t>(page) >= count) {
                raise(kErrBadArgument, "Page index " + std::to_string(page) + " is outside the document's " +
                                           countedNoun(count, "page"));
            }
        }
        if (range.last < range.first) {
            raise(kErrBadArgument, "The page range " + std::to_string(range.first) + " to " +
                                       std::to_string(range.last) + " runs backwards");
        }
    }
    return joinedPageRanges(std::move(pages));
}

void checkArea(const std::optional<UserRect>& area) {
    if (!area) return;
    for (const double corner : {area->x0, area->y0, area->x1, area->y1}) {
        if (!std::isfinite(corner)) raise(kErrBadArgument, "A selection rectangle needs finite corners");
    }
}

}  // namespace

Handle Viewer::openView(Handle document) {
    closeViewsOfClosedDocuments();
    const Handle view = views_.add({document, documents_.get(document).pdf, kNoHandle});
    activationOrder_.push_back(view);
    return view;
}

void Viewer::closeView(Handle view) {
    liveView(view);
    discardView(view);
}

void Viewer::activate(Handle view) {
    liveView(view);
    std::erase(activationOrder_, view);
    activationOrder_.push_back(view);
}

Handle Viewer::activeView() {
    closeViewsOfClosedDocuments();
    return activationOrder_.empty() ? kNoHandle : activationOrder_.back();
}

Handle Viewer::documentOf(Handle view) { return liveView(view).document; }

void Viewer::selectText(Handle view, std::vector<PageRange> pages, std::optional<UserRect> area) {
    View& target = liveView(view);
    checkArea(area);
    SelectedText text{target.document, checkedPages(documents_, target.document, std::move(pages)), area};
    replaceSelection(target, Selection{std::string(kTextSelectionKind), std::move(text)});
}

void Viewer::selectOther(Handle view, std::string kind) {
    View& target = liveView(view);
    if (kind.empty()) raise(kErrBadArgument, "A selection needs a kind");
    if (kind == kTextSelectionKind) raise(kErrBadArgument, "A text selection needs pages: select text instead");
    replaceSelection(target, Selection{std::move(kind), {}});
}

void Viewer::clearSelection(Handle view) { replaceSelection(liveView(view), std::nullopt); }

std::optional<std::string> Viewer::selectionKind(Handle view) {
    const Handle selection = liveView(view).selection;
    if (selection == kNoHandle) return std::nullopt;
    return selections_.get(selection).kind;
}

Handle Viewer::selectionOf(Handle view) { return liveView(view).selection; }

SelectedText Viewer::selectedText(Handle selection) {
    closeViewsOfClosedDocuments();
    const Selection& entry = selections_.get(selection);
    if (entry.kind != kTextSelectionKind) {
        raise(kErrBadArgument, "The selection is of kind \"" + entry.kind + "\", not text");
    }
    return entry.text;
}

void Viewer::alert(std::string_view text) {
    writeHostLines("ortheo: " + std::string(text) + "\n");
    alerts_.emplace_back(text);
}

Viewer::View& Viewer::liveView(Handle view) {
    closeViewsOfClosedDocuments();
    return views_.get(view);
}

void Viewer::closeViewsOfClosedDocuments() {
    std::vector<Handle> orphans;
    views_.forEach([&](Handle handle, const View& view) {
        if (!isStillOpen(documents_, view.document, view.pdf)) orphans.push_back(handle);
    });
    for (const Handle orphan : orphans) discardView(orphan);
}

void Viewer::discardView(Handle view) {
    replaceSelection(views_.get(view), std::nullopt);
    views_.remove(view);
    std::erase(activationOrder_, view);
}

void Viewer::replaceSelection(View& view, std::optional<Selection> selection) {
    if (view.selection != kNoHandle) selections_.remove(view.selection);
    view.selection = selection ? selections_.add(std::move(*selection)) : kNoHandle;
}

}  // namespace host
