#include "model/glyph_names.h"

#include <algorithm>

#include "core/errors.h"

namespace host {

GlyphNames::GlyphNames() = default;
GlyphNames::~GlyphNames() = default;

const char* const* GlyphNames::acquire(encodings::CodeNames names) {
    auto owned = std::make_unique<encodings::CodeNames>(std::move(names));
    auto pointers = std::make_unique<Pointers>();
    for (std::size_t code = 0; code < pointers->size(); ++code) {
        const std::string& name = (*owned)[code];
        (*pointers)[code] = name.empty() ? nullptr : name.c_str();
    }
    const char* const* table = pointers->data();
    tables_.emplace(table, Table{std::move(pointers), std::move(owned)});
    return table;
}

void GlyphNames::release(const char* const* table) {
    if (table == nullptr) raise(kErrBadArgument, "PDModel 123: no glyph name table given");
    const auto found = tables_.find(table);
    if (found == tables_.end()) raise(kErrBadArgument, "PDModel 123: the glyph name table was not made by PDModel 122");
    Table& entry = found->second;
    if (!entry.names) raise(kErrBadArgument, "PDModel 123: the glyph name table was already handed back");
    entry.pointers->fill(nullptr);
    entry.names.reset();
}

std::size_t GlyphNames::liveTables() const {
    return static_cast<std::size_t>(
        std::count_if(tables_.begin(), tables_.end(), [](const auto& entry) { return entry.second.names != nullptr; }));
}

}  // namespace host
