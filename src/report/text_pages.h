// The pages a section writes its text on. A section whose text would run
// below the lower edge of the page asks for the next page: the page written
// so far is stored, and a new one, appended right after it, is begun.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

class TextPages {
public:
    virtual ~TextPages() = default;
    // The text element of the page being written.
    virtual host::Handle text() const = 0;
    // Stores the page being written and begins the next one; the layout
    // starts again at the top margin.
    virtual void startNextPage() = 0;
};

}  // namespace ortheo
