// Atoms (Core 5 and 7): 16-bit numbers for interned strings. The host owns
// the strings; the text of an atom stays valid as long as the host.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "plugin/host_services.h"

namespace host {

class AtomTable {
public:
    // The atom of `text`, made on first use; raises when the table is full.
    Atom intern(std::string_view text);
    // The text of an atom; raises for the null atom or one never made.
    const char* text(Atom atom) const;
    bool contains(Atom atom) const { return atom < strings_.size(); }

private:
    std::deque<std::string> strings_;  // a deque keeps every c_str() in place
    std::unordered_map<std::string_view, Atom> byText_;
};

}  // namespace host
