#include "model/outline.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include <qpdf/QPDF.hh>
#include <qpdf/QUtil.hh>

#include "core/errors.h"
#include "model/documents.h"
#include "model/object_ids.h"
#include "model/pages.h"

namespace host {
namespace {

// Indices share the object's first word with its kind's 5 bits, as a
// handle's kind; more items than this would need tens of gigabytes.
constexpr std::uint32_t kIndexBits = 27;
constexpr std::uint32_t kIndexLimit = (1u << kIndexBits) - 1;

QPDFObjectHandle newOutlineRoot() {
    QPDFObjectHandle root = QPDFObjectHandle::newDictionary();
    root.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
    return root;
}

bool isUtf8(const std::string& text) {
    bool broken = false;
    for (std::size_t position = 0; position < text.size() && !broken;) {
        QUtil::get_next_utf8_codepoint(text, position, broken);
    }
    return !broken;
}

// Printable ASCII but the string delimiters and the escape is written as
// it stands, in parentheses; that is nearly every title, and spares a PDF
// string object per item.
bool isPlainTitle(std::string_view title) {
    return std::all_of(title.begin(), title.end(), [](char c) {
        return c >= ' ' && c <= '~' && c != '(' && c != ')' && c != '\\';
    });
}

// A title as a PDF text string in file syntax. Titles come as UTF-8; bytes
// that are not UTF-8 (a font name in a single-byte encoding, say) are read
// as Windows-1252, so that each byte still shows as a character.
std::string titleString(std::string_view title) {
    if (isPlainTitle(title)) return "(" + std::string(title) + ")";
    std::string text(title);
    if (!isUtf8(text)) text = QUtil::win_ansi_to_utf8(text);
    return QPDFObjectHandle::newUnicodeString(text).unparse();
}

// The parent's last child, or null. A damaged /Last is passed over by
// walking the children from /First, so no existing child is cut off.
QPDFObjectHandle lastChildOf(QPDFObjectHandle parent) {
    QPDFObjectHandle last = parent.getKey("/Last");
    if (last.isIndirect() && last.isDictionary()) return last;
    std::set<QPDFObjGen> seen;
    last = QPDFObjectHandle::newNull();
    for (QPDFObjectHandle child = parent.getKey("/First"); child.isIndirect() && child.isDictionary();
         child = child.getKey("/Next")) {
        if (!seen.insert(child.getObjGen()).second) break;
        last = child;
    }
    return last;
}

// The outline root counts every item a reader shows; the items the host
// makes are closed, so a new item under one of them counts for it alone. A
// file's own count is taken as it is, short of overflowing.
void countRootItem(QPDFObjectHandle root) {
    QPDFObjectHandle count = root.getKey("/Count");
    const long long shown = count.isInteger() ? count.getIntValue() : 0;
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(std::clamp(shown, 0LL, LLONG_MAX - 1) + 1));
}

}  // namespace

std::size_t DocumentOutline::DestinationHash::operator()(const Destination& destination) const noexcept {
    std::size_t hash = ObjGenHash()(destination.page.getObjGen());
    const auto mix = [&hash](std::size_t value) { hash ^= value + 0x9E3779B97F4A7C15ULL + (hash << 6) + (hash >> 2); };
    mix(destination.view.fitType);
    mix(destination.view.zoomUnchanged);
    for (std::uint8_t index = 0; index < destination.view.valueCount; ++index) {
        mix(static_cast<std::uint32_t>(destination.view.values[index]));
    }
    return hash;
}

void DocumentOutline::attachRoot(QPDFObjectHandle root) {
    root_ = root;
    fileLast_ = lastChildOf(root);
    items_.emplace_back();  // the root, a PDF object
}

std::optional<std::uint32_t> DocumentOutline::itemStandingIn(QPDFObjGen object) const {
    if (!firstStandIn_.isInitialized()) return std::nullopt;
    if (object == firstStandIn_.getObjGen()) return items_[0].first;
    if (object == lastStandIn_.getObjGen()) return items_[0].last;
    return std::nullopt;
}

std::uint32_t DocumentOutline::addChild(QPDF& pdf, std::uint32_t parent, std::string_view title) {
    const std::string encoded = titleString(title);
    if (items_.size() > kIndexLimit || titles_.size() + encoded.size() > UINT32_MAX) {
        raise(kErrNoMemory, "PDModel 39: the outline cannot hold more items");
    }
    const auto index = static_cast<std::uint32_t>(items_.size());
    Item item;
    item.titleOffset = static_cast<std::uint32_t>(titles_.size());
    item.titleSize = static_cast<std::uint32_t>(encoded.size());
    item.parent = parent;
    item.prev = items_[parent].last;
    titles_ += encoded;
    items_.push_back(item);

    Item& parentItem = items_[parent];
    if (parentItem.last == kNone) {
        parentItem.first = index;
    } else {
        items_[parentItem.last].next = index;
    }
    parentItem.last = index;
    if (parent == 0) {
        linkTopLevelItem(pdf);
    } else {
        --parentItem.count;
    }
    return index;
}

// The root is a PDF object: it reaches the host's top-level items through
// two stand-in objects, which the writer writes as the items they stand for.
void DocumentOutline::linkTopLevelItem(QPDF& pdf) {
    if (!firstStandIn_.isInitialized()) {
        firstStandIn_ = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        lastStandIn_ = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        if (fileLast_.isDictionary()) {
            fileLast_.replaceKey("/Next", firstStandIn_);
        } else {
            root_.replaceKey("/First", firstStandIn_);
        }
        root_.replaceKey("/Last", lastStandIn_);
    }
    countRootItem(root_);
}

std::uint32_t DocumentOutline::destinationTo(QPDFObjectHandle page, const DestinationView& view) {
    Destination key{page, view, {}};
    if (const auto known = destinationIndex_.find(key); known != destinationIndex_.end()) return known->second;
    if (destinations_.size() > kIndexLimit) {
        raise(kErrNoMemory, "PDModel 215: the document cannot hold more destinations");
    }
    const auto index = static_cast<std::uint32_t>(destinations_.size());
    key.array = makeDestination(page, view);
    destinations_.push_back(key);
    destinationActions_.push_back(kNone);
    destinationIndex_.emplace(std::move(key), index);
    return index;
}

std::uint32_t DocumentOutline::goToAction(std::uint32_t destination) {
    std::uint32_t& action = destinationActions_[destination];
    if (action == kNone) {
        action = static_cast<std::uint32_t>(actionDestinations_.size());
        actionDestinations_.push_back(destination);
    }
    return action;
}

QPDF& Outline::pdfOf(Handle document) { return *documents_.get(document).pdf; }

Object Outline::objectOf(HandleKind kind, Handle document, std::uint32_t index) {
    return {(static_cast<std::uint32_t>(kind) << kIndexBits) | index, document};
}

std::optional<Outline::Entry> Outline::findEntry(HandleKind kind, Object object) {
    if (HandleRegistry<int>::kindOf(object.word0) != kind) return std::nullopt;
    if (!documents_.isOpen(object.word1)) return std::nullopt;
    const auto outline = outlines_.find(object.word1);
    if (outline == outlines_.end()) return std::nullopt;
    const std::uint32_t index = object.word0 & kIndexLimit;
    const DocumentOutline& entries = outline->second;
    const std::uint32_t count = kind == HandleKind::Bookmark      ? entries.itemCount()
                                : kind == HandleKind::Destination ? entries.destinationCount()
                                                                  : entries.actionCount();
    if (index >= count) return std::nullopt;
    return Entry{&outline->second, index};
}

Outline::Entry Outline::entryOf(HandleKind kind, Object object) {
    if (const auto entry = findEntry(kind, object)) return *entry;
    const char* problem = HandleRegistry<int>::kindOf(object.word0) != kind ? "object of another kind"
                          : !documents_.isOpen(object.word1)
                              ? "object of a closed or unknown document"
                              : "object its document never made";
    raiseBadHandle(kind, object.word0, problem);
}

Object Outline::root(Handle document) {
    QPDF& pdf = pdfOf(document);
    DocumentOutline& outline = outlineOf(document);
    if (!outline.hasRoot()) {
        QPDFObjectHandle catalog = pdf.getRoot();
        QPDFObjectHandle outlines = catalog.getKey("/Outlines");
        if (!outlines.isDictionary()) outlines = newOutlineRoot();
        // Items name their parent by reference, so the root must be indirect.
        if (!outlines.isIndirect()) outlines = pdf.makeIndirectObject(outlines);
        catalog.replaceKey("/Outlines", outlines);
        outline.attachRoot(outlines);
    }
    return objectOf(HandleKind::Bookmark, document, 0);
}

Object Outline::addChild(Object parent, std::string_view title) {
    const Entry entry = entryOf(HandleKind::Bookmark, parent);
    const std::uint32_t item = entry.outline->addChild(pdfOf(parent.word1), entry.index, title);
    return objectOf(HandleKind::Bookmark, parent.word1, item);
}

void Outline::setAction(Object bookmark, Object action) {
    const Entry item = entryOf(HandleKind::Bookmark, bookmark);
    const Entry actionEntry = entryOf(HandleKind::Action, action);
    if (action.word1 != bookmark.word1) {
        raise(kErrBadArgument, "PDModel 61: the action belongs to another document than the bookmark");
    }
    if (item.index == 0) raise(kErrBadArgument, "PDModel 61: the outline's root is no item and cannot have an action");
    item.outline->setAction(item.index, actionEntry.index);
}

Object Outline::newDestination(Handle document, const PageEntry& pageEntry, std::string_view fitType,
                               const FixedRect* rect, Fixed zoom) {
    QPDF& pdf = pdfOf(document);
    if (pageEntry.document != document) {
        raise(kErrBadArgument, "PDModel 215: the page belongs to another document than the destination");
    }
    if (!isPageOf(pdf, pageEntry.page)) raise(kErrBadArgument, "PDModel 215: the page is no longer in its document");
    const DestinationView view = destinationView(fitType, rect, zoom);
    const std::uint32_t index = outlineOf(document).destinationTo(pageEntry.page, view);
    return objectOf(HandleKind::Destination, document, index);
}

bool Outline::isValidDestination(Object destination) {
    const auto entry = findEntry(HandleKind::Destination, destination);
    if (!entry) return false;
    return isPageOf(pdfOf(destination.word1), entry->outline->destinationPage(entry->index));
}

Object Outline::newGoToAction(Handle document, Object destination, Handle destinationDocument) {
    pdfOf(document);
    pdfOf(destinationDocument);
    const Entry destinationEntry = entryOf(HandleKind::Destination, destination);
    if (destinationDocument != document || destination.word1 != document) {
        raise(kErrBadArgument, "PDModel 2: a go-to action leads within its own document; this destination "
                               "belongs to another");
    }
    if (!isPageOf(pdfOf(document), destinationEntry.outline->destinationPage(destinationEntry.index))) {
        raise(kErrBadArgument, "PDModel 2: the destination's page is no longer in the document");
    }
    return objectOf(HandleKind::Action, document, destinationEntry.outline->goToAction(destinationEntry.index));
}

const DocumentOutline* Outline::find(Handle document) const {
    const auto outline = outlines_.find(document);
    return outline == outlines_.end() ? nullptr : &outline->second;
}

void Outline::forgetDocument(Handle document) { outlines_.erase(document); }

}  // namespace host
