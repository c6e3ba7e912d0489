#include "view/windows.h"

#include "model/documents.h"
#include "view/viewer.h"

namespace host {

Handle Windows::open(Handle document) {
    documents_.get(document);
    const Handle view = viewer_.openView(document);
    opened_.push_back(document);
    return view;
}

}  // namespace host
