// Callbacks (Core 8 and 9): handles for the plug-in's procedures, made with
// the plug-in's extension handle. The host resolves a callback to the
// procedure and calls it with the signature its use calls for.
#pragma once

#include "core/handles.h"

namespace host {

struct CallbackEntry {
    ExtensionHandle extension;
    Proc proc;
};

class CallbackRegistry {
public:
    Callback make(ExtensionHandle extension, Proc proc);
    void destroy(Callback callback);

    template <class Procedure>
    Procedure resolve(Callback callback) {
        return reinterpret_cast<Procedure>(entries_.get(callback).proc);
    }
    std::size_t size() const { return entries_.size(); }

private:
    HandleRegistry<CallbackEntry> entries_{HandleKind::Callback};
};

}  // namespace host
