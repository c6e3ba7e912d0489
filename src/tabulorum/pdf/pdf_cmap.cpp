// The CMap model: its construction, its two append operations and where its
// notes go.
#include "tabulorum/pdf/pdf_cmap.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>

namespace ortheo {

namespace {

// A ToUnicode CMap that states no ordering is listed with this one.
constexpr const char* kDefaultOrdering = "(T1UV)";

// Targets in the UTF-16 surrogate area and the private use area cannot be
// shown as Unicode; their low byte is tried as Latin-1 instead.
constexpr std::uint32_t kFirstUnshownTarget = 0xD800;
constexpr std::uint32_t kLastUnshownTarget = 0xF8FF;

// The private use code points a destination can name: the basic plane's
// area, and planes 15 and 16 as a pair of UTF-16 units in one number.
constexpr std::array<CodeSpaceRange, 2> kPrivateUseTargets = {{{0xE000, 0xF8FF}, {0xDB80DC00, 0xDBFFDFFF}}};

// How many of the targets from `first` to `first + count - 1` are private use.
std::uint64_t privateUseTargets(std::uint32_t first, std::uint64_t count) {
    std::uint64_t found = 0;
    const std::uint64_t last = first + count - 1;
    for (const CodeSpaceRange& area : kPrivateUseTargets) {
        const std::uint64_t low = std::max<std::uint64_t>(first, area.low);
        const std::uint64_t high = std::min<std::uint64_t>(last, area.high);
        if (low <= high) found += high - low + 1;
    }
    return found;
}

void writeToStandardError(std::string_view note) {
    std::fwrite(note.data(), 1, note.size(), stderr);
}

CMapNoteSink noteSink = writeToStandardError;

CMapNoteBatch* openBatch = nullptr;

void writeLatin1FallbackNote(std::uint32_t target) {
    char note[80];
    const int length = std::snprintf(
        note, sizeof note, "CIDMap in private usage or surrogate area. Trying to use latin1 (0x%x).\n", target);
    writeCMapNote(std::string_view(note, static_cast<std::size_t>(length)));
}

}  // namespace

void writeCMapNote(std::string_view note) {
    if (openBatch != nullptr) {
        openBatch->add(note);
    } else {
        noteSink(note);
    }
}

CMapNoteBatch::CMapNoteBatch() : gathering_(openBatch == nullptr) {
    if (gathering_) {
        openBatch = this;
    }
}

void CMapNoteBatch::add(std::string_view note) {
    if (written_ == kNotesWrittenPerParse) {
        ++leftOut_;
        return;
    }
    ++written_;
    text_.append(note);
}

CMapNoteBatch::~CMapNoteBatch() {
    if (!gathering_) {
        return;
    }
    openBatch = nullptr;
    char line[96] = "";
    if (leftOut_ > 0) {
        std::snprintf(line, sizeof line, "%llu further notes on this CMap were left out.\n",
                      static_cast<unsigned long long>(leftOut_));
    }
    try {
        text_.append(line);
    } catch (const std::bad_alloc&) {
        noteSink(text_);
        noteSink(line);
        return;
    }
    if (!text_.empty()) {
        noteSink(text_);
    }
}

void setCMapNoteSinkForTesting(CMapNoteSink sink) {
    noteSink = sink != nullptr ? sink : writeToStandardError;
}

CMap::CMap() : ordering_(kDefaultOrdering) {}

void CMap::addCodeSpaceRange(std::uint32_t low, std::uint32_t high) {
    codeSpaceRanges_.push_back({low, high});
}

void CMap::addMapping(std::uint32_t firstCode, std::uint32_t lastCode, std::uint32_t firstTarget) {
    if (lastCode >= firstCode) {
        privateUseCodes_ += privateUseTargets(firstTarget, std::uint64_t{lastCode} - firstCode + 1);
    }
    if (firstTarget >= kFirstUnshownTarget && firstTarget <= kLastUnshownTarget) {
        firstTarget &= 0xFF;
        writeLatin1FallbackNote(firstTarget);
    }
    mappings_.push_back({firstCode, lastCode, firstTarget});
}

}  // namespace ortheo
