// The outline of host documents and what its items lead to: bookmarks,
// view destinations and actions (PDModel 2, 39, 61, 82, 215 and 217).
//
// All three cross to the plug-in as 8-byte objects: a handle of this
// registry and the handle of their document. The document owns what they
// name, real PDF objects (outline items under the catalog's /Outlines,
// destination arrays, /GoTo action dictionaries), and they stay valid until
// the document is closed; nothing releases them sooner. A made-up object,
// one of another kind, one whose two words do not belong together, or one
// whose document was closed raises a host error.
#pragma once

#include <map>
#include <string_view>

#include <qpdf/QPDFObjectHandle.hh>

#include "core/handles.h"

namespace host {

class Outline {
public:
    // The root of the document's outline, made on first use.
    Object root(Handle document);
    // A new item with this title, made the last child of `parent`.
    Object addChild(Object parent, std::string_view title);
    void setAction(Object bookmark, Object action);

    Object newDestination(Handle document, Handle page, std::string_view fitType, const FixedRect* rect,
                          Fixed zoom);
    // Whether `destination` leads to a page that is still in its open
    // document. Answers, never raises.
    bool isValidDestination(Object destination);
    Object newGoToAction(Handle document, Object destination, Handle destinationDocument);

    void forgetDocument(Handle document);

private:
    struct Entry {
        Handle document = kNoHandle;
        QPDFObjectHandle object;
        bool placed = false;  // a destination or action already put into a container
    };
    static Entry& entryOf(HandleRegistry<Entry>& registry, Object object);
    // A destination or action as it goes into a container: itself the first
    // time, a copy after that, so that no two containers share a direct object.
    static QPDFObjectHandle place(Entry& entry);

    HandleRegistry<Entry> bookmarks_{HandleKind::Bookmark};
    HandleRegistry<Entry> destinations_{HandleKind::Destination};
    HandleRegistry<Entry> actions_{HandleKind::Action};
    std::map<Handle, Handle> roots_;  // document -> its root bookmark
};

}  // namespace host
