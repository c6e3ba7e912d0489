#include "report/host_objects.h"

#include "plugin/host_call.h"

namespace ortheo {

void ReleasePageObject::release(host::Handle object) { callHost<host::op::ElementRelease>(object); }

void ReleasePage::release(host::Handle page) { callHost<host::op::PageRelease>(page); }

void ReleasePageContent::release(host::Handle page) {
    callHost<host::op::PageReleaseContent>(page, pluginState().extension);
}

void DestroyCallback::release(host::Handle callback) { callHost<host::op::DestroyCallback>(callback); }

}  // namespace ortheo
