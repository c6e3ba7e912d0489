// Fonts of host documents (PDModel 95, 118, 135; PDFEditWrite 34, 35;
// PDFEditRead 41, 43, 70, 120).
//
// Two kinds of font handle: a document-layer font names one font dictionary
// of an opened document (the same dictionary always gives the same handle);
// a page-content font is what the page-content writer draws with, made from
// a document-layer font's dictionary or from a font attribute record.
#pragma once

#include <map>
#include <utility>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "core/handles.h"

namespace host {

struct FontEntry {
    Handle document = kNoHandle;
    QPDFObjectHandle dict;
};

struct PageFontEntry {
    Handle document = kNoHandle;  // kNoHandle for a font the host made itself
    QPDFObjectHandle dict;
};

class Fonts {
public:
    // The document-layer font of a font dictionary; an indirect dictionary
    // gets the same handle every time.
    Handle handleFor(Handle document, QPDFObjectHandle dict);
    FontEntry& font(Handle font) { return fonts_.get(font); }

    Handle makePageFont(PageFontEntry entry) { return pageFonts_.add(std::move(entry)); }
    PageFontEntry& pageFont(Handle font) { return pageFonts_.get(font); }

private:
    HandleRegistry<FontEntry> fonts_{HandleKind::Font};
    std::map<std::pair<Handle, QPDFObjGen>, Handle> byObject_;
    HandleRegistry<PageFontEntry> pageFonts_{HandleKind::PageFont};
};

}  // namespace host
