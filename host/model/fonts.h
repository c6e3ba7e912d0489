// Fonts of host documents (PDModel 95, 118, 135; PDFEditWrite 34, 35;
// PDFEditRead 41, 43, 70, 120).
//
// Two kinds of font handle: a document-layer font names one font dictionary
// of an opened document (the same dictionary always gives the same handle);
// a page-content font is what the page-content writer draws with, made from
// a document-layer font's dictionary or from a font attribute record.
// Fonts owns both. The plug-in borrows document-layer fonts: they last as
// long as their document. It owns the page-content fonts it makes and hands
// them back with PDFEditRead 52 (`releasePageFont`). A font of a document
// that was closed is stale: asking for it raises.
//
// The fonts of a page (PDModel 95) come in this order: those of the page's
// resources (inherited through /Parent included), then those of the normal
// appearance of each annotation, in /Annots order. A resource dictionary
// gives its /Font entries in name order (byte-wise, the order in which qpdf
// keeps keys), then, depth first, what the resources hold of each Type3
// font among them, then of each form XObject (/XObject, name order), then
// of each tiling pattern (/Pattern, name order). A font object comes once
// per page, where it is first met; a form that draws itself ends the walk.
// Only usable fonts are handed over (`isUsableFont`); anything else under
// /Font is skipped with a warning on standard error.
//
// What a resources dictionary, form, pattern, Type3 font or appearance
// holds is walked once per document opened from a file, which the host
// never changes, and reused for every page that shares it; a document the
// host created changes as the report is written and is walked afresh.
#pragma once

#include <map>
#include <unordered_map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "core/document_users.h"
#include "core/handles.h"
#include "model/font_facts.h"
#include "model/object_ids.h"

namespace host {

struct FontEntry {
    Handle document = kNoHandle;
    QPDFObjectHandle dict;
};

struct PageFontEntry {
    Handle document = kNoHandle;  // kNoHandle for a font the host made itself
    QPDFObjectHandle dict;
};

class Documents;

class Fonts final : public DocumentUser {
public:
    explicit Fonts(Documents& documents);
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // The document-layer font of a font dictionary; the same dictionary,
    // indirect or written inline, gets the same handle every time.
    Handle handleFor(Handle document, QPDFObjectHandle dict);
    // Raises for a null, foreign or stale handle, and for a font whose
    // document was closed.
    FontEntry& font(Handle font);

    Handle makePageFont(PageFontEntry entry) { return pageFonts_.add(std::move(entry)); }
    // Raises like `font`; a font the host made has no document to lose.
    PageFontEntry& pageFont(Handle font);
    void releasePageFont(Handle font) { pageFonts_.remove(font); }

    // The document-layer fonts of one page of an open document, in the
    // order the header states.
    std::vector<Handle> fontsOfPage(Handle document, QPDFObjectHandle page);

    // The one FreeType library of the host, started on first use.
    FT_Library freeType();

    // The facts of a font's embedded program (`readProgramFacts`), read once
    // per program stream of a document: the plug-in asks for a font's
    // attributes and its code names several times, and each reading decodes
    // the whole program. No host operation writes a stream, so what was read
    // stays true while the document is open.
    ProgramFacts programFacts(Handle document, QPDFObjectHandle font);

    // Drops the fonts of a document that is being closed, and what was
    // kept of its walks.
    void forgetDocument(Handle document) override;

    // The fonts a page, resources dictionary or holder gives, once each.
    using FontList = std::vector<Handle>;

    // An object met under /Font: its handle, or kNoHandle when it is no
    // usable font; and whether it is a Type3 font, whose resources the walk
    // goes into.
    struct KnownFont {
        Handle handle = kNoHandle;
        bool type3 = false;
    };

private:
    class FontWalk;
    // What was walked, by the numbered resources dictionary or holder.
    using Memo = std::unordered_map<QPDFObjGen, FontList, ObjGenHash>;

    // What an entry of /Font is, worked out (and warned about) once per
    // numbered object.
    KnownFont fontUnder(Handle document, const std::string& key, QPDFObjectHandle entry);

    struct DocumentFonts {
        std::unordered_map<QPDFObjGen, KnownFont, ObjGenHash> indirect;
        // Inline dictionaries have no number; they are told apart by the qpdf
        // object that every handle to them shares, as isSameObjectAs does, in
        // one lookup. qpdf 11 hands that object out through getObjectPtr(),
        // which its header marks as for its own use. The handle kept with
        // each keeps that object alive.
        std::unordered_map<const QPDFObject*, std::pair<QPDFObjectHandle, Handle>> direct;
        Memo walked;
        std::unordered_map<QPDFObjGen, ProgramFacts, ObjGenHash> programs;  // by program stream
    };

    Documents& opened_;
    HandleRegistry<FontEntry> fonts_{HandleKind::Font, HandleRegistry<FontEntry>::kLastingSlotBits};
    HandleRegistry<PageFontEntry> pageFonts_{HandleKind::PageFont};
    std::map<Handle, DocumentFonts> documents_;
    std::unique_ptr<FreeTypeLibrary> freeType_;
};

}  // namespace host
