// Documents: PDF files opened by the host, and documents it creates
// (PDModel 69 and 77; the outline of a document is in outline.h).
//
// A document handle names one qpdf document; the Documents registry owns
// it, and with it everything the plug-in holds of it: closing a document
// ends its page handles, Cos objects, bookmarks, destinations and actions.
// Opening checks what a user can get wrong (no such file, not a PDF, a
// wrong or missing password; document_source.h) and raises with a text that
// says which. A path of "-" is standard input.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

#include "core/document_users.h"
#include "core/handles.h"
#include "cos/cos_objects.h"
#include "model/outline.h"

namespace host {

struct OutputTarget;

struct Document {
    std::shared_ptr<QPDF> pdf;
    std::string path;  // empty for a document the host created
    // The permission bits (/P) of a document whose encryption was set aside
    // to read it; qpdf then grants everything.
    std::optional<std::uint32_t> declaredPermissions;
};

class Documents final : public OpenDocuments {
public:
    Documents() : outline_(*this) {}
    Documents(const Documents&) = delete;
    Documents& operator=(const Documents&) = delete;

    // `user` forgets each document as it is closed, in the order given,
    // before the document goes.
    void forgetOnClose(DocumentUser& user) { users_.push_back(&user); }

    Handle open(const std::string& path, const std::string& password = "");
    // A new, empty document with no pages.
    Handle create();
    // Writes a document deterministically (the same document gives the same
    // bytes), as output_target.h says: a file atomically, a device, a FIFO
    // or standard output in one pass.
    void save(Handle document, const std::string& path);
    void save(Handle document, const OutputTarget& target);
    // How the document asks to be shown when opened: 0 leaves it to the
    // reader, 1 no panel, 2 page thumbnails, 3 the bookmarks, 4 full
    // screen, 5 optional content, 6 attachments. Raises for other values.
    void setPageMode(Handle document, std::int32_t mode);
    Document& get(Handle document) { return documents_.get(document); }
    Document* find(Handle document) { return documents_.find(document); }
    bool isOpen(Handle document) override { return find(document) != nullptr; }
    void close(Handle document);
    std::size_t size() const { return documents_.size(); }

    Outline& outline() { return outline_; }

private:
    HandleRegistry<Document> documents_{HandleKind::Document};
    std::vector<DocumentUser*> users_;
    Outline outline_;
};

}  // namespace host
