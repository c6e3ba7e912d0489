// Cos objects over qpdf (Cos 1, 2, 6, 21 and 32).
//
// A Cos object crosses to the plug-in as two words: a registry handle and
// the handle of the document it belongs to. The null object is {0, 0}.
// An indirect object is registered once per document, so the same object
// always gives the same words. An object whose document was closed, or a
// made-up pair of words, raises a host error.
#pragma once

#include <map>
#include <utility>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "core/document_users.h"
#include "core/handles.h"

namespace host {

class TableRegistry;

// What Cos objects ask of the documents above them: whether one is open.
class OpenDocuments {
public:
    virtual bool isOpen(Handle document) = 0;

protected:
    ~OpenDocuments() = default;
};

class CosObjects final : public DocumentUser {
public:
    explicit CosObjects(OpenDocuments& documents) : documents_(documents) {}

    Object wrap(Handle document, QPDFObjectHandle object);
    // The qpdf object; the null object for {0, 0}. Raises for anything else
    // that this host did not hand out or whose document is gone.
    QPDFObjectHandle unwrap(Object object);
    Handle documentOf(Object object);
    void forgetDocument(Handle document) override;
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        QPDFObjectHandle object;
        Handle document;
    };
    Entry& entry(Object object);

    OpenDocuments& documents_;
    HandleRegistry<Entry> entries_{HandleKind::CosObject, HandleRegistry<Entry>::kLastingSlotBits};
    std::map<std::pair<Handle, QPDFObjGen>, Handle> indirect_;
};

std::int32_t cosTypeCode(QPDFObjectHandle object);


}  // namespace host
