#include "core/callbacks.h"

#include "core/errors.h"
#include "core/core.h"

namespace host {

Callback CallbackRegistry::make(ExtensionHandle extension, Proc proc) {
    if (extension != Core::current().extension()) {
        raise(kErrBadArgument, "Core 8: unknown extension handle");
    }
    if (proc == nullptr) raise(kErrBadArgument, "Core 8: no procedure");
    return entries_.add({extension, proc});
}

void CallbackRegistry::destroy(Callback callback) { entries_.remove(callback); }

}  // namespace host
