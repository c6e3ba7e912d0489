// Document windows (AcroView 486): a document opened in a new window gets a
// view of its own, which becomes the active one. The command line writes
// the documents opened this way to their output files.
#pragma once

#include <vector>

#include "core/handles.h"

namespace host {

class Windows {
public:
    Handle open(Handle document);
    // The documents opened in new windows, in order.
    const std::vector<Handle>& opened() const { return opened_; }

private:
    std::vector<Handle> opened_;
};

}  // namespace host
