#include "model/pages.h"

#include <string>

#include "core/errors.h"
#include "host.h"
#include "model/documents.h"

namespace host {

Handle Pages::acquire(Handle document, std::int32_t index) {
    QPDF& pdf = *Host::current().documents().get(document).pdf;
    const std::vector<QPDFObjectHandle>& all = pdf.getAllPages();
    if (index < 0 || static_cast<std::size_t>(index) >= all.size()) {
        raise(kErrBadArgument, "page index " + std::to_string(index) + " is outside the document's " +
                                   std::to_string(all.size()) + " pages");
    }
    return pages_.add({document, all[static_cast<std::size_t>(index)]});
}

}  // namespace host
