// Small PDFs with a multi-byte (Type0) font, made for the report's tests.
#pragma once

#include <optional>
#include <string>

namespace ortheo::testing {

struct Type0Font {
    std::string encoding = "Identity-H";
    std::optional<std::string> toUnicode;  // the CMap text; none: no ToUnicode entry
    bool withDescendant = true;            // a CIDFontType2 descendant, not embedded
};

// Writes a one-page PDF whose font /F1, "Mincho", is `font`; answers `path`.
std::string writeType0Pdf(const std::string& path, const Type0Font& font);

// Writes a copy of `input` in which the ToUnicode CMap of every Type0 font
// begins with one more mapping, `firstEntry` (such as "<0000> <0020>").
std::string withFirstToUnicodeEntry(const std::string& input, const std::string& path, const std::string& firstEntry);

}  // namespace ortheo::testing
