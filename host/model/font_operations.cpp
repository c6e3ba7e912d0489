// The font operations of the host's tables: PDModel 95, 118, 135;
// PDFEditWrite 34, 35; PDFEditRead 41, 43, 70, 120. What they answer is
// told by fonts.h (handles, page order) and font_facts.h (names, attributes).
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <qpdf/QPDF.hh>

#include "core/atoms.h"
#include "core/counted_noun.h"
#include "core/errors.h"
#include "core/plugin_calls.h"
#include "core/tables.h"
#include "cos/cos_objects.h"
#include "host.h"
#include "model/documents.h"
#include "model/font_facts.h"
#include "model/fonts.h"
#include "operations.h"

namespace host {
namespace {

Fonts& fonts() { return Host::current().fonts(); }

template <class Value>
void writeAt(void* record, std::size_t offset, Value value) {
    std::memcpy(static_cast<unsigned char*>(record) + offset, &value, sizeof value);
}

template <class Value>
Value readAt(const void* record, std::size_t offset) {
    Value value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

Atom atomOrNull(const std::optional<std::string>& text) {
    return text ? Host::current().atoms().intern(*text) : kNullAtom;
}

void checkPageRange(std::int32_t firstPage, std::int32_t lastPage, std::size_t pageCount) {
    if (firstPage > lastPage) {
        raise(kErrBadArgument, "PDModel 95: the first page index " + std::to_string(firstPage) +
                                   " comes after the last page index " + std::to_string(lastPage));
    }
    if (firstPage < 0 || static_cast<std::size_t>(lastPage) >= pageCount) {
        raise(kErrBadArgument, "PDModel 95: page indices " + std::to_string(firstPage) + " to " +
                                   std::to_string(lastPage) + " are outside the document's " +
                                   countedNoun(pageCount, "page"));
    }
}

// PDModel 95. The procedure calls back into the host (it writes report
// pages), so each page's fonts are gathered before it runs.
void enumerateDocumentFonts(Handle document, std::int32_t firstPage, std::int32_t lastPage, FontEnumProc proc,
                            ClientData data, std::int32_t, std::int32_t) {
    Documents& documents = Host::current().documents();
    // Shared, so that the pages stay readable should the procedure close the document.
    const std::shared_ptr<QPDF> pdf = documents.get(document).pdf;
    if (proc == nullptr) raise(kErrBadArgument, "PDModel 95: no font procedure given");
    const std::vector<QPDFObjectHandle>& allPages = pdf->getAllPages();
    checkPageRange(firstPage, lastPage, allPages.size());
    const std::vector<QPDFObjectHandle> pages(allPages.begin() + firstPage, allPages.begin() + lastPage + 1);

    // The procedure may close the document; then there is nothing left to report.
    const auto stillOpen = [&] { return documents.find(document) != nullptr; };
    for (const QPDFObjectHandle& page : pages) {
        if (!stillOpen()) return;
        for (const Handle font : fonts().fontsOfPage(document, page)) {
            if (!stillOpen()) return;
            // The host keeps no font flags: a zeroed record, fresh for each call.
            std::array<std::uint32_t, 4> flags{};
            if (callPlugin(proc, font, flags.data(), data) == 0) return;
        }
    }
}

// PDModel 118
std::int32_t copyFontName(Handle font, char* buffer, std::int32_t size) {
    const FontEntry& entry = fonts().font(font);
    if (buffer == nullptr) raise(kErrBadArgument, "PDModel 118: no buffer for the font name");
    if (size <= 0) {
        raise(kErrBadArgument, "PDModel 118: a buffer of " + std::to_string(size) + " bytes holds no font name");
    }
    const std::string name = fontName(entry.dict);
    const std::size_t length = std::min(name.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return static_cast<std::int32_t>(length);
}

// PDModel 135
Object fontCosObject(Handle font) {
    const FontEntry& entry = fonts().font(font);
    return Host::current().cos().wrap(entry.document, entry.dict);
}

// PDFEditWrite 34. The host makes the standard Type 1 fonts, which is what
// report text needs, and refuses what it would otherwise have to ignore.
Handle createStandardFont(const void* attrs, std::int32_t attrsSize, std::int32_t firstCode, std::int32_t lastCode,
                          const std::int16_t* widths, const char* const* encoding, Atom baseEncoding,
                          Handle fontStream, std::int32_t, std::int32_t, std::int32_t) {
    if (attrs == nullptr) raise(kErrBadArgument, "PDFEditWrite 34: no font attribute record given");
    if (attrsSize < static_cast<std::int32_t>(kFontAttrsSize)) {
        raise(kErrBadArgument, "PDFEditWrite 34: the font attribute record has " + std::to_string(attrsSize) +
                                   " bytes, fewer than its " + std::to_string(kFontAttrsSize));
    }
    if (firstCode < 0 || lastCode > 255 || firstCode > lastCode) {
        raise(kErrBadArgument, "PDFEditWrite 34: codes " + std::to_string(firstCode) + " to " +
                                   std::to_string(lastCode) + " are not a range within 0 to 255");
    }
    if (widths != nullptr || encoding != nullptr || baseEncoding != kNullAtom || fontStream != kNoHandle) {
        raise(kErrNotImplemented,
              "PDFEditWrite 34: this host makes standard fonts only, without widths, encoding or font program");
    }
    const AtomTable& atoms = Host::current().atoms();
    const std::string type = atoms.text(readAt<Atom>(attrs, kFontAttrsType));
    const std::string name = atoms.text(readAt<Atom>(attrs, kFontAttrsName));
    // The encoding atom is not read: the plug-in asks for Identity-H, a CMap
    // of Type0 fonts that means nothing for a simple font, which is given
    // WinAnsiEncoding instead.
    auto dict = type == "Type1" ? standardType1Font(name) : std::nullopt;
    if (!dict) {
        raise(kErrNotImplemented, "PDFEditWrite 34: the " + type + " font " + name +
                                      " is not one of the 14 standard Type1 fonts, the only ones this host makes");
    }
    return fonts().makePageFont({kNoHandle, *dict});
}

// PDFEditWrite 35
Handle createFontFromCos(const Object* dict) {
    if (dict == nullptr) raise(kErrBadArgument, "PDFEditWrite 35: no Cos object given");
    CosObjects& cos = Host::current().cos();
    QPDFObjectHandle object = cos.unwrap(*dict);
    if (!isUsableFont(object)) raise(kErrBadArgument, "PDFEditWrite 35: the Cos object is not a font dictionary");
    return fonts().makePageFont({cos.documentOf(*dict), object});
}

// PDFEditRead 41: only the fields the host knows are written; the other
// bytes stay as the caller left them.
void readFontAttributes(Handle font, void* attrs, std::int32_t size) {
    const PageFontEntry& entry = fonts().pageFont(font);
    if (attrs == nullptr) raise(kErrBadArgument, "PDFEditRead 41: no font attribute record given");
    if (size < static_cast<std::int32_t>(kFontAttrsSize)) {
        raise(kErrBadArgument, "PDFEditRead 41: a record of " + std::to_string(size) +
                                   " bytes cannot hold the font attributes (" + std::to_string(kFontAttrsSize) +
                                   " bytes)");
    }
    const FontAttributes facts = fontAttributes(entry.dict, fonts().programFacts(entry.document, entry.dict));
    writeAt(attrs, kFontAttrsName, Host::current().atoms().intern(facts.name));
    writeAt(attrs, kFontAttrsType, atomOrNull(facts.type));
    writeAt(attrs, kFontAttrsEncoding, atomOrNull(facts.encoding));
    writeAt(attrs, kFontAttrsCidType, atomOrNull(facts.cidType));
    writeAt(attrs, kFontAttrsProtection, facts.protection);
}

// PDFEditRead 43. A font the host made lives in no document, so it has no
// Cos dictionary to give.
void pageFontCosObject(Handle font, Object* dict) {
    const PageFontEntry& entry = fonts().pageFont(font);
    if (dict == nullptr) raise(kErrBadArgument, "PDFEditRead 43: no place given for the Cos object");
    *dict = entry.document == kNoHandle ? Object{} : Host::current().cos().wrap(entry.document, entry.dict);
}

// PDFEditRead 70
Bool16 pageFontIsMultiByte(Handle font) { return isMultiByte(fonts().pageFont(font).dict) ? 1 : 0; }

// PDFEditRead 120
Bool16 pageFontIsEmbedded(Handle font) { return isEmbedded(fonts().pageFont(font).dict) ? 1 : 0; }

}  // namespace

void installFontOperations(TableRegistry& tables) {
    tables.install<op::DocEnumFonts, &enumerateDocumentFonts>();
    tables.install<op::FontName, &copyFontName>();
    tables.install<op::FontCosObject, &fontCosObject>();
    tables.install<op::FontCreate, &createStandardFont>();
    tables.install<op::FontCreateFromCos, &createFontFromCos>();
    tables.install<op::FontGetAttrs, &readFontAttributes>();
    tables.install<op::FontGetCosObject, &pageFontCosObject>();
    tables.install<op::FontIsMultiByte, &pageFontIsMultiByte>();
    tables.install<op::FontIsEmbedded, &pageFontIsEmbedded>();
}

}  // namespace host
