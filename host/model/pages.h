// Pages of host documents (PDModel 83, 84, 85, 138 and 144).
//
// A page handle stands for one acquisition of a page: acquiring or creating
// a page gives a new handle, releasing ends it, and a released handle is
// stale. The page itself belongs to its document, not to the handle;
// closing the document ends the handles of all its pages.
#pragma once

#include <map>
#include <utility>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "core/document_users.h"
#include "core/handles.h"

namespace host {

class Documents;

struct PageEntry {
    Handle document = kNoHandle;
    QPDFObjectHandle page;
};

class Pages final : public DocumentUser {
public:
    explicit Pages(Documents& documents) : documents_(documents) {}

    std::int32_t count(Handle document);
    Handle acquire(Handle document, std::int32_t index);
    // Inserts a new page with no content after the page at `afterIndex`
    // (-1: before the first page); `box` becomes its /MediaBox. Answers
    // the new page, acquired.
    Handle create(Handle document, std::int32_t afterIndex, const FixedRect& box);
    PageEntry& get(Handle page) { return pages_.get(page); }
    // The page's /MediaBox, inherited or its own, as 16.16 values. Read
    // once per page: no host operation changes a page's box, and a report
    // asks for the box of its pages once per outline entry.
    FixedRect box(Handle page);
    void release(Handle page) { pages_.remove(page); }
    void forgetDocument(Handle document) override;
    std::size_t acquiredCount() const { return pages_.size(); }

private:
    QPDF& pdfOf(Handle document);

    Documents& documents_;
    HandleRegistry<PageEntry> pages_{HandleKind::Page};
    std::map<std::pair<Handle, QPDFObjGen>, FixedRect> boxes_;  // by document and page object
};

// Whether `page` is, at this moment, one of the pages of `pdf`.
bool isPageOf(QPDF& pdf, QPDFObjectHandle page);

// The 16.16 rectangle of a PDF rectangle array, corners in any order. A
// page without a usable box is taken as US Letter, as readers take it.
FixedRect fixedRectFromBox(QPDFObjectHandle box);

}  // namespace host
