// The PDModel operations on documents, pages and the outline.

#include <string>

#include "core/atoms.h"
#include "core/errors.h"
#include "core/tables.h"
#include "host.h"
#include "model/documents.h"
#include "model/outline.h"
#include "model/pages.h"
#include "operations.h"

namespace host {
namespace {

Handle docCreate() { return Host::current().documents().create(); }

void docSetPageMode(Handle document, std::int32_t mode) { Host::current().documents().setPageMode(document, mode); }

std::int32_t docPageCount(Handle document) { return Host::current().pages().count(document); }

Handle docAcquirePage(Handle document, std::int32_t index) { return Host::current().pages().acquire(document, index); }

Handle docCreatePage(Handle document, std::int32_t afterIndex, FixedRect box) {
    return Host::current().pages().create(document, afterIndex, box);
}

void pageRelease(Handle page) { Host::current().pages().release(page); }

void pageBox(Handle page, FixedRect* box) {
    if (box == nullptr) raise(kErrBadArgument, "PDModel 144: no rectangle to answer the page's box in");
    *box = Host::current().pages().box(page);
}

Object docRootBookmark(Handle document) { return Host::current().documents().outline().root(document); }

Object bookmarkAddNewChild(Object parent, const char* title) {
    if (title == nullptr) raise(kErrBadArgument, "PDModel 39: no title");
    return Host::current().documents().outline().addChild(parent, title);
}

void bookmarkSetAction(Object bookmark, Object action) {
    Host::current().documents().outline().setAction(bookmark, action);
}

Object viewDestCreate(Handle document, Handle page, Atom fitType, const FixedRect* rect, Fixed zoom,
                      std::int32_t /*pageNumber: the page handle says which page*/) {
    Host& current = Host::current();
    if (!current.atoms().contains(fitType)) {
        raise(kErrBadArgument, "PDModel 215: the fit type " + std::to_string(fitType) + " is not an atom");
    }
    // The document is looked up before the page, as the viewer does.
    Documents& documents = current.documents();
    documents.get(document);
    return documents.outline().newDestination(document, current.pages().get(page), current.atoms().text(fitType),
                                              rect, zoom);
}

Bool16 viewDestIsValid(Object destination) {
    return Host::current().documents().outline().isValidDestination(destination) ? 1 : 0;
}

Object actionNewGoTo(Handle document, Object destination, Handle destinationDocument) {
    return Host::current().documents().outline().newGoToAction(document, destination, destinationDocument);
}

}  // namespace

void installModelOperations(TableRegistry& tables) {
    tables.install<op::DocCreate, &docCreate>();
    tables.install<op::DocSetPageMode, &docSetPageMode>();
    tables.install<op::DocPageCount, &docPageCount>();
    tables.install<op::DocAcquirePage, &docAcquirePage>();
    tables.install<op::DocCreatePage, &docCreatePage>();
    tables.install<op::PageRelease, &pageRelease>();
    tables.install<op::PageBox, &pageBox>();
    tables.install<op::DocRootBookmark, &docRootBookmark>();
    tables.install<op::BookmarkAddNewChild, &bookmarkAddNewChild>();
    tables.install<op::BookmarkSetAction, &bookmarkSetAction>();
    tables.install<op::ViewDestCreate, &viewDestCreate>();
    tables.install<op::ViewDestIsValid, &viewDestIsValid>();
    tables.install<op::ActionNewGoTo, &actionNewGoTo>();
}

}  // namespace host
