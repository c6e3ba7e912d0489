// What the host tells about one font dictionary (PDModel 118; PDFEditRead
// 41, 70 and 120), as pure functions of a qpdf font dictionary.
//
// Nothing here raises for a damaged font: a missing or malformed entry
// answers "none" (std::nullopt, false or 0), as a viewer would show such a
// font rather than refuse it. Font programs are read with FreeType from a
// library the caller owns (`FreeTypeLibrary`); a program FreeType cannot
// open is no error, it merely tells nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/object_names.h"  // fontName, fontNameAndObject, fontSubtype
#include "model/encodings/font_encoding.h"

namespace host {

// Owns one FreeType library. Raises kErrNoMemory when FreeType cannot start.
class FreeTypeLibrary {
public:
    FreeTypeLibrary();
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    FT_Library get() const { return library_; }

private:
    FT_Library library_ = nullptr;
};

// The attributes of PDFEditRead 41, as text; the caller turns them into atoms.
struct FontAttributes {
    std::string name;                    // as `fontName` gives it
    std::optional<std::string> type;     // /Subtype: Type1, TrueType, Type0, Type3, MMType1
    std::optional<std::string> encoding; // see `encodingName`
    std::optional<std::string> cidType;  // see `cidFontType`
    std::int32_t protection = 0;         // see `ProgramFacts`
};

// Whether an object is a font the host can describe and copy: a dictionary
// whose /Subtype is a top-level font type (Type1, MMType1, TrueType, Type3,
// Type0) and whose /Type, when it has one, is /Font (many producers leave
// /Type out). A form, an empty dictionary or a CIDFont is not.
bool isUsableFont(QPDFObjectHandle object);

// A Type0 font draws codes of one or more bytes.
bool isMultiByte(QPDFObjectHandle font);

// The encoding by name: a simple font's /Encoding name (WinAnsiEncoding,
// ...); a Type0 font's CMap name (Identity-H, or the /CMapName of an
// embedded CMap stream). None for an encoding dictionary, which is a
// custom encoding, and for a font without /Encoding.
std::optional<std::string> encodingName(QPDFObjectHandle font);

// A Type0 font's descendant /Subtype (CIDFontType0 or CIDFontType2).
std::optional<std::string> cidFontType(QPDFObjectHandle font);

// The font program stream of the descriptor (the descendant's, for a Type0
// font): /FontFile, /FontFile2 or /FontFile3.
std::optional<QPDFObjectHandle> embeddedProgram(QPDFObjectHandle font);

// The decoded bytes of the font's embedded program; none without one, when
// its filters are unknown or its data is damaged, and, with a warning on
// standard error, when it decodes to more than 64 MB.
std::optional<std::string> embeddedProgramBytes(QPDFObjectHandle font);

// Whether the font's glyphs are in the document. A Type3 font always
// counts: its glyphs are content streams of its own dictionary, so a
// viewer draws them from the file and never substitutes another font.
bool isEmbedded(QPDFObjectHandle font);

// What the host reads from a font's embedded program, all from one
// decoding and one FreeType face. A font without a program, one that
// cannot be decoded or that FreeType cannot open tells nothing: 0 and none.
struct ProgramFacts {
    // The fsType flags when they forbid embedding the program as outlines
    // (restricted-licence embedding, 0x0002, or bitmap embedding only,
    // 0x0200); 0 otherwise, as for a program without such flags (Type 1,
    // bare CFF).
    std::int32_t protection = 0;
    // The encoding the program carries itself (`encodings::faceEncoding`).
    // It is read for a Type0 font's program too: a program may be shared
    // between fonts, and what is kept of it must not depend on which font
    // asked first.
    std::optional<encodings::CodeNames> builtInEncoding;
};

ProgramFacts readProgramFacts(QPDFObjectHandle font, FT_Library library);

// The attributes of a font whose program's facts were read already.
FontAttributes fontAttributes(QPDFObjectHandle font, const ProgramFacts& program);

// A new direct dictionary for one of the fourteen standard Type 1 fonts,
// with /WinAnsiEncoding (Symbol and ZapfDingbats keep their built-in
// encodings); none for any other name.
std::optional<QPDFObjectHandle> standardType1Font(std::string_view baseFont);

}  // namespace host
