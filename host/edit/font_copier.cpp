#include "edit/font_copier.h"

#include <set>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

#include "core/errors.h"
#include "core/warnings.h"
#include "cos/stream_decoding.h"
#include "model/documents.h"

namespace host {
namespace {

// A copy of a direct object that belongs to `target`: containers are copied,
// indirect objects of other documents are copied with everything they use.
QPDFObjectHandle adopt(QPDF& target, QPDFObjectHandle object) {
    if (object.isIndirect()) {
        return object.getOwningQPDF() == &target ? object : target.copyForeignObject(object);
    }
    if (object.isArray()) {
        QPDFObjectHandle copy = QPDFObjectHandle::newArray();
        for (QPDFObjectHandle item : object.aitems()) copy.appendItem(adopt(target, item));
        return copy;
    }
    if (object.isDictionary()) {
        QPDFObjectHandle copy = QPDFObjectHandle::newDictionary();
        for (auto& [key, value] : object.ditems()) copy.replaceKey(key, adopt(target, value));
        return copy;
    }
    return object.shallowCopy();
}

// A ToUnicode map that decodes to more than the host reads is no real one:
// copied along, it would make the report a decompression bomb for whoever
// reads the report. The copy goes without it.
void dropOversizedToUnicode(QPDFObjectHandle source, QPDFObjectHandle copy) {
    QPDFObjectHandle toUnicode = source.getKey("/ToUnicode");
    if (!toUnicode.isStream()) return;
    if (decodeAtMost(toUnicode, kLargestStreamRead).outcome != Decoding::tooLarge) return;
    copy.removeKey("/ToUnicode");
    warnOnce("the ToUnicode map of " + source.unparse() + " decodes to more than " +
             std::to_string(kLargestStreamRead >> 20) + " MB; the report's copy of the font goes without it");
}

// qpdf copies a font's objects recursively, a few stack frames for each
// object on the way down, so a font that reaches a long chain of objects
// would overflow the stack. No real font reaches more than a few hundred
// (a Type3 font's glyph procedures and their resources).
constexpr std::size_t kLargestFontGraph = 4096;

// Whether `font` reaches at most kLargestFontGraph numbered objects; the
// walk stops as soon as it has met more.
bool isSmallEnoughToCopy(QPDFObjectHandle font) {
    std::set<QPDFObjGen> reached;
    std::vector<QPDFObjectHandle> pending{font};
    while (!pending.empty()) {
        QPDFObjectHandle object = pending.back();
        pending.pop_back();
        if (object.isIndirect() && !reached.insert(object.getObjGen()).second) continue;
        if (reached.size() > kLargestFontGraph) return false;
        if (object.isStream()) object = object.getDict();
        if (object.isArray()) {
            for (QPDFObjectHandle item : object.aitems()) pending.push_back(item);
        } else if (object.isDictionary()) {
            for (auto& [key, value] : object.ditems()) pending.push_back(value);
        }
    }
    return true;
}

}  // namespace

QPDF& FontCopier::documentPdf(Handle document) {
    Document* found = documents_.find(document);
    if (found == nullptr) raise(kErrBadHandle, "a font drawn in the content belongs to a document that was closed");
    return *found->pdf;
}

void FontCopier::anchor(PageFontEntry& font) {
    if (font.document == kNoHandle || font.dict.isIndirect()) return;
    font.dict = documentPdf(font.document).makeIndirectObject(font.dict);
}

QPDFObjectHandle FontCopier::fontIn(Handle target, PageFontEntry font) {
    if (!font.dict.isDictionary()) raise(kErrBadArgument, "a font drawn in the content has no font dictionary");
    return font.document == kNoHandle ? hostFontIn(target, font) : documentFontIn(target, font);
}

QPDFObjectHandle FontCopier::documentFontIn(Handle target, PageFontEntry& font) {
    anchor(font);
    if (font.document == target) return font.dict;

    const auto key = std::make_tuple(target, font.document, font.dict.getObjGen());
    if (const auto known = fromDocuments_.find(key); known != fromDocuments_.end()) return known->second;
    QPDF& source = documentPdf(font.document);
    if (!isSmallEnoughToCopy(font.dict)) {
        raise(kErrPdf, "the font " + font.dict.unparse() + " reaches more than " + std::to_string(kLargestFontGraph) +
                           " objects, too many to copy into the report");
    }
    // The report may be written after the analysed document is closed.
    source.setImmediateCopyFrom(true);
    QPDFObjectHandle copy = documentPdf(target).copyForeignObject(font.dict);
    dropOversizedToUnicode(font.dict, copy);
    fromDocuments_.emplace(key, copy);
    return copy;
}

// Host-made fonts with the same dictionary are one font to the target.
QPDFObjectHandle FontCopier::hostFontIn(Handle target, PageFontEntry& font) {
    QPDF& pdf = documentPdf(target);
    if (font.dict.isIndirect()) return adopt(pdf, font.dict);

    if (recentHostFont_.target == target && recentHostFont_.dict.isSameObjectAs(font.dict)) {
        return recentHostFont_.made;
    }
    const auto key = std::make_pair(target, font.dict.unparse());
    auto known = hostMade_.find(key);
    if (known == hostMade_.end()) {
        known = hostMade_.emplace(key, pdf.makeIndirectObject(adopt(pdf, font.dict))).first;
    }
    recentHostFont_ = {target, font.dict, known->second};
    return known->second;
}

}  // namespace host
