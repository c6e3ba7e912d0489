#include "model/pages.h"

#include <algorithm>
#include <string>
#include <vector>

#include <qpdf/QPDFPageObjectHelper.hh>

#include "core/counted_noun.h"
#include "core/errors.h"
#include "model/documents.h"
#include "model/fixed_numbers.h"

namespace host {
namespace {

const QPDFObjectHandle::Rectangle kLetter{0, 0, 612, 792};

void checkNewPageBox(const FixedRect& box) {
    if (box.right <= box.left || box.top <= box.bottom) {
        raise(kErrBadArgument, "PDModel 85: the page box is empty or upside down (its top must lie above its "
                               "bottom, its right edge right of its left edge)");
    }
}

QPDFObjectHandle newPage(const FixedRect& box) {
    QPDFObjectHandle mediaBox = QPDFObjectHandle::newArray();
    for (const Fixed value : {box.left, box.bottom, box.right, box.top}) mediaBox.appendItem(pdfNumberFromFixed(value));
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", mediaBox);
    page.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
    return page;
}

}  // namespace

QPDF& Pages::pdfOf(Handle document) { return *documents_.get(document).pdf; }

std::int32_t Pages::count(Handle document) {
    return static_cast<std::int32_t>(pdfOf(document).getAllPages().size());
}

Handle Pages::acquire(Handle document, std::int32_t index) {
    const std::vector<QPDFObjectHandle>& all = pdfOf(document).getAllPages();
    if (index < 0 || static_cast<std::size_t>(index) >= all.size()) {
        raise(kErrBadArgument, "PDModel 84: page index " + std::to_string(index) + " is outside the document's " +
                                   countedNoun(all.size(), "page"));
    }
    return pages_.add({document, all[static_cast<std::size_t>(index)]});
}

Handle Pages::create(Handle document, std::int32_t afterIndex, const FixedRect& box) {
    QPDF& pdf = pdfOf(document);
    const std::int32_t pageCount = count(document);
    if (afterIndex < -1 || afterIndex >= pageCount) {
        raise(kErrBadArgument, "PDModel 85: cannot insert after page index " + std::to_string(afterIndex) +
                                   " of a document of " + countedNoun(static_cast<std::size_t>(pageCount), "page") +
                                   " (-1 inserts before the first page)");
    }
    checkNewPageBox(box);
    QPDFObjectHandle page = pdf.makeIndirectObject(newPage(box));
    if (afterIndex == -1) {
        pdf.addPage(page, true);
    } else {
        const QPDFObjectHandle previous = pdf.getAllPages()[static_cast<std::size_t>(afterIndex)];
        pdf.addPageAt(page, false, previous);
    }
    return pages_.add({document, page});
}

FixedRect Pages::box(Handle page) {
    PageEntry& entry = get(page);
    if (!entry.page.isIndirect()) return fixedRectFromBox(QPDFPageObjectHelper(entry.page).getMediaBox());
    const auto [known, added] = boxes_.try_emplace({entry.document, entry.page.getObjGen()});
    if (added) known->second = fixedRectFromBox(QPDFPageObjectHelper(entry.page).getMediaBox());
    return known->second;
}

void Pages::forgetDocument(Handle document) {
    std::vector<Handle> ended;
    pages_.forEach([&](Handle handle, const PageEntry& entry) {
        if (entry.document == document) ended.push_back(handle);
    });
    for (const Handle handle : ended) pages_.remove(handle);
    boxes_.erase(boxes_.lower_bound({document, QPDFObjGen()}), boxes_.lower_bound({document + 1, QPDFObjGen()}));
}

bool isPageOf(QPDF& pdf, QPDFObjectHandle page) {
    if (!page.isIndirect() || page.getOwningQPDF() != &pdf) return false;
    try {
        pdf.findPage(page.getObjGen());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

FixedRect fixedRectFromBox(QPDFObjectHandle box) {
    const QPDFObjectHandle::Rectangle corners = box.isRectangle() ? box.getArrayAsRectangle() : kLetter;
    return {
        .left = fixedFromDouble(std::min(corners.llx, corners.urx)),
        .top = fixedFromDouble(std::max(corners.lly, corners.ury)),
        .right = fixedFromDouble(std::max(corners.llx, corners.urx)),
        .bottom = fixedFromDouble(std::min(corners.lly, corners.ury)),
    };
}

}  // namespace host
