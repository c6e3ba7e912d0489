#include "model/encodings/glyph_list.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "model/encodings/encoding_tables.h"

namespace host::encodings {
namespace {

bool isUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// Digits of upper-case hexadecimal only: the glyph list's names never use
// lower case, so "uni20ac" names nothing.
std::optional<char32_t> upperHexValue(std::string_view digits) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isUpperHexDigit)) return std::nullopt;
    char32_t value = 0;
    for (const char digit : digits) value = value * 16 + static_cast<char32_t>(digit <= '9' ? digit - '0' : digit - 'A' + 10);
    return value;
}

bool isSurrogate(char32_t value) { return value >= 0xD800 && value <= 0xDFFF; }

std::u32string listedCodePoint(std::string_view component) {
    const auto list = glyphList();
    const auto found = std::lower_bound(list.begin(), list.end(), component,
                                        [](const GlyphListEntry& entry, std::string_view name) {
                                            return std::string_view(entry.name) < name;
                                        });
    if (found == list.end() || std::string_view(found->name) != component) return {};
    return std::u32string(1, found->codePoint);
}

// "uni" and groups of four digits, each a code point of the basic plane.
std::u32string uniCodePoints(std::string_view component) {
    if (!component.starts_with("uni")) return {};
    const std::string_view digits = component.substr(3);
    if (digits.empty() || digits.size() % 4 != 0) return {};
    std::u32string codePoints;
    for (std::size_t at = 0; at < digits.size(); at += 4) {
        const auto value = upperHexValue(digits.substr(at, 4));
        if (!value || isSurrogate(*value)) return {};
        codePoints += *value;
    }
    return codePoints;
}

// "u" and four to six digits, one code point of any plane.
std::u32string uCodePoint(std::string_view component) {
    if (!component.starts_with("u")) return {};
    const std::string_view digits = component.substr(1);
    if (digits.size() < 4 || digits.size() > 6) return {};
    const auto value = upperHexValue(digits);
    if (!value || isSurrogate(*value) || *value > 0x10FFFF) return {};
    return std::u32string(1, *value);
}

std::u32string componentCodePoints(std::string_view component) {
    if (auto listed = listedCodePoint(component); !listed.empty()) return listed;
    if (auto spelled = uniCodePoints(component); !spelled.empty()) return spelled;
    return uCodePoint(component);
}

}  // namespace

std::u32string unicodeOfGlyphName(std::string_view name) {
    name = name.substr(0, name.find('.'));
    std::u32string codePoints;
    while (!name.empty()) {
        const std::size_t end = std::min(name.find('_'), name.size());
        codePoints += componentCodePoints(name.substr(0, end));
        name.remove_prefix(std::min(end + 1, name.size()));
    }
    return codePoints;
}

}  // namespace host::encodings
