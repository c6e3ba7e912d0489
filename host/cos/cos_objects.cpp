#include "cos/cos_objects.h"

#include <vector>

#include "core/atoms.h"
#include "core/errors.h"

namespace host {

Object CosObjects::wrap(Handle document, QPDFObjectHandle object) {
    if (!object.isInitialized() || object.isNull()) return {};
    if (object.isIndirect()) {
        const auto key = std::make_pair(document, object.getObjGen());
        if (const auto known = indirect_.find(key); known != indirect_.end()) return {known->second, document};
        const Handle handle = entries_.add({object, document});
        indirect_.emplace(key, handle);
        return {handle, document};
    }
    return {entries_.add({object, document}), document};
}

CosObjects::Entry& CosObjects::entry(Object object) {
    Entry& found = entries_.get(object.word0);
    if (found.document != object.word1 || !documents_.isOpen(found.document)) {
        raiseBadHandle(HandleKind::CosObject, object.word0, "object of a closed or other document");
    }
    return found;
}

QPDFObjectHandle CosObjects::unwrap(Object object) {
    if (object == Object{}) return QPDFObjectHandle::newNull();
    return entry(object).object;
}

Handle CosObjects::documentOf(Object object) {
    if (object == Object{}) return kNoHandle;
    return entry(object).document;
}

void CosObjects::forgetDocument(Handle document) {
    std::vector<Handle> stale;
    entries_.forEach([&](Handle handle, const Entry& entry) {
        if (entry.document == document) stale.push_back(handle);
    });
    for (const Handle handle : stale) entries_.remove(handle);
    std::erase_if(indirect_, [&](const auto& item) { return item.first.first == document; });
}

std::int32_t cosTypeCode(QPDFObjectHandle object) {
    switch (object.getTypeCode()) {
        case ::ot_integer: return kCosInteger;
        case ::ot_real: return kCosFixed;
        case ::ot_boolean: return kCosBoolean;
        case ::ot_name: return kCosName;
        case ::ot_string: return kCosString;
        case ::ot_dictionary: return kCosDict;
        case ::ot_array: return kCosArray;
        case ::ot_stream: return kCosStream;
        default: return kCosNull;
    }
}

}  // namespace host
