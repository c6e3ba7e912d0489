#include "model/fonts.h"

namespace host {

Handle Fonts::handleFor(Handle document, QPDFObjectHandle dict) {
    if (!dict.isIndirect()) return fonts_.add({document, dict});
    const auto key = std::make_pair(document, dict.getObjGen());
    if (const auto known = byObject_.find(key); known != byObject_.end()) return known->second;
    const Handle handle = fonts_.add({document, dict});
    byObject_.emplace(key, handle);
    return handle;
}

}  // namespace host
