// Fuzzes the CMap parser against the reference parser: both parse every
// input, and any difference in code-space ranges, mappings, name, type,
// ordering or notes aborts. The sanitizers catch the rest.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "reference_cmap_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, not NUL-terminated, so that the address
    // sanitizer catches a read past the end of the text.
    const auto text = std::make_unique_for_overwrite<char[]>(size);
    if (size > 0) {
        std::memcpy(text.get(), data, size);
    }
    const std::string_view input(text.get(), size);

    const ortheo::reference::ParsedCMap fast = ortheo::reference::parseWithEngine(input);
    const ortheo::reference::ParsedCMap reference = ortheo::reference::parseWithReference(input);
    if (!(fast == reference)) {
        std::fprintf(stderr, "The CMap parsers disagree.\n--- fast:\n%s--- reference:\n%s",
                     ortheo::reference::describe(fast).c_str(), ortheo::reference::describe(reference).c_str());
        std::abort();
    }
    return 0;
}
