// Page-content editing (PDFEditWrite 4, 5, 14, 16, 18, 19, 37, 56;
// PDFEditRead 52; PagePDEContent 1, 2, 3): text and path elements that
// become a real content stream when stored as a page's content.
//
// Who owns what: an element handle is the plug-in's until it releases it
// (PDFEditRead 52); adding it to a content object copies what it holds, so
// the content never sees later changes or the release. Colour-space handles
// are shared, one per family, and counted: each creation wants one release.
// A page's content object is one per page, however often it is acquired;
// it lives until as many releases as acquisitions, and its elements reach
// the page only when it is stored (PagePDEContent 3). Storing replaces what
// the page draws with what the content holds: the drawing the page had when
// its content was first acquired, then the elements in order.
#pragma once

#include <array>
#include <map>
#include <utility>
#include <vector>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "core/handles.h"
#include "edit/elements.h"
#include "edit/font_copier.h"

namespace host {

class Documents;
class Pages;

class PageContent {
public:
    PageContent(Documents& documents, Pages& pages) : documents_(documents), pages_(pages), fonts_(documents) {}

    // Elements.
    Handle createElement(Element element) { return elements_.add(std::move(element)); }
    Element& element(Handle element) { return elements_.get(element); }
    TextElement& text(Handle element);  // raises for a path
    PathElement& path(Handle element);  // raises for a text
    // Releases an element, or one creation of a colour space.
    void release(Handle handle);

    // Colour spaces.
    Handle acquireColorSpace(ColorFamily family);
    ColorFamily colorSpace(Handle colorSpace) { return colorSpaces_.get(colorSpace).family; }

    // Content objects of pages.
    Handle acquireContent(Handle page);
    void releaseContent(Handle page);
    // Copies the element in after the element at `afterIndex`: -1 puts it
    // first, op::kAfterLastElement last.
    void addElement(Handle content, std::int32_t afterIndex, Handle element);
    void store(Handle page);
    // Makes a document's inline font indirect, so that the content can name
    // it when it is stored (FontCopier::anchor).
    void anchorFont(PageFontEntry& font) { fonts_.anchor(font); }

private:
    struct ColorSpaceEntry {
        ColorFamily family;
        std::size_t creations = 0;
    };
    struct ContentEntry {
        Handle document = kNoHandle;
        QPDFObjectHandle page;
        std::vector<Element> elements;
        std::size_t acquisitions = 0;
        // What the page drew before: its content streams and resources.
        std::vector<QPDFObjectHandle> earlierContents;
        QPDFObjectHandle earlierResources;
    };
    using PageKey = std::pair<Handle, QPDFObjGen>;

    PageKey keyOf(Handle page);
    Handle contentOf(Handle page);
    void releaseColorSpace(Handle colorSpace);
    QPDFObjectHandle drawingFor(ContentEntry& content, QPDFObjectHandle fontResources);

    Documents& documents_;
    Pages& pages_;
    HandleRegistry<Element> elements_{HandleKind::Element};
    HandleRegistry<ColorSpaceEntry> colorSpaces_{HandleKind::ColorSpace};
    std::array<Handle, 3> colorSpaceByFamily_{};
    HandleRegistry<ContentEntry> contents_{HandleKind::Content};
    std::map<PageKey, Handle> contentByPage_;
    FontCopier fonts_;
};

}  // namespace host
