#include "edit/page_content.h"

#include <functional>
#include <string>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "core/errors.h"
#include "edit/content_writer.h"
#include "model/documents.h"
#include "model/pages.h"

namespace host {
namespace {

std::size_t familyIndex(ColorFamily family) { return static_cast<std::size_t>(family); }

// The page's content streams that draw anything; a new page may have an
// empty one, which is not worth keeping.
std::vector<QPDFObjectHandle> drawingStreams(QPDFObjectHandle page) {
    std::vector<QPDFObjectHandle> drawing;
    for (QPDFObjectHandle stream : QPDFPageObjectHelper(page).getPageContents()) {
        if (stream.isStream() && stream.getRawStreamData()->getSize() > 0) drawing.push_back(stream);
    }
    return drawing;
}

// A direct copy of a resource dictionary, or a new one, for this page alone.
QPDFObjectHandle ownCopy(QPDFObjectHandle dict) {
    return dict.isDictionary() ? dict.shallowCopy() : QPDFObjectHandle::newDictionary();
}

// The font resource name of each target font: the name the page already
// has for it, else /F1, /F2, ... in the order of first use, passing over
// names the page already uses.
class FontNames {
public:
    FontNames(FontCopier& copier, Handle document, QPDFObjectHandle fontResources)
        : copier_(copier), document_(document), fontResources_(fontResources) {
        for (auto& [name, font] : fontResources_.ditems()) {
            if (font.isIndirect()) names_.emplace(font.getObjGen(), name.substr(1));
        }
    }

    std::string operator()(const PageFontEntry& font) {
        QPDFObjectHandle target = copier_.fontIn(document_, font);
        if (const auto known = names_.find(target.getObjGen()); known != names_.end()) return known->second;
        std::string name;
        do {
            name = "F" + std::to_string(++counter_);
        } while (fontResources_.hasKey("/" + name));
        fontResources_.replaceKey("/" + name, target);
        names_.emplace(target.getObjGen(), name);
        return name;
    }

private:
    FontCopier& copier_;
    Handle document_;
    QPDFObjectHandle fontResources_;
    std::map<QPDFObjGen, std::string> names_;
    int counter_ = 0;
};

}  // namespace

TextElement& PageContent::text(Handle handle) {
    auto* text = std::get_if<TextElement>(&element(handle));
    if (text == nullptr) raise(kErrBadArgument, "the element is a path, not a text");
    return *text;
}

PathElement& PageContent::path(Handle handle) {
    auto* path = std::get_if<PathElement>(&element(handle));
    if (path == nullptr) raise(kErrBadArgument, "the element is a text, not a path");
    return *path;
}

void PageContent::release(Handle handle) {
    if (HandleRegistry<ColorSpaceEntry>::kindOf(handle) == HandleKind::ColorSpace) {
        releaseColorSpace(handle);
    } else {
        elements_.remove(handle);
    }
}

Handle PageContent::acquireColorSpace(ColorFamily family) {
    Handle& shared = colorSpaceByFamily_[familyIndex(family)];
    if (shared == kNoHandle) shared = colorSpaces_.add({family});
    ++colorSpaces_.get(shared).creations;
    return shared;
}

void PageContent::releaseColorSpace(Handle colorSpace) {
    ColorSpaceEntry& entry = colorSpaces_.get(colorSpace);
    if (--entry.creations > 0) return;
    colorSpaceByFamily_[familyIndex(entry.family)] = kNoHandle;
    colorSpaces_.remove(colorSpace);
}

PageContent::PageKey PageContent::keyOf(Handle page) {
    const PageEntry& entry = pages_.get(page);
    return {entry.document, entry.page.getObjGen()};
}

Handle PageContent::contentOf(Handle page) {
    const auto found = contentByPage_.find(keyOf(page));
    if (found == contentByPage_.end()) raise(kErrBadArgument, "the page's content is not acquired");
    return found->second;
}

Handle PageContent::acquireContent(Handle page) {
    const PageKey key = keyOf(page);
    if (const auto known = contentByPage_.find(key); known != contentByPage_.end()) {
        ++contents_.get(known->second).acquisitions;
        return known->second;
    }
    QPDFObjectHandle pageObject = pages_.get(page).page;
    ContentEntry entry;
    entry.document = key.first;
    entry.page = pageObject;
    entry.acquisitions = 1;
    entry.earlierContents = drawingStreams(pageObject);
    entry.earlierResources = QPDFPageObjectHelper(pageObject).getAttribute("/Resources", false);
    const Handle content = contents_.add(std::move(entry));
    contentByPage_.emplace(key, content);
    return content;
}

void PageContent::releaseContent(Handle page) {
    const Handle content = contentOf(page);
    if (--contents_.get(content).acquisitions > 0) return;
    contentByPage_.erase(keyOf(page));
    contents_.remove(content);
}

void PageContent::addElement(Handle content, std::int32_t afterIndex, Handle element) {
    ContentEntry& entry = contents_.get(content);
    const Element& copied = this->element(element);
    const auto count = static_cast<std::int64_t>(entry.elements.size());
    if (afterIndex == op::kAfterLastElement) {
        entry.elements.push_back(copied);
        return;
    }
    if (afterIndex < -1 || afterIndex >= count) {
        raise(kErrBadArgument, "there is no element " + std::to_string(afterIndex) + " to add after; the content has " +
                                   std::to_string(count) + " elements");
    }
    entry.elements.insert(entry.elements.begin() + afterIndex + 1, copied);
}

// The page's new content streams: the earlier drawing in a graphics state
// of its own, then the elements.
QPDFObjectHandle PageContent::drawingFor(ContentEntry& content, QPDFObjectHandle fontResources) {
    QPDF& pdf = *documents_.get(content.document).pdf;
    FontNames names(fonts_, content.document, fontResources);
    QPDFObjectHandle elements = QPDFObjectHandle::newStream(&pdf, writeContent(content.elements, std::ref(names)));
    if (content.earlierContents.empty()) return elements;

    QPDFObjectHandle streams = QPDFObjectHandle::newArray();
    streams.appendItem(QPDFObjectHandle::newStream(&pdf, "q\n"));
    for (QPDFObjectHandle earlier : content.earlierContents) streams.appendItem(earlier);
    streams.appendItem(QPDFObjectHandle::newStream(&pdf, "\nQ\n"));
    streams.appendItem(elements);
    return streams;
}

void PageContent::store(Handle page) {
    ContentEntry& content = contents_.get(contentOf(page));
    QPDFObjectHandle resources = ownCopy(content.earlierResources);
    QPDFObjectHandle fontResources = ownCopy(resources.getKey("/Font"));
    QPDFObjectHandle drawing = drawingFor(content, fontResources);
    if (fontResources.getKeys().empty()) {
        resources.removeKey("/Font");
    } else {
        resources.replaceKey("/Font", fontResources);
    }
    content.page.replaceKey("/Contents", drawing);
    content.page.replaceKey("/Resources", resources);
}

}  // namespace host
