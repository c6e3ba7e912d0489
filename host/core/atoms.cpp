#include "core/atoms.h"

#include "core/errors.h"
#include "core/core.h"

namespace host {

Atom AtomTable::intern(std::string_view text) {
    if (const auto found = byText_.find(text); found != byText_.end()) return found->second;
    if (strings_.size() >= kNullAtom) raise(kErrNoMemory, "Core 5: the atom table is full");
    const Atom atom = static_cast<Atom>(strings_.size());
    strings_.emplace_back(text);
    byText_.emplace(strings_.back(), atom);
    return atom;
}

const char* AtomTable::text(Atom atom) const {
    if (!contains(atom)) {
        raise(kErrBadArgument, "Core 7: " + std::to_string(atom) + " is not an atom");
    }
    return strings_[atom].c_str();
}

}  // namespace host
