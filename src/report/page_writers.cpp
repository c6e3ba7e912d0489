#include "report/page_writers.h"

#include "plugin/host_call.h"
#include "report/code_chart.h"
#include "report/drawing.h"
#include "report/font_description.h"
#include "report/host_objects.h"
#include "report/report_state.h"
#include "report/tounicode_map.h"

namespace ortheo {
namespace {

constexpr std::int32_t kPageSize = 1100;

// The three elements of a page: text over glyph boxes over cell frames.
struct PageElements {
    PageObject text;
    PageObject glyphBoxPath;
    PageObject cellFramePath;

    // Hands the elements back in the order they were made.
    void release() {
        text.release();
        glyphBoxPath.release();
        cellFramePath.release();
    }
    ~PageElements() {
        try {
            release();
        } catch (...) {
        }
    }
};

void resetLayout(PageState& page) {
    page.cellGap = 5;
    page.lineGap = 5;
    page.leftMargin = 30;
    page.lineY = 30;
    page.textHeight = 15;
    page.textWidth = page.textHeight * 5 / 6;
}

// Makes and styles the elements and sets the page box; answers the index
// after which the new page goes, so that it becomes the last page.
std::int32_t setUpPage(PageElements& elements) {
    elements.text = PageObject(callHost<host::op::TextCreate>());
    elements.glyphBoxPath = PageObject(callHost<host::op::PathCreate>());
    elements.cellFramePath = PageObject(callHost<host::op::PathCreate>());
    SetPathStyle(elements.glyphBoxPath.get(), 1.0, 0.8, 0.8, 1.0);
    SetPathStyle(elements.cellFramePath.get(), 0.5, 0.8, 0.8, 1.0);

    PageState& page = pageState();
    page.glyphBoxPath = elements.glyphBoxPath.get();
    page.cellFramePath = elements.cellFramePath.get();
    page.pageBox = {0, fix(kPageSize), fix(kPageSize), 0};
    return callHost<host::op::DocPageCount>(reportState().reportDoc) - 1;
}

AcquiredPage createPage(std::int32_t afterIndex) {
    return AcquiredPage(callHost<host::op::DocCreatePage>(reportState().reportDoc, afterIndex, pageState().pageBox));
}

// Stores the elements as the page's content: frames first, text on top.
void storeContent(host::Handle page, const PageElements& elements) {
    const host::ExtensionHandle extension = pluginState().extension;
    const host::Handle content = callHost<host::op::PageAcquireContent>(page, extension);
    PageContentHeld held(page);
    for (const PageObject* element : {&elements.cellFramePath, &elements.glyphBoxPath, &elements.text}) {
        callHost<host::op::ContentAddElement>(content, host::op::kAfterLastElement, element->get());
    }
    callHost<host::op::PageSetContent>(page, extension);
    held.release();
}

// The ToUnicode pages of a font: the first is made only once its section
// has written a listing; a listing longer than a page goes on on pages
// appended after it, each with elements of its own.
class ListingPages : public TextPages {
public:
    ListingPages(PageElements& elements, std::int32_t afterIndex) : elements_(elements), afterIndex_(afterIndex) {}

    host::Handle text() const override { return elements_.text.get(); }

    void startNextPage() override {
        finishPage();
        afterIndex_ = setUpPage(elements_);
        resetLayout(pageState());
    }

    // Stores the page being written.
    void finishPage() {
        AcquiredPage page = createPage(afterIndex_);
        storeContent(page.get(), elements_);
        page.release();
        elements_.release();
    }

private:
    PageElements& elements_;
    std::int32_t afterIndex_;
};

// Shows the failure being handled to the user, in the host's words.
void alertHostError() {
    char message[256] = {};
    const host::ErrorCode code = callHost<host::op::ErrorCodeInFlight>();
    callHost<host::op::ErrorText>(code, message, static_cast<std::int32_t>(sizeof message));
    message[sizeof message - 1] = '\0';
    callHost<host::op::AlertNote>(message);
}

}  // namespace

host::Handle WriteDescriptionPage(host::Handle font) {
    try {
        PageElements elements;
        const std::int32_t afterIndex = setUpPage(elements);
        AcquiredPage page = createPage(afterIndex);
        resetLayout(pageState());

        const FontKind kind = WriteFontDescription(elements.text.get(), font);
        WriteCodeChart(elements.text.get(), font, kind);

        storeContent(page.get(), elements);
        elements.release();
        return page.take();
    } catch (...) {
        alertHostError();
        return host::kNoHandle;
    }
}

void WriteToUnicodePage(host::Handle font) {
    try {
        PageElements elements;
        const std::int32_t afterIndex = setUpPage(elements);
        resetLayout(pageState());

        ListingPages pages(elements, afterIndex);
        if (WriteToUnicodeMap(pages, font) != 0) {
            pages.finishPage();
        } else {
            elements.release();
        }
    } catch (...) {
        alertHostError();
    }
}

}  // namespace ortheo
