#include "report/driver.h"

#include <algorithm>
#include <vector>

#include "plugin/host_call.h"
#include "plugin/host_edge.h"
#include "report/collection.h"
#include "report/host_objects.h"
#include "report/line_buffer.h"
#include "report/report_state.h"

namespace ortheo {
namespace {

using Title = LineBuffer<1000>;

void collectSelection(host::Handle view) {
    const host::Handle selection = callHost<host::op::ViewSelection>(view);
    OwnedCallback procedure(makeCallback(&CollectSelectionFont));
    callHostEnumeration<host::op::TextSelectEnumFonts>(selection, procedure.get(), nullptr);
    procedure.release();
}

// The entry of one font of the page, leading to its description page.
void addPageFontEntry(const FontRecord& record, int position) {
    ReportState& report = reportState();
    Title title;
    title.format("%d %s", position, record.name.c_str());
    if (record.pageIndex < 0) {
        AddBookmark(report.pageBookmark, report.reportDoc, nullptr, title.c_str());
        return;
    }
    AcquiredPage page(callHost<host::op::DocAcquirePage>(report.reportDoc, record.pageIndex));
    const host::Handle pageHandle = page.get();
    AddBookmark(report.pageBookmark, report.reportDoc, &pageHandle, title.c_str());
    page.release();
}

// One entry per font the host reported for the page, numbered from 0, as
// far as the budget of "Fonts by pages" goes; past it, one entry counts the
// fonts of the page that are not listed.
void addPageFontEntries() {
    ReportState& report = reportState();
    const std::vector<FontRecord>& fonts = collection().pageFonts;
    const auto listed = static_cast<std::size_t>(report.pageFontEntries.take(static_cast<std::int64_t>(fonts.size())));
    for (std::size_t position = 0; position < listed; ++position) {
        addPageFontEntry(fonts[position], static_cast<int>(position));
    }
    const std::size_t leftOut = fonts.size() - listed;
    if (leftOut == 0) return;
    if (report.firstShortenedPage < 0) report.firstShortenedPage = report.currentPageIndex;
    Title title;
    title.format(leftOut == 1 ? "%zu more font, not listed" : "%zu more fonts, not listed", leftOut);
    AddBookmark(report.pageBookmark, report.reportDoc, nullptr, title.c_str());
}

// An alert, when the run has something to tell. The report stands without
// it, so a failing alert is let go.
void tell(const Title& message) {
    try {
        callHost<host::op::AlertNote>(message.c_str());
    } catch (...) {
    }
}

// Tells the user, once a bound, what the report's bounds left out.
void tellWhatTheBudgetsLeftOut(std::int32_t pageCount) {
    const ReportState& report = reportState();
    Title message;
    if (report.pageFontEntries.leftOut != 0) {
        message.format("Fonts by pages lists at most %lld fonts of pages; %lld more left out: from page %d of %d "
                       "on, a page lists a count of the fonts not listed",
                       static_cast<long long>(report.pageFontEntries.limit),
                       static_cast<long long>(report.pageFontEntries.leftOut), report.firstShortenedPage + 1,
                       pageCount);
        tell(message);
    }
    if (report.toUnicodeMappings.leftOut != 0 || report.unlistedToUnicodeMaps != 0) {
        message.format("The ToUnicode pages list at most %lld mappings in all; %lld more left out, and %lld %s not read",
                       static_cast<long long>(report.toUnicodeMappings.limit),
                       static_cast<long long>(report.toUnicodeMappings.leftOut),
                       static_cast<long long>(report.unlistedToUnicodeMaps),
                       report.unlistedToUnicodeMaps == 1 ? "map" : "maps");
        tell(message);
    }
    if (report.describedFonts.leftOut != 0) {
        message.format("The report describes at most %lld fonts; %lld more listed under Fonts by names, without "
                       "pages of their own",
                       static_cast<long long>(report.describedFonts.limit),
                       static_cast<long long>(report.describedFonts.leftOut));
        tell(message);
    }
}

void collectPages(host::Handle source, std::int32_t pageCount, host::Object root) {
    ReportState& report = reportState();
    const host::Object byPages = AddBookmark(root, report.reportDoc, nullptr, "Fonts by pages");
    for (report.currentPageIndex = 0; report.currentPageIndex < pageCount; ++report.currentPageIndex) {
        Title title;
        title.format("Page %d/%d", report.currentPageIndex + 1, pageCount);
        report.pageBookmark = AddBookmark(byPages, report.reportDoc, nullptr, title.c_str());
        collection().pageFonts.clear();
        callHostEnumeration<host::op::DocEnumFonts>(source, report.currentPageIndex, report.currentPageIndex,
                                                    &CollectFont, nullptr, 0, 0);
        addPageFontEntries();
    }
}

}  // namespace

host::Handle BuildFontReport() {
    ReportState& report = reportState();
    const host::Handle view = callHost<host::op::ActiveDocView>();
    const host::Handle source = callHost<host::op::ViewDocument>(view);
    const std::int32_t pageCount = callHost<host::op::DocPageCount>(source);

    report.reportDoc = callHost<host::op::DocCreate>();
    const host::Object root = callHost<host::op::DocRootBookmark>(report.reportDoc);
    report.namesBookmark = AddBookmark(root, report.reportDoc, nullptr, "Fonts by names");
    report.pageFontEntries.restart();
    report.toUnicodeMappings.restart();
    report.describedFonts.restart();
    report.firstShortenedPage = -1;
    report.unlistedToUnicodeMaps = 0;
    collection().fontsByName.clear();
    callHost<host::op::DocSetPageMode>(report.reportDoc, host::op::kPageModeUseBookmarks);

    const host::Atom selectionKind = callHost<host::op::ViewSelectionType>(view);
    if (selectionKind == callHost<host::op::AtomFromString>("Text")) {
        collectSelection(view);
    } else {
        collectPages(source, pageCount, root);
    }
    tellWhatTheBudgetsLeftOut(pageCount);
    return report.reportDoc;
}

host::Object AddBookmark(host::Object parent, host::Handle document, const host::Handle* page, const char* title) {
    const host::Object bookmark = callHost<host::op::BookmarkAddNewChild>(parent, title);
    if (page == nullptr) return bookmark;

    host::FixedRect box;
    callHost<host::op::PageBox>(*page, &box);
    const host::FixedRect target{0, box.top, 0, 0};
    const host::Object destination = callHost<host::op::ViewDestCreate>(
        document, *page, callHost<host::op::AtomFromString>("XYZ"), &target, host::op::kZoomUnchanged, 0);
    if (callHost<host::op::ViewDestIsValid>(destination) != 0) {
        const host::Object action = callHost<host::op::ActionNewGoTo>(document, destination, document);
        callHost<host::op::BookmarkSetAction>(bookmark, action);
    }
    return bookmark;
}

// A selection lists no fonts by pages, so nothing of a piece is kept but
// its font's name: a selection of millions of glyphs keeps no record each.
host::Bool16 ORTHEO_CDECL CollectSelectionFont(host::ClientData, host::Handle font, void*) noexcept {
    return enumerationStep([font] {
        collectFont(font);
        collection().pageFonts.clear();
    });
}

}  // namespace ortheo
