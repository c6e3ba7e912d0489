#include "model/encodings/pdf_doc_encoding.h"

#include <unordered_map>

#include "model/encodings/encoding_tables.h"
#include "model/encodings/glyph_list.h"

namespace host::encodings {
namespace {

// Each character of PDFDocEncoding and its byte, found through the glyph
// list so that every spelling of a character ("Euro", "uni20AC") meets.
std::unordered_map<char32_t, std::uint8_t> makeByteOfCharacter() {
    std::unordered_map<char32_t, std::uint8_t> byteOf;
    for (unsigned byte = 0; byte < kPdfDocEncoding.size(); ++byte) {
        if (kPdfDocEncoding[byte] == nullptr) continue;
        const std::u32string character = unicodeOfGlyphName(kPdfDocEncoding[byte]);
        if (character.size() == 1) byteOf.emplace(character[0], static_cast<std::uint8_t>(byte));
    }
    return byteOf;
}

}  // namespace

std::optional<std::uint8_t> pdfDocByteOfGlyph(std::string_view glyphName) {
    static const std::unordered_map<char32_t, std::uint8_t> byteOfCharacter = makeByteOfCharacter();
    const std::u32string character = unicodeOfGlyphName(glyphName);
    if (character.size() != 1) return std::nullopt;
    const auto found = byteOfCharacter.find(character[0]);
    if (found == byteOfCharacter.end()) return std::nullopt;
    return found->second;
}

}  // namespace host::encodings
