#include "report/collection.h"

#include "plugin/host_call.h"
#include "plugin/host_edge.h"
#include "report/driver.h"
#include "report/host_objects.h"
#include "report/line_buffer.h"
#include "report/page_writers.h"
#include "report/report_state.h"

namespace ortheo {
namespace {

void readFontName(host::Handle font) {
    CollectionState& state = collection();
    callHost<host::op::FontName>(font, state.currentFontName, static_cast<std::int32_t>(sizeof state.currentFontName));
    state.currentFontName[sizeof state.currentFontName - 1] = '\0';
    state.currentFont = font;
}

std::int32_t reportPageCount() { return callHost<host::op::DocPageCount>(reportState().reportDoc); }

// Records a font met first and gives it its "Fonts by names" entry, which
// leads to its description page when it has one.
void recordNewFont(host::Handle font, const AcquiredPage& page, std::int32_t pageIndex) {
    CollectionState& state = collection();
    const FontRecord record{font, state.currentFontName, pageIndex};
    state.fontsByName.emplace(record.name, record);
    state.pageFonts.push_back(record);

    LineBuffer<1000> title;
    title.format("%d %s", static_cast<int>(state.fontsByName.size()), state.currentFontName);
    host::Handle pageHandle = page.get();
    AddBookmark(reportState().namesBookmark, reportState().reportDoc, page ? &pageHandle : nullptr, title.c_str());
}

// Writes the pages and the "Fonts by names" entry of a font met first;
// past the budget of described fonts, the entry alone.
void collectNewFont(host::Handle font) {
    if (reportState().describedFonts.take(1) == 0) {
        recordNewFont(font, AcquiredPage(host::kNoHandle), -1);
        return;
    }
    host::Object dict = callHost<host::op::FontCosObject>(font);
    const PageObject pageFont(callHost<host::op::FontCreateFromCos>(&dict));

    // A writer that failed may or may not have made its page: the page count
    // tells, so that no entry leads to another font's page. A page it made
    // stays in the report, and every entry of the font leads to it.
    const std::int32_t pagesBefore = reportPageCount();
    AcquiredPage page(WriteDescriptionPage(pageFont.get()));
    const std::int32_t pagesAfter = reportPageCount();
    if (!page && pagesAfter > pagesBefore) {
        page = AcquiredPage(callHost<host::op::DocAcquirePage>(reportState().reportDoc, pagesAfter - 1));
    }
    recordNewFont(font, page, pagesAfter > pagesBefore ? pagesAfter - 1 : -1);
    page.release();

    WriteToUnicodePage(pageFont.get());
}

}  // namespace

host::Bool16 ORTHEO_CDECL CollectFont(host::Handle font, void*, host::ClientData) noexcept {
    return enumerationStep([font] { collectFont(font); });
}

void collectFont(host::Handle font) {
    readFontName(font);
    CollectionState& state = collection();
    const auto seen = state.fontsByName.find(state.currentFontName);
    if (seen != state.fontsByName.end()) {
        state.pageFonts.push_back(seen->second);
    } else {
        collectNewFont(font);
    }
}

}  // namespace ortheo
