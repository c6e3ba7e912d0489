// The glyph name operations of the host's tables: PDModel 122 and 123 hand
// out and take back a font's per-code glyph names (glyph_names.h), PDModel
// 308 translates a font's codes into PDFDocEncoding through those names.
#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "core/errors.h"
#include "core/tables.h"
#include "host.h"
#include "model/encodings/font_encoding.h"
#include "model/encodings/pdf_doc_encoding.h"
#include "model/fonts.h"
#include "model/glyph_names.h"
#include "operations.h"

namespace host {
namespace {

// The names of a document-layer font's codes; raises for a bad handle.
std::optional<encodings::CodeNames> codeNamesOfFont(Handle font) {
    Fonts& fonts = Host::current().fonts();
    const FontEntry& entry = fonts.font(font);
    return encodings::fontCodeNames(
        entry.dict, [&] { return fonts.programFacts(entry.document, entry.dict).builtInEncoding; });
}

// PDModel 122. A Type0 font has no one-byte names: null.
const char* const* acquireGlyphNames(Handle font) {
    auto names = codeNamesOfFont(font);
    return names ? Host::current().glyphNames().acquire(std::move(*names)) : nullptr;
}

// PDModel 123
void releaseGlyphNames(const char* const* table) { Host::current().glyphNames().release(table); }

void checkBuffer(const void* buffer, std::int32_t length, const char* what) {
    if (length < 0) {
        raise(kErrBadArgument, std::string("PDModel 308: the ") + what + " length " + std::to_string(length) +
                                   " is negative");
    }
    if (buffer == nullptr && length > 0) {
        raise(kErrBadArgument, std::string("PDModel 308: no ") + what + " buffer for " + std::to_string(length) +
                                   " bytes");
    }
}

// Each code whose glyph stands for a PDFDocEncoding character gets that
// byte; every other position keeps what the caller put there.
void translateToPdfDoc(const encodings::CodeNames& names, std::span<const std::uint8_t> codes,
                       std::span<std::uint8_t> output) {
    for (std::size_t at = 0; at < codes.size(); ++at) {
        if (const auto byte = encodings::pdfDocByteOfGlyph(names[codes[at]])) output[at] = *byte;
    }
}

// PDModel 308. An output smaller than the input takes what fits; the answer
// is the number of codes translated, the output's length.
std::int32_t translateFontCodes(Handle font, const std::uint8_t* input, std::int32_t inputLength,
                                std::uint8_t* output, std::int32_t outputCapacity) {
    Host::current().fonts().font(font);  // a bad handle is told before a bad buffer
    checkBuffer(input, inputLength, "input");
    checkBuffer(output, outputCapacity, "output");
    const auto names = codeNamesOfFont(font);
    const std::int32_t count = std::min(inputLength, outputCapacity);
    const auto length = static_cast<std::size_t>(count);
    if (names && length > 0) translateToPdfDoc(*names, {input, length}, {output, length});
    return count;
}

}  // namespace

void installGlyphOperations(TableRegistry& tables) {
    tables.install<op::FontGlyphNames, &acquireGlyphNames>();
    tables.install<op::FontFreeGlyphNames, &releaseGlyphNames>();
    tables.install<op::FontTranslate, &translateFontCodes>();
}

}  // namespace host
