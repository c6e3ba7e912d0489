// Turns page-content elements into the operators of a content stream.
//
// Text runs become `BT /Fn 1 Tf a b c d e f Tm <fill colour> (bytes) Tj ET`;
// paths become `q <colours> <width> w [M] [i] <segments> <paint> Q`, each in
// its own graphics state so that nothing leaks to the next element. Numbers
// are written from their 16.16 values with integer arithmetic.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "edit/elements.h"

namespace host {

// A 16.16 value as a PDF number: rounded to five fraction digits, which is
// enough for a reader to get the same 16.16 value back, with trailing zeros
// dropped: 0x10000 -> "1", 0xCCCD -> "0.8", -0x8000 -> "-0.5",
// 65536 * 1100 -> "1100".
std::string formatFixed(Fixed value);
void appendFixed(std::string& out, Fixed value);

// Appends `bytes` as a PDF literal string: parentheses and backslashes
// escaped, bytes outside printable ASCII in octal.
void appendLiteralString(std::string& out, const std::string& bytes);

// The resource name (without the slash) under which a font is drawn.
using FontNamer = std::function<std::string(const PageFontEntry& font)>;

std::string writeContent(const std::vector<Element>& elements, const FontNamer& fontName);

}  // namespace host
