// The viewer's operations: alerts (AcroView 5), the active view and its
// document (AcroView 12, 48), the view's selection (AcroView 56, 57), and
// the enumeration of the fonts of selected text (PDModel 223).
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "core/atoms.h"
#include "core/callbacks.h"
#include "core/errors.h"
#include "core/plugin_calls.h"
#include "core/tables.h"
#include "host.h"
#include "model/documents.h"
#include "model/font_facts.h"
#include "model/fonts.h"
#include "operations.h"
#include "view/selection_fonts.h"
#include "view/text_selection.h"
#include "view/viewer.h"

namespace host {
namespace {

Viewer& viewer() { return Host::current().viewer(); }

void alertNote(const char* message) {
    if (message == nullptr) raise(kErrBadArgument, "AcroView 5: the alert has no text");
    viewer().alert(message);
}

Handle activeDocView() { return viewer().activeView(); }

Handle viewDocument(Handle view) { return viewer().documentOf(view); }

Atom viewSelectionType(Handle view) {
    const auto kind = viewer().selectionKind(view);
    return kind ? Host::current().atoms().intern(*kind) : kNullAtom;
}

Handle viewSelection(Handle view) { return viewer().selectionOf(view); }

HandleRuns handleRunsOf(Fonts& fonts, Handle document, const FontRuns& runs) {
    HandleRuns handles;
    for (const FontRun& run : runs) {
        if (!isUsableFont(run.font)) continue;  // as the page's font enumeration skips it
        handles.push_back({fonts.handleFor(document, run.font), run.pieces});
    }
    return handles;
}

// Every piece is found and given its font handle before the procedure runs
// once: the procedure calls back into the host, which must not find a
// content walk half done. Pages that share their runs share their handles.
void textSelectEnumFonts(Handle selection, Callback callback, ClientData data) {
    Host& host = Host::current();
    const SelectedText text = host.viewer().selectedText(selection);
    const auto procedure = host.callbacks().resolve<SelectionFontProc>(callback);
    QPDF& pdf = *host.documents().get(text.document).pdf;

    std::map<const FontRuns*, HandleRuns> handles;
    std::vector<const HandleRuns*> pages;
    for (const std::shared_ptr<const FontRuns>& runs : findSelectionFonts(pdf, text.pages, text.area)) {
        const auto [page, added] = handles.try_emplace(runs.get());
        if (added) page->second = handleRunsOf(host.fonts(), text.document, *runs);
        pages.push_back(&page->second);
    }
    tellSelectionFonts(pages, [&](Handle font) {
        std::uint32_t flags = 0;
        return callPlugin(procedure, data, font, &flags) != 0;
    });
}

}  // namespace

void installViewOperations(TableRegistry& tables) {
    tables.install<op::AlertNote, &alertNote>();
    tables.install<op::ActiveDocView, &activeDocView>();
    tables.install<op::ViewDocument, &viewDocument>();
    tables.install<op::ViewSelectionType, &viewSelectionType>();
    tables.install<op::ViewSelection, &viewSelection>();
    tables.install<op::TextSelectEnumFonts, &textSelectEnumFonts>();
}

}  // namespace host
