// The state a report run shares between its driver, collector, page writers
// and sections. One instance of each for the whole library: the driver
// empties or overwrites it at the start of every run.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/host_services.h"

namespace ortheo {

// A bound on what a small hostile document could multiply without end: a
// few bytes of input (pages sharing one resources dictionary, fonts sharing
// one ToUnicode map) can ask for gigabytes of report. Each bound is far
// above what real documents need; what it leaves out is counted, and the
// driver tells the user once at the end of the run.
struct Budget {
    std::int64_t limit;       // tests lower it
    std::int64_t used = 0;
    std::int64_t leftOut = 0;

    // How many of `wanted` fit in what is left; the rest counts as left out.
    std::int64_t take(std::int64_t wanted);
    bool spent() const { return used >= limit; }
    void restart() { used = leftOut = 0; }
};

// Font entries under "Fonts by pages", over all pages. A real document of
// 100,000 pages with 20 fonts each needs half of it.
constexpr std::int64_t kPageFontEntryBudget = 4'000'000;
// Mappings listed on the ToUnicode pages, over all fonts: two hundred full
// CJK maps.
constexpr std::int64_t kToUnicodeMappingBudget = 4'000'000;
// Fonts with description pages of their own: more than a merged volume of
// a thousand papers holds.
constexpr std::int64_t kDescribedFontBudget = 20'000;

// What the driver keeps of the run.
struct ReportState {
    host::Handle reportDoc = host::kNoHandle;
    host::Object namesBookmark;
    host::Object pageBookmark;
    std::int32_t currentPageIndex = 0;

    Budget pageFontEntries{kPageFontEntryBudget};
    Budget toUnicodeMappings{kToUnicodeMappingBudget};
    Budget describedFonts{kDescribedFontBudget};
    std::int32_t firstShortenedPage = -1;  // the first page that lists a count of its fonts
    std::int64_t unlistedToUnicodeMaps = 0;  // fonts whose map the spent budget left out whole
};

// One per distinct font name of a run.
struct FontRecord {
    host::Handle font = host::kNoHandle;  // the font met first under this name
    std::string name;
    std::int32_t pageIndex = -1;  // its description page in the report; -1 when it has none
};

struct CollectionState {
    std::map<std::string, FontRecord> fontsByName;  // byte-wise order of the names
    std::vector<FontRecord> pageFonts;              // the page being scanned, in the host's order
    host::Handle currentFont = host::kNoHandle;
    char currentFontName[256] = {};
};

// Layout of the page being written, in whole points: x from the left edge,
// y downwards from the top edge of the page box.
struct PageState {
    host::FixedRect pageBox;
    std::int32_t leftMargin = 30;
    std::int32_t lineY = 30;
    std::int32_t textHeight = 15;
    std::int32_t textWidth = 12;
    std::int32_t lineGap = 5;
    std::int32_t cellGap = 5;
    host::Handle glyphBoxPath = host::kNoHandle;
    host::Handle cellFramePath = host::kNoHandle;
};

ReportState& reportState();
CollectionState& collection();
PageState& pageState();

}  // namespace ortheo
