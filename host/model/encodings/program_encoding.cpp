// The built-in encodings of font programs, read with FreeType.
#include "model/encodings/font_encoding.h"

#include <array>
#include <span>

#include FT_TYPE1_TABLES_H

namespace host::encodings {
namespace {

// A glyph's name; empty for .notdef and for a glyph FreeType cannot name.
std::string glyphName(FT_Face face, FT_UInt glyph) {
    std::array<char, 256> name{};
    if (glyph == 0 || FT_Get_Glyph_Name(face, glyph, name.data(), static_cast<FT_UInt>(name.size())) != 0) return "";
    const std::string text = name.data();
    return text == ".notdef" ? "" : text;
}

FT_CharMap findCharmap(FT_Face face, auto&& wanted) {
    for (FT_Int index = 0; index < face->num_charmaps; ++index) {
        if (wanted(face->charmaps[index])) return face->charmaps[index];
    }
    return nullptr;
}

// A Type 1 program's own /Encoding array, its names as written, whether or
// not the subset kept their glyphs. None for other programs and encodings.
std::optional<CodeNames> type1EncodingArray(FT_Face face) {
    T1_EncodingType type = T1_ENCODING_TYPE_NONE;
    if (FT_Get_PS_Font_Value(face, PS_DICT_ENCODING_TYPE, 0, &type, sizeof type) <= 0 ||
        type != T1_ENCODING_TYPE_ARRAY) {
        return std::nullopt;
    }
    CodeNames names;
    for (FT_UInt code = 0; code < names.size(); ++code) {
        const FT_Long size = FT_Get_PS_Font_Value(face, PS_DICT_ENCODING_ENTRY, code, nullptr, 0);
        if (size <= 1) continue;
        std::string name(static_cast<std::size_t>(size), '\0');
        FT_Get_PS_Font_Value(face, PS_DICT_ENCODING_ENTRY, code, name.data(), size);
        name.pop_back();  // the terminating NUL
        if (name != ".notdef") names[code] = std::move(name);
    }
    return names;
}

bool isPostScriptCharmap(FT_CharMap charmap) {
    switch (charmap->encoding) {
        case FT_ENCODING_ADOBE_CUSTOM:
        case FT_ENCODING_ADOBE_STANDARD:
        case FT_ENCODING_ADOBE_EXPERT:
        case FT_ENCODING_ADOBE_LATIN_1:
            return true;
        default:
            return false;
    }
}

// A Type 1 or bare CFF program's encoding as FreeType exposes it. Standard
// encoding is named in full; any other names only the codes whose glyphs
// the program holds.
std::optional<CodeNames> postScriptCharmapEncoding(FT_Face face) {
    const FT_CharMap charmap = findCharmap(face, isPostScriptCharmap);
    if (charmap == nullptr) return std::nullopt;
    if (charmap->encoding == FT_ENCODING_ADOBE_STANDARD) return codeNamesOf(kStandardEncoding);
    if (!FT_HAS_GLYPH_NAMES(face) || FT_Set_Charmap(face, charmap) != 0) return std::nullopt;
    CodeNames names;
    for (FT_ULong code = 0; code < names.size(); ++code) names[code] = glyphName(face, FT_Get_Char_Index(face, code));
    return names;
}

// A TrueType program's symbolic (3,0) cmap, whose producers place the codes
// at U+F000, U+F100 or U+F200 as often as at themselves, or else its
// Macintosh Roman (1,0) cmap; the names come from the post table.
std::optional<CodeNames> symbolicCmapEncoding(FT_Face face) {
    if (!FT_HAS_GLYPH_NAMES(face)) return std::nullopt;
    const auto isCmap = [](FT_UShort platform, FT_UShort encoding) {
        return [=](FT_CharMap charmap) { return charmap->platform_id == platform && charmap->encoding_id == encoding; };
    };
    constexpr std::array<FT_ULong, 4> kWindowsSymbolOffsets = {0, 0xF000, 0xF100, 0xF200};
    constexpr std::array<FT_ULong, 1> kMacintoshOffsets = {0};
    FT_CharMap charmap = findCharmap(face, isCmap(3, 0));
    std::span<const FT_ULong> offsets = kWindowsSymbolOffsets;
    if (charmap == nullptr) {
        charmap = findCharmap(face, isCmap(1, 0));
        offsets = kMacintoshOffsets;
    }
    if (charmap == nullptr || FT_Set_Charmap(face, charmap) != 0) return std::nullopt;
    CodeNames names;
    for (FT_ULong code = 0; code < names.size(); ++code) {
        for (const FT_ULong offset : offsets) {
            if (const FT_UInt glyph = FT_Get_Char_Index(face, offset + code); glyph != 0) {
                names[code] = glyphName(face, glyph);
                break;
            }
        }
    }
    return names;
}

}  // namespace

std::optional<CodeNames> faceEncoding(FT_Face face) {
    if (FT_IS_SFNT(face)) return symbolicCmapEncoding(face);
    if (auto names = type1EncodingArray(face)) return names;
    return postScriptCharmapEncoding(face);
}

}  // namespace host::encodings
