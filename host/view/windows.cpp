#include "view/windows.h"

#include "host.h"
#include "model/documents.h"
#include "view/viewer.h"

namespace host {

Handle Windows::open(Handle document) {
    Host::current().documents().get(document);
    const Handle view = Host::current().viewer().openView(document);
    opened_.push_back(document);
    return view;
}

}  // namespace host
