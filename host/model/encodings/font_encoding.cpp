#include "model/encodings/font_encoding.h"

#include <map>
#include <string_view>

#include "model/font_facts.h"

namespace host::encodings {
namespace {

// Descriptor /Flags bit 3: the font uses characters outside the standard Latin set.
constexpr long long kSymbolicFlag = 1 << 2;

const std::map<std::string, const EncodingVector*, std::less<>> kNamedEncodings = {
    {"/StandardEncoding", &kStandardEncoding},
    {"/WinAnsiEncoding", &kWinAnsiEncoding},
    {"/MacRomanEncoding", &kMacRomanEncoding},
    {"/MacExpertEncoding", &kMacExpertEncoding},
};

// The standard fonts whose built-in encoding is not StandardEncoding.
const std::map<std::string, const EncodingVector*, std::less<>> kSymbolicStandardFonts = {
    {"Symbol", &kSymbolEncoding},
    {"ZapfDingbats", &kDingbatsEncoding},
};

const EncodingVector* namedEncoding(QPDFObjectHandle name) {
    if (!name.isName()) return nullptr;
    const auto found = kNamedEncodings.find(name.getName());
    return found == kNamedEncodings.end() ? nullptr : found->second;
}

// A subset's name carries a six-letter tag ("ABCDEF+Symbol"): the font is still Symbol.
std::string_view withoutSubsetTag(std::string_view name) {
    const bool tagged = name.size() > 7 && name[6] == '+' &&
                        name.substr(0, 6).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string_view::npos;
    return tagged ? name.substr(7) : name;
}

const EncodingVector* symbolicStandardEncoding(QPDFObjectHandle font) {
    QPDFObjectHandle baseFont = font.getKey("/BaseFont");
    if (!baseFont.isName()) return nullptr;
    const std::string name = baseFont.getName().substr(1);
    const auto found = kSymbolicStandardFonts.find(withoutSubsetTag(name));
    return found == kSymbolicStandardFonts.end() ? nullptr : found->second;
}

bool isSymbolic(QPDFObjectHandle font) {
    QPDFObjectHandle flags = font.getKey("/FontDescriptor").getKeyIfDict("/Flags");
    return flags.isInteger() && (flags.getIntValue() & kSymbolicFlag) != 0;
}

CodeNames baseEncoding(QPDFObjectHandle font, QPDFObjectHandle encoding, const BuiltInEncoding& builtIn) {
    const QPDFObjectHandle name = encoding.isDictionary() ? encoding.getKey("/BaseEncoding") : encoding;
    if (const EncodingVector* vector = namedEncoding(name)) return codeNamesOf(*vector);
    if (const EncodingVector* vector = symbolicStandardEncoding(font)) return codeNamesOf(*vector);
    if (auto names = builtIn()) return std::move(*names);
    return isSymbolic(font) ? CodeNames{} : codeNamesOf(kStandardEncoding);
}

// Each number sets the code of the names after it; names before any number,
// and codes outside 0 to 255, name nothing. Counting stops past 255, so that
// no number in the file makes the count overflow.
void applyDifferences(QPDFObjectHandle differences, CodeNames& names) {
    if (!differences.isArray()) return;
    std::optional<long long> code;
    for (QPDFObjectHandle item : differences.aitems()) {
        if (item.isInteger()) {
            code = item.getIntValue();
        } else if (item.isName() && code) {
            if (*code >= 0 && *code < static_cast<long long>(names.size())) {
                const std::string glyph = item.getName().substr(1);
                names[static_cast<std::size_t>(*code)] = glyph == ".notdef" ? "" : glyph;
            }
            if (*code < static_cast<long long>(names.size())) ++*code;
        }
    }
}

}  // namespace

CodeNames codeNamesOf(const EncodingVector& vector) {
    CodeNames names;
    for (std::size_t code = 0; code < vector.size(); ++code) {
        if (vector[code] != nullptr) names[code] = vector[code];
    }
    return names;
}

std::optional<CodeNames> fontCodeNames(QPDFObjectHandle font, const BuiltInEncoding& builtIn) {
    if (!font.isDictionary()) return std::nullopt;
    const std::optional<std::string> subtype = fontSubtype(font);
    if (subtype == "Type0") return std::nullopt;
    QPDFObjectHandle encoding = font.getKey("/Encoding");
    CodeNames names = subtype == "Type3" ? CodeNames{} : baseEncoding(font, encoding, builtIn);
    if (encoding.isDictionary()) applyDifferences(encoding.getKey("/Differences"), names);
    return names;
}

}  // namespace host::encodings
