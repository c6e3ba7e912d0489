// Hashing of PDF object identities (number and generation), for the
// unordered maps that the writer, the outline and the font walk keep.
#pragma once

#include <cstddef>
#include <functional>

#include <qpdf/QPDFObjGen.hh>

namespace host {

struct ObjGenHash {
    std::size_t operator()(const QPDFObjGen& id) const noexcept {
        return std::hash<long long>()((static_cast<long long>(id.getObj()) << 16) ^ id.getGen());
    }
};

}  // namespace host
