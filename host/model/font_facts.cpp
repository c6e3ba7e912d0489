#include "model/font_facts.h"

#include <algorithm>
#include <array>
#include <memory>

#include "core/errors.h"
#include "core/warnings.h"
#include "cos/stream_decoding.h"

namespace host {
namespace {

// fsType bits that forbid embedding a font's outlines.
constexpr FT_UShort kOutlinesForbidden =
    FT_FSTYPE_RESTRICTED_LICENSE_EMBEDDING | FT_FSTYPE_BITMAP_EMBEDDING_ONLY;

constexpr std::array<std::string_view, 14> kStandardType1Fonts = {
    "Times-Roman",  "Times-Bold",        "Times-Italic",        "Times-BoldItalic",
    "Helvetica",    "Helvetica-Bold",    "Helvetica-Oblique",   "Helvetica-BoldOblique",
    "Courier",      "Courier-Bold",      "Courier-Oblique",     "Courier-BoldOblique",
    "Symbol",       "ZapfDingbats",
};

constexpr std::array<std::string_view, 5> kFontSubtypes = {"Type1", "MMType1", "TrueType", "Type3", "Type0"};

constexpr std::array<const char*, 3> kProgramKeys = {"/FontFile", "/FontFile2", "/FontFile3"};

// The most of a font program that is decoded: the largest real ones, CJK
// fonts of every glyph, hold a few tens of megabytes.
constexpr std::size_t kLargestFontProgram = 64 << 20;

// The first (and only meaningful) descendant of a Type0 font.
QPDFObjectHandle descendantOf(QPDFObjectHandle font) {
    QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
    if (descendants.isArray() && descendants.getArrayNItems() > 0) return descendants.getArrayItem(0);
    return QPDFObjectHandle::newNull();
}

// The descriptor that holds the font program: a Type0 font's is its descendant's.
QPDFObjectHandle descriptorOf(QPDFObjectHandle font) {
    QPDFObjectHandle holder = isMultiByte(font) ? descendantOf(font) : font;
    return holder.isDictionary() ? holder.getKey("/FontDescriptor") : QPDFObjectHandle::newNull();
}

struct FaceCloser {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Face = std::unique_ptr<FT_FaceRec, FaceCloser>;

// A font program's fully decoded data; none when a filter is unknown, the
// data is damaged or it decodes to more than any real font program holds,
// which is not decoded further.
std::optional<std::string> decodedProgram(QPDFObjectHandle stream) {
    DecodedStream decoded = decodeAtMost(stream, kLargestFontProgram);
    if (decoded.outcome == Decoding::tooLarge) {
        warnOnce("the font program " + objectReference(stream) + " decodes to more than " +
                 std::to_string(kLargestFontProgram >> 20) + " MB; its embedding flags and built-in encoding are not read");
    }
    if (decoded.outcome != Decoding::complete) return std::nullopt;
    return std::move(decoded.data);
}

}  // namespace

FreeTypeLibrary::FreeTypeLibrary() {
    if (FT_Init_FreeType(&library_) != 0) raise(kErrNoMemory, "FreeType could not be started");
}

FreeTypeLibrary::~FreeTypeLibrary() { FT_Done_FreeType(library_); }

bool isUsableFont(QPDFObjectHandle object) {
    if (!object.isDictionary()) return false;
    if (QPDFObjectHandle type = object.getKey("/Type"); !type.isNull() && !type.isNameAndEquals("/Font")) return false;
    const auto subtype = fontSubtype(object);
    return subtype && std::find(kFontSubtypes.begin(), kFontSubtypes.end(), *subtype) != kFontSubtypes.end();
}

bool isMultiByte(QPDFObjectHandle font) { return font.getKey("/Subtype").isNameAndEquals("/Type0"); }

std::optional<std::string> encodingName(QPDFObjectHandle font) {
    QPDFObjectHandle encoding = font.getKey("/Encoding");
    if (isMultiByte(font) && encoding.isStream()) return nameText(encoding.getDict().getKey("/CMapName"));
    return nameText(encoding);
}

std::optional<std::string> cidFontType(QPDFObjectHandle font) {
    if (!isMultiByte(font)) return std::nullopt;
    QPDFObjectHandle descendant = descendantOf(font);
    if (!descendant.isDictionary()) return std::nullopt;
    return nameText(descendant.getKey("/Subtype"));
}

std::optional<QPDFObjectHandle> embeddedProgram(QPDFObjectHandle font) {
    QPDFObjectHandle descriptor = descriptorOf(font);
    if (!descriptor.isDictionary()) return std::nullopt;
    for (const char* key : kProgramKeys) {
        QPDFObjectHandle program = descriptor.getKey(key);
        if (program.isStream()) return program;
    }
    return std::nullopt;
}

bool isEmbedded(QPDFObjectHandle font) {
    return font.getKey("/Subtype").isNameAndEquals("/Type3") || embeddedProgram(font).has_value();
}

std::optional<std::string> embeddedProgramBytes(QPDFObjectHandle font) {
    const auto program = embeddedProgram(font);
    if (!program) return std::nullopt;
    return decodedProgram(*program);
}

ProgramFacts readProgramFacts(QPDFObjectHandle font, FT_Library library) {
    const auto program = embeddedProgramBytes(font);
    if (!program) return {};
    FT_Face opened = nullptr;
    // FreeType reads the bytes in place; `program` outlives the face.
    if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(program->data()),
                           static_cast<FT_Long>(program->size()), 0, &opened) != 0) {
        return {};
    }
    const Face face(opened);
    const FT_UShort flags = FT_Get_FSType_Flags(face.get());
    return {(flags & kOutlinesForbidden) != 0 ? flags : 0, encodings::faceEncoding(face.get())};
}

FontAttributes fontAttributes(QPDFObjectHandle font, const ProgramFacts& program) {
    return {fontName(font), fontSubtype(font), encodingName(font), cidFontType(font), program.protection};
}

std::optional<QPDFObjectHandle> standardType1Font(std::string_view baseFont) {
    if (std::find(kStandardType1Fonts.begin(), kStandardType1Fonts.end(), baseFont) == kStandardType1Fonts.end()) {
        return std::nullopt;
    }
    QPDFObjectHandle font = QPDFObjectHandle::newDictionary();
    font.replaceKey("/Type", QPDFObjectHandle::newName("/Font"));
    font.replaceKey("/Subtype", QPDFObjectHandle::newName("/Type1"));
    font.replaceKey("/BaseFont", QPDFObjectHandle::newName("/" + std::string(baseFont)));
    const bool symbolic = baseFont == "Symbol" || baseFont == "ZapfDingbats";
    if (!symbolic) font.replaceKey("/Encoding", QPDFObjectHandle::newName("/WinAnsiEncoding"));
    return font;
}

}  // namespace host
