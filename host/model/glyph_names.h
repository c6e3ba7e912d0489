// The tables of per-code glyph names that the host hands out (PDModel 122)
// and takes back (PDModel 123).
//
// A table is 256 pointers, indexed by code, each to a NUL-terminated glyph
// name or null. The host owns every table and the names in it; the plug-in
// borrows a table from PDModel 122 until it hands it back with PDModel 123,
// exactly once. Tables still out when the host ends go with it. What the
// names are is told by encodings/font_encoding.h.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <memory>

#include "model/encodings/font_encoding.h"

namespace host {

class GlyphNames {
public:
    GlyphNames();
    ~GlyphNames();
    GlyphNames(const GlyphNames&) = delete;
    GlyphNames& operator=(const GlyphNames&) = delete;

    // A new table of `names`, null where a name is empty.
    const char* const* acquire(encodings::CodeNames names);
    // Frees a table that `acquire` made. Raises kErrBadArgument for null, for
    // a table the host never made and for one already released.
    void release(const char* const* table);

    // Tables handed out and not yet released.
    std::size_t liveTables() const;

private:
    using Pointers = std::array<const char*, 256>;
    struct Table {
        // A released table keeps its (emptied) pointer block, so that no new
        // table ever gets its address and a second release is always caught.
        std::unique_ptr<Pointers> pointers;
        std::unique_ptr<encodings::CodeNames> names;  // null once released
    };

    std::map<const char* const*, Table> tables_;
};

}  // namespace host
