#include "model/outline.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QUtil.hh>

#include "core/errors.h"
#include "host.h"
#include "model/destinations.h"
#include "model/documents.h"
#include "model/pages.h"

namespace host {
namespace {

QPDF& pdfOf(Handle document) { return *Host::current().documents().get(document).pdf; }

QPDFObjectHandle newOutlineRoot() {
    QPDFObjectHandle root = QPDFObjectHandle::newDictionary();
    root.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    return root;
}

bool isUtf8(const std::string& text) {
    bool broken = false;
    for (std::size_t position = 0; position < text.size() && !broken;) {
        QUtil::get_next_utf8_codepoint(text, position, broken);
    }
    return !broken;
}

// A title as a PDF text string. Titles come as UTF-8; bytes that are not
// UTF-8 (a font name in a single-byte encoding, say) are read as
// Windows-1252, so that each byte still shows as a character.
QPDFObjectHandle titleString(std::string_view title) {
    std::string text(title);
    if (!isUtf8(text)) text = QUtil::win_ansi_to_utf8(text);
    return QPDFObjectHandle::newUnicodeString(text);
}

// The parent's last child, or null. A damaged /Last is passed over by
// walking the children from /First, so no existing child is cut off.
QPDFObjectHandle lastChildOf(QPDFObjectHandle parent) {
    QPDFObjectHandle last = parent.getKey("/Last");
    if (last.isIndirect() && last.isDictionary()) return last;
    std::set<QPDFObjGen> seen;
    last = QPDFObjectHandle::newNull();
    for (QPDFObjectHandle child = parent.getKey("/First"); child.isIndirect() && child.isDictionary();
         child = child.getKey("/Next")) {
        if (!seen.insert(child.getObjGen()).second) break;
        last = child;
    }
    return last;
}

// Keeps /Count right after a new, childless item was added under `parent`.
// The outline root counts every item a reader shows; an open item (positive
// /Count) counts its shown descendants, so the new item counts for its
// ancestors too; a closed item counts, negated, what opening it would show.
//
// Items the host makes are closed: a report can hold thousands of entries,
// and a closed outline opens on its few top-level entries, which the reader
// unfolds where wanted. Since a closed item hides its children from all
// above it, an addition then touches the parent's /Count alone.
void countNewItem(QPDFObjectHandle parent) {
    std::set<QPDFObjGen> seen;
    for (QPDFObjectHandle node = parent; node.isDictionary() && seen.insert(node.getObjGen()).second;
         node = node.getKey("/Parent")) {
        QPDFObjectHandle count = node.getKey("/Count");
        const long long shown = count.isInteger() ? count.getIntValue() : 0;
        if (!node.hasKey("/Parent")) {
            node.replaceKey("/Count", QPDFObjectHandle::newInteger(std::max(shown, 0LL) + 1));
            return;
        }
        if (shown <= 0) {
            node.replaceKey("/Count", QPDFObjectHandle::newInteger(shown - 1));
            return;
        }
        node.replaceKey("/Count", QPDFObjectHandle::newInteger(shown + 1));
    }
}

template <class Registry>
void forgetEntriesOf(Handle document, Registry& registry) {
    std::vector<Handle> ended;
    registry.forEach([&](Handle handle, const auto& entry) {
        if (entry.document == document) ended.push_back(handle);
    });
    for (const Handle handle : ended) registry.remove(handle);
}

}  // namespace

Outline::Entry& Outline::entryOf(HandleRegistry<Entry>& registry, Object object) {
    Entry& entry = registry.get(object.word0);
    if (entry.document != object.word1) {
        raiseBadHandle(registry.kind(), object.word0, "object whose words name another document");
    }
    return entry;
}

QPDFObjectHandle Outline::place(Entry& entry) {
    if (!entry.placed) {
        entry.placed = true;
        return entry.object;
    }
    return entry.object.shallowCopy();  // copies the direct objects inside too
}

Object Outline::root(Handle document) {
    QPDF& pdf = pdfOf(document);
    if (const auto known = roots_.find(document); known != roots_.end()) return {known->second, document};

    QPDFObjectHandle catalog = pdf.getRoot();
    QPDFObjectHandle outlines = catalog.getKey("/Outlines");
    if (!outlines.isDictionary()) outlines = newOutlineRoot();
    // Items name their parent by reference, so the root must be indirect.
    if (!outlines.isIndirect()) outlines = pdf.makeIndirectObject(outlines);
    catalog.replaceKey("/Outlines", outlines);

    const Handle handle = bookmarks_.add({document, outlines});
    roots_.emplace(document, handle);
    return {handle, document};
}

Object Outline::addChild(Object parent, std::string_view title) {
    Entry& parentEntry = entryOf(bookmarks_, parent);
    const Handle document = parentEntry.document;
    QPDFObjectHandle parentItem = parentEntry.object;

    QPDFObjectHandle item = pdfOf(document).makeIndirectObject(QPDFObjectHandle::newDictionary());
    item.replaceKey("/Title", titleString(title));
    item.replaceKey("/Parent", parentItem);
    if (QPDFObjectHandle last = lastChildOf(parentItem); last.isDictionary()) {
        last.replaceKey("/Next", item);
        item.replaceKey("/Prev", last);
    } else {
        parentItem.replaceKey("/First", item);
    }
    parentItem.replaceKey("/Last", item);
    countNewItem(parentItem);
    return {bookmarks_.add({document, item}), document};
}

void Outline::setAction(Object bookmark, Object action) {
    Entry& item = entryOf(bookmarks_, bookmark);
    Entry& actionEntry = entryOf(actions_, action);
    if (actionEntry.document != item.document) {
        raise(kErrBadArgument, "PDModel 61: the action belongs to another document than the bookmark");
    }
    if (const auto root = roots_.find(item.document); root != roots_.end() && root->second == bookmark.word0) {
        raise(kErrBadArgument, "PDModel 61: the outline's root is no item and cannot have an action");
    }
    item.object.replaceKey("/A", place(actionEntry));
    item.object.removeKey("/Dest");
}

Object Outline::newDestination(Handle document, Handle page, std::string_view fitType, const FixedRect* rect,
                               Fixed zoom) {
    QPDF& pdf = pdfOf(document);
    const PageEntry& pageEntry = Host::current().pages().get(page);
    if (pageEntry.document != document) {
        raise(kErrBadArgument, "PDModel 215: the page belongs to another document than the destination");
    }
    if (!isPageOf(pdf, pageEntry.page)) raise(kErrBadArgument, "PDModel 215: the page is no longer in its document");
    return {destinations_.add({document, makeDestination(pageEntry.page, fitType, rect, zoom)}), document};
}

bool Outline::isValidDestination(Object destination) {
    Entry* entry = destinations_.find(destination.word0);
    if (entry == nullptr || entry->document != destination.word1) return false;
    const Document* document = Host::current().documents().find(entry->document);
    return document != nullptr && isPageOf(*document->pdf, entry->object.getArrayItem(0));
}

Object Outline::newGoToAction(Handle document, Object destination, Handle destinationDocument) {
    pdfOf(document);
    pdfOf(destinationDocument);
    Entry& destinationEntry = entryOf(destinations_, destination);
    if (destinationDocument != document || destinationEntry.document != document) {
        raise(kErrBadArgument, "PDModel 2: a go-to action leads within its own document; this destination "
                               "belongs to another");
    }
    if (!isValidDestination(destination)) {
        raise(kErrBadArgument, "PDModel 2: the destination's page is no longer in the document");
    }
    QPDFObjectHandle action = QPDFObjectHandle::newDictionary();
    action.replaceKey("/S", QPDFObjectHandle::newName("/GoTo"));
    action.replaceKey("/D", place(destinationEntry));
    return {actions_.add({document, action}), document};
}

void Outline::forgetDocument(Handle document) {
    forgetEntriesOf(document, bookmarks_);
    forgetEntriesOf(document, destinations_);
    forgetEntriesOf(document, actions_);
    roots_.erase(document);
}

}  // namespace host
