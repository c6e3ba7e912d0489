// Documents: PDF files opened by the host, and documents it creates.
//
// A document handle names one qpdf document; the Documents registry owns
// it. Opening checks what a user can get wrong (no such file, not a PDF, a
// wrong or missing password) and raises with a text that says which.
#pragma once

#include <memory>
#include <string>

#include <qpdf/QPDF.hh>


#include "core/handles.h"

namespace host {

struct Document {
    std::shared_ptr<QPDF> pdf;
    std::string path;  // empty for a document the host created
};

class Documents {
public:
    Handle open(const std::string& path, const std::string& password = "");
    // A new, empty document with no pages.
    Handle create();
    // Writes a document to `path`: deterministically (the same document
    // gives the same bytes) and atomically (a temporary file renamed).
    void save(Handle document, const std::string& path);
    Document& get(Handle document) { return documents_.get(document); }
    Document* find(Handle document) { return documents_.find(document); }
    void close(Handle document);
    std::size_t size() const { return documents_.size(); }

private:
    HandleRegistry<Document> documents_{HandleKind::Document};
};

}  // namespace host
