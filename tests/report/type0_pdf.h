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

// How a copy of a document changes the ToUnicode CMap of every Type0 font.
struct ToUnicodeEdit {
    std::string firstEntry;                // one more mapping before the others, such as "<0000> <0020>"
    std::optional<std::string> codeSpace;  // the code-space ranges written instead, such as "<0000> <00FF>"
};

// Writes a copy of `input` with that edit; answers `path`.
std::string withToUnicodeEdited(const std::string& input, const std::string& path, const ToUnicodeEdit& edit);

}  // namespace ortheo::testing
