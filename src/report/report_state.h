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

// What the driver keeps of the run.
struct ReportState {
    host::Handle reportDoc = host::kNoHandle;
    host::Object namesBookmark;
    host::Object pageBookmark;
    std::int32_t currentPageIndex = 0;
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
