#include "report/driver.h"

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

// One entry per font the host reported for the page, numbered from 0, each
// leading to the font's description page.
void addPageFontEntries() {
    ReportState& report = reportState();
    int position = 0;
    for (const FontRecord& record : collection().pageFonts) {
        Title title;
        title.format("%d %s", position++, record.name.c_str());
        if (record.pageIndex < 0) {
            AddBookmark(report.pageBookmark, report.reportDoc, nullptr, title.c_str());
            continue;
        }
        AcquiredPage page(callHost<host::op::DocAcquirePage>(report.reportDoc, record.pageIndex));
        const host::Handle pageHandle = page.get();
        AddBookmark(report.pageBookmark, report.reportDoc, &pageHandle, title.c_str());
        page.release();
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
    collection().fontsByName.clear();
    callHost<host::op::DocSetPageMode>(report.reportDoc, host::op::kPageModeUseBookmarks);

    const host::Atom selectionKind = callHost<host::op::ViewSelectionType>(view);
    if (selectionKind == callHost<host::op::AtomFromString>("Text")) {
        collectSelection(view);
    } else {
        collectPages(source, pageCount, root);
    }
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

host::Bool16 ORTHEO_CDECL CollectSelectionFont(host::ClientData, host::Handle font, void*) noexcept {
    return enumerationStep([font] { collectFont(font); });
}

}  // namespace ortheo
