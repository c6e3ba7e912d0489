// The outline of host documents and what its items lead to: bookmarks,
// view destinations and actions (PDModel 2, 39, 61, 82, 215 and 217).
//
// A report can have hundreds of thousands of items, so the host keeps each
// document's outline in plain structures of its own, not as PDF objects,
// and the document writer writes them directly (document_writer.h). All
// three cross to the plug-in as 8-byte objects: the kind and the index of
// the entry in its document's outline, and the handle of the document.
// Nothing is registered per entry, so there is no limit but memory; the
// document owns what they name, and they stay valid until it is closed.
// A made-up object, one of another kind, or one whose document was closed
// raises a host error; so does one whose index its document never gave,
// though an index taken from another document's object may name an entry.
// Titles, in file syntax, share one buffer.
//
// Destinations to the same page with the same view are one destination,
// and go-to actions to the same destination are one action: each is
// written once and shared by every item that leads there.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "core/handles.h"
#include "model/destinations.h"

namespace host {

// One document's outline. Item 0 is the root, the catalog's /Outlines
// dictionary, which stays a PDF object of the document (a file may bring
// items of its own); the items the host adds are plain records.
class DocumentOutline {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    struct Item {
        std::uint32_t titleOffset = 0;  // the title, as written in the file, in `titles`
        std::uint32_t titleSize = 0;
        std::uint32_t parent = kNone;
        std::uint32_t first = kNone;
        std::uint32_t last = kNone;
        std::uint32_t next = kNone;
        std::uint32_t prev = kNone;
        std::int32_t count = 0;  // items the host makes are closed: minus their children
        std::uint32_t action = kNone;
    };

    // The root, once the outline has one: items need it, destinations do not.
    bool hasRoot() const { return !items_.empty(); }
    void attachRoot(QPDFObjectHandle root);

    QPDFObjectHandle root() const { return root_; }
    std::uint32_t itemCount() const { return static_cast<std::uint32_t>(items_.size()); }
    const Item& item(std::uint32_t index) const { return items_[index]; }
    std::string_view title(const Item& item) const {
        return std::string_view(titles_).substr(item.titleOffset, item.titleSize);
    }
    // The file's own last top-level item, which a host item at the top follows.
    QPDFObjectHandle fileLastItem() const { return fileLast_; }
    // The item a stand-in object of the root's /First, /Last or the file's
    // last item's /Next names.
    std::optional<std::uint32_t> itemStandingIn(QPDFObjGen object) const;

    std::uint32_t destinationCount() const { return static_cast<std::uint32_t>(destinations_.size()); }
    QPDFObjectHandle destination(std::uint32_t index) const { return destinations_[index].array; }
    std::uint32_t actionCount() const { return static_cast<std::uint32_t>(actionDestinations_.size()); }
    std::uint32_t actionDestination(std::uint32_t action) const { return actionDestinations_[action]; }

    std::uint32_t addChild(QPDF& pdf, std::uint32_t parent, std::string_view title);
    void setAction(std::uint32_t item, std::uint32_t action) { items_[item].action = action; }
    std::uint32_t destinationTo(QPDFObjectHandle page, const DestinationView& view);
    QPDFObjectHandle destinationPage(std::uint32_t destination) const { return destinations_[destination].page; }
    std::uint32_t goToAction(std::uint32_t destination);

private:
    struct Destination {
        QPDFObjectHandle page;
        DestinationView view;
        QPDFObjectHandle array;
    };
    struct DestinationHash {
        std::size_t operator()(const Destination& destination) const noexcept;
    };
    struct SameDestination {
        bool operator()(const Destination& a, const Destination& b) const noexcept {
            return a.page.getObjGen() == b.page.getObjGen() && a.view == b.view;
        }
    };

    void linkTopLevelItem(QPDF& pdf);

    QPDFObjectHandle root_;
    QPDFObjectHandle fileLast_;  // null when the file has no items of its own
    // Stand-ins for the first and the last top-level item the host added,
    // made when the first one is added.
    QPDFObjectHandle firstStandIn_;
    QPDFObjectHandle lastStandIn_;
    std::vector<Item> items_;
    std::string titles_;
    std::vector<Destination> destinations_;
    std::unordered_map<Destination, std::uint32_t, DestinationHash, SameDestination> destinationIndex_;
    std::vector<std::uint32_t> actionDestinations_;  // each go-to action's destination
    std::vector<std::uint32_t> destinationActions_;  // each destination's go-to action, or kNone
};

class Documents;
struct PageEntry;

class Outline {
public:
    // The documents that own the outlines; the outline is theirs.
    explicit Outline(Documents& documents) : documents_(documents) {}

    // The root of the document's outline, made on first use.
    Object root(Handle document);
    // A new item with this title, made the last child of `parent`.
    Object addChild(Object parent, std::string_view title);
    void setAction(Object bookmark, Object action);

    // A destination of `document` to `page`, a page that its caller has
    // looked up after the document.
    Object newDestination(Handle document, const PageEntry& page, std::string_view fitType, const FixedRect* rect,
                          Fixed zoom);
    // Whether `destination` leads to a page that is still in its open
    // document. Answers, never raises.
    bool isValidDestination(Object destination);
    Object newGoToAction(Handle document, Object destination, Handle destinationDocument);

    // The document's outline for its writer; null when it has none.
    const DocumentOutline* find(Handle document) const;
    // The document's outline, made empty on first use.
    DocumentOutline& outlineOf(Handle document) { return outlines_[document]; }
    void forgetDocument(Handle document);

private:
    struct Entry {
        DocumentOutline* outline;
        std::uint32_t index;
    };
    // The entry an object names; raises for a made-up, foreign or stale one.
    Entry entryOf(HandleKind kind, Object object);
    std::optional<Entry> findEntry(HandleKind kind, Object object);
    static Object objectOf(HandleKind kind, Handle document, std::uint32_t index);
    QPDF& pdfOf(Handle document);

    Documents& documents_;
    std::map<Handle, DocumentOutline> outlines_;
};

}  // namespace host
