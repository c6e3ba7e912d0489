// A count and its noun, as a sentence says it: "1 page", "3 pages".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host {

// For nouns whose plural adds an s.
inline std::string countedNoun(std::size_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace host
