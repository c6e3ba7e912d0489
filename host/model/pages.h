// Pages of host documents (PDModel 83, 84, 85, 138 and 144).
//
// A page handle stands for one acquisition of a page: acquiring gives a new
// handle, releasing ends it, and a released handle is stale.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include "core/handles.h"

namespace host {

struct PageEntry {
    Handle document = kNoHandle;
    QPDFObjectHandle page;
};

class Pages {
public:
    Handle acquire(Handle document, std::int32_t index);
    PageEntry& get(Handle page) { return pages_.get(page); }
    void release(Handle page) { pages_.remove(page); }
    std::size_t acquiredCount() const { return pages_.size(); }

private:
    HandleRegistry<PageEntry> pages_{HandleKind::Page};
};

}  // namespace host
