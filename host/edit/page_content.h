// Page-content editing (PDFEditWrite 4, 5, 14, 16, 18, 19, 37, 56;
// PDFEditRead 52; PagePDEContent 1, 2, 3): text and path elements that
// become a real content stream when stored as a page's content.
#pragma once

#include "core/handles.h"

namespace host {

class PageContent {
public:
};

}  // namespace host
