// The viewer (AcroView 5, 12, 48, 56, 57; PDModel 223): document views on
// opened documents, the active view, each view's current selection, and the
// alerts shown to the user.
//
// Ownership: the viewer owns its views and their selections. A view handle
// lives until its view is closed; a selection handle until its view's
// selection changes or the view is closed. A view never outlives its
// document: the documents know nothing of the viewer, so before answering
// anything the viewer closes the views whose document has been closed,
// whose handles are then stale like those of any closed view.
//
// Alerts are shown on standard error as "ortheo: " and the text, one write
// each, and kept in the order shown.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/handles.h"
#include "view/text_selection.h"

class QPDF;

namespace host {

// The kind name of a text selection, as AcroView 56 answers it.
inline constexpr std::string_view kTextSelectionKind = "Text";

// What a text selection takes in: pages of its view's document, and
// optionally only the text that starts inside a rectangle of those pages.
struct SelectedText {
    Handle document = kNoHandle;
    std::vector<PageRange> pages;  // ascending, disjoint and not adjacent
    std::optional<UserRect> area;
};

class Documents;

class Viewer {
public:
    explicit Viewer(Documents& documents) : documents_(documents) {}
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Opens a view on an opened document and makes it the active view.
    Handle openView(Handle document);
    // Closes a view; the view activated most recently before it, if any,
    // becomes the active one.
    void closeView(Handle view);
    void activate(Handle view);
    Handle activeView();  // kNoHandle when no view is open
    Handle documentOf(Handle view);

    // Replace the view's selection. The ranges are of 0-based pages of the
    // view's document, at least one, each first to last; they may overlap.
    // The rectangle's corners must be finite.
    void selectText(Handle view, std::vector<PageRange> pages, std::optional<UserRect> area = std::nullopt);
    // A selection of another kind, such as "Annotation"; never "Text".
    void selectOther(Handle view, std::string kind);
    void clearSelection(Handle view);

    // The kind of the view's selection, or none.
    std::optional<std::string> selectionKind(Handle view);
    Handle selectionOf(Handle view);  // kNoHandle when there is none
    // What a selection of text takes in; raises for a selection of any
    // other kind.
    SelectedText selectedText(Handle selection);

    void alert(std::string_view text);
    const std::vector<std::string>& alerts() const { return alerts_; }

private:
    struct View {
        Handle document = kNoHandle;
        std::weak_ptr<QPDF> pdf;  // tells a closed document from a later one in its slot
        Handle selection = kNoHandle;
    };
    struct Selection {
        std::string kind;
        SelectedText text;  // for a text selection only
    };

    // The live view a handle names; raises for any other handle.
    View& liveView(Handle view);
    void closeViewsOfClosedDocuments();
    void discardView(Handle view);  // closes a view known to be in the registry
    void replaceSelection(View& view, std::optional<Selection> selection);

    Documents& documents_;
    HandleRegistry<View> views_{HandleKind::View};
    HandleRegistry<Selection> selections_{HandleKind::Selection};
    std::vector<Handle> activationOrder_;  // open views, the active one last
    std::vector<std::string> alerts_;
};

}  // namespace host
