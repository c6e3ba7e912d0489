// Fonts that page content draws, brought into the document whose page the
// content is stored in.
//
// A font taken from a document is copied with its descriptor and embedded
// program once per target document, however many pages draw it; a font the
// host made itself is added to each target document once. The target
// document owns the objects answered; the copier only remembers them.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "model/fonts.h"

namespace host {

class Documents;

class FontCopier {
public:
    explicit FontCopier(Documents& documents) : documents_(documents) {}

    // The indirect font dictionary in `target` that draws `font`.
    QPDFObjectHandle fontIn(Handle target, PageFontEntry font);

    // Makes an inline font dictionary of a document indirect in that
    // document, so that it can be copied and known again by its object.
    void anchor(PageFontEntry& font);

private:
    QPDF& documentPdf(Handle document);
    QPDFObjectHandle documentFontIn(Handle target, PageFontEntry& font);
    QPDFObjectHandle hostFontIn(Handle target, PageFontEntry& font);

    Documents& documents_;
    std::map<std::tuple<Handle, Handle, QPDFObjGen>, QPDFObjectHandle> fromDocuments_;
    std::map<std::pair<Handle, std::string>, QPDFObjectHandle> hostMade_;

    // The host-made font asked for last: a page asks for one many times, and
    // spelling its dictionary out to look it up costs more than the drawing.
    struct RecentHostFont {
        Handle target = kNoHandle;
        QPDFObjectHandle dict;
        QPDFObjectHandle made;
    };
    RecentHostFont recentHostFont_;
};

}  // namespace host
