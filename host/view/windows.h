// Document windows (AcroView 486): a document opened in a new window gets a
// view of its own, which becomes the active one. The command line writes
// the documents opened this way to their output files.
#pragma once

#include <vector>

#include "core/handles.h"

namespace host {

class Documents;
class Viewer;

class Windows {
public:
    Windows(Documents& documents, Viewer& viewer) : documents_(documents), viewer_(viewer) {}

    Handle open(Handle document);
    // The documents opened in new windows, in order.
    const std::vector<Handle>& opened() const { return opened_; }

private:
    Documents& documents_;
    Viewer& viewer_;
    std::vector<Handle> opened_;
};

}  // namespace host
