// The parts that keep something of each open document: told when one is
// closed, so that nothing of it outlives the document.
#pragma once

#include "core/handles.h"

namespace host {

class DocumentUser {
public:
    virtual void forgetDocument(Handle document) = 0;

protected:
    ~DocumentUser() = default;
};

}  // namespace host
