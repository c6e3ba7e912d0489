// PDFDocEncoding, the host's single-byte text encoding (PDModel 308
// translates into it).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace host::encodings {

// The PDFDocEncoding byte of the character a glyph name stands for; none
// when the name stands for no single character or PDFDocEncoding lacks it.
std::optional<std::uint8_t> pdfDocByteOfGlyph(std::string_view glyphName);

}  // namespace host::encodings
