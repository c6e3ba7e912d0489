#include "report/tounicode_map.h"

#include <algorithm>
#include <span>

#include "plugin/host_call.h"
#include "report/drawing.h"
#include "report/host_objects.h"
#include "report/line_buffer.h"
#include "report/report_state.h"
#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {
namespace {

using ListingLine = LineBuffer<256>;

constexpr std::int32_t kColumns = 4;
constexpr std::int32_t kTopMargin = 30;

void writeHeaderLine(TextPages& pages, host::Handle reportFont, const ListingLine& line, std::int32_t advance) {
    PageState& page = pageState();
    WriteText(pages.text(), runMode, line.str(), reportFont, page.leftMargin + 2, page.lineY, page.textWidth,
              page.textHeight);
    page.lineY += advance;
}

void writeHeader(TextPages& pages, host::Handle reportFont, const CMap& cmap) {
    const PageState& page = pageState();
    const std::int32_t lineAdvance = page.textHeight + page.lineGap;
    ListingLine line;
    line.format("ToUnicode map for %s:", collection().currentFontName);
    writeHeaderLine(pages, reportFont, line, lineAdvance);
    line.format("CMap Name: %s", cmap.cmapName().c_str());
    writeHeaderLine(pages, reportFont, line, lineAdvance);
    line.format("Type: %s Ordering (%s)", cmap.cmapType().c_str(), cmap.ordering().c_str());
    writeHeaderLine(pages, reportFont, line, lineAdvance + page.lineGap);
}

void composeMappingLine(ListingLine& line, const CMapMapping& mapping) {
    if (mapping.firstCode == mapping.lastCode) {
        line.format("x%04X -> x%04X", mapping.firstCode, mapping.firstTarget);
    } else {
        const std::uint32_t lastTarget = mapping.firstTarget + (mapping.lastCode - mapping.firstCode);
        line.format("x%04X - x%04X -> x%04X - x%04X", mapping.firstCode, mapping.lastCode, mapping.firstTarget,
                    lastTarget);
    }
}

// A multi-byte font reads codes of two bytes at least.
constexpr int kFewestCodeBytes = 2;

// The bytes a multi-byte font's codes in a code range are written with: as
// many as the range's wider bound needs, and never fewer than two. The model
// keeps the bounds' values, not their digits, so <0000> <00FF> cannot be told
// from <00> <FF>; and a font that reads two-byte codes takes a one-byte
// string for an incomplete code.
int byteCountOf(const CodeSpaceRange& range) {
    const std::uint32_t wider = std::max(range.low, range.high);
    int count = kFewestCodeBytes;
    while (count < 4 && (wider >> (8 * count)) != 0) ++count;
    return count;
}

// The strings that draw the glyphs of the CMap's codes in the analysed font.
// A simple font reads one byte: a code is sampled by its low byte. A
// multi-byte font reads whole codes: a code is sampled by its own bytes,
// big-endian, as many as the first code-space range containing it calls
// for, two where none does. Real CMaps have a handful of ranges; only the
// first 256 are looked at, so that a CMap of many ranges and many mappings
// costs no more than its size.
class GlyphSampler {
public:
    GlyphSampler(host::Handle font, std::span<const CodeSpaceRange> ranges)
        : multiByte_(callHost<host::op::FontIsMultiByte>(font) != 0),
          ranges_(ranges.first(std::min(ranges.size(), kRangesLookedAt))) {}

    std::string sampleOf(std::uint32_t code) const {
        const int count = multiByte_ ? byteCountOfCode(code) : 1;
        std::string bytes;
        for (int index = count - 1; index >= 0; --index) bytes += static_cast<char>((code >> (8 * index)) & 0xFF);
        return bytes;
    }

private:
    static constexpr std::size_t kRangesLookedAt = 256;

    int byteCountOfCode(std::uint32_t code) const {
        for (const CodeSpaceRange& range : ranges_) {
            if (range.low <= code && code <= range.high) return byteCountOf(range);
        }
        return kFewestCodeBytes;
    }

    bool multiByte_;
    std::span<const CodeSpaceRange> ranges_;
};

void writeMapping(TextPages& pages, host::Handle reportFont, host::Handle font, const GlyphSampler& sampler,
                  const CMapMapping& mapping, std::int32_t x, std::int32_t y) {
    const PageState& page = pageState();
    const std::int32_t width = page.textWidth;
    const std::int32_t height = page.textHeight;
    ListingLine line;
    composeMappingLine(line, mapping);
    WriteText(pages.text(), runMode, line.str(), reportFont, x + 2, y, width, height);
    WriteText(pages.text(), runMode, sampler.sampleOf(mapping.firstCode), font, x + 15 * width, y, width, height);
    if (mapping.firstCode < mapping.lastCode) {
        WriteText(pages.text(), runMode, "-", reportFont, x + 16 * width, y, width, height);
        WriteText(pages.text(), runMode, sampler.sampleOf(mapping.lastCode), font, x + 17 * width, y, width, height);
    }
}

// The last cell of a listing that the budget of mappings cut short.
void writeUnlistedCount(TextPages& pages, host::Handle reportFont, std::size_t unlisted, std::int32_t x,
                        std::int32_t y) {
    ListingLine line;
    line.format(unlisted == 1 ? "%zu more mapping, not listed" : "%zu more mappings, not listed", unlisted);
    WriteText(pages.text(), runMode, line.str(), reportFont, x + 2, y, pageState().textWidth, pageState().textHeight);
}

// Whether the font dictionary holds a ToUnicode stream, without reading it.
bool hasToUnicodeStream(host::Object dict) {
    const host::Object value = callHost<host::op::CosDictGet>(dict, callHost<host::op::AtomFromString>("ToUnicode"));
    return callHost<host::op::CosTypeOf>(value) == host::kCosStream;
}

// Writes the mappings four to a row, as many as the budget of mappings
// leaves room for, then a count of the others; a row that would reach below the page
// begins the next page instead, so that every mapping stays visible.
void writeGrid(TextPages& pages, host::Handle reportFont, host::Handle font, const CMap& cmap) {
    PageState& page = pageState();
    const std::int32_t pageWidth = (page.pageBox.right - page.pageBox.left) >> 16;
    const std::int32_t pageHeight = (page.pageBox.top - page.pageBox.bottom) >> 16;
    const std::int32_t columnWidth = pageWidth / kColumns;
    std::int32_t x = page.leftMargin;
    std::int32_t y = page.lineY;
    std::int32_t count = 0;
    const GlyphSampler sampler(font, cmap.codeSpaceRanges());
    const std::span<const CMapMapping> mappings = cmap.mappings();
    const auto listed = static_cast<std::size_t>(
        reportState().toUnicodeMappings.take(static_cast<std::int64_t>(mappings.size())));
    for (std::size_t index = 0; index <= listed && index < mappings.size(); ++index) {
        if (count % kColumns == 0 && y + page.textHeight > pageHeight) {
            pages.startNextPage();
            y = kTopMargin;
        }
        if (index < listed) {
            writeMapping(pages, reportFont, font, sampler, mappings[index], x, y);
        } else {
            writeUnlistedCount(pages, reportFont, mappings.size() - listed, x, y);
        }
        ++count;
        if (count % kColumns != 0) {
            x += columnWidth;
        } else {
            y += page.textHeight + page.lineGap;
            x = page.leftMargin;
        }
    }
    page.lineY = y + page.textHeight + page.lineGap;
}

}  // namespace

int WriteToUnicodeMap(TextPages& pages, host::Handle font) {
    host::Object dict;
    callHost<host::op::FontGetCosObject>(font, &dict);
    if (reportState().toUnicodeMappings.spent()) {
        // The budget is spent: the map is neither read nor listed.
        if (hasToUnicodeStream(dict)) ++reportState().unlistedToUnicodeMaps;
        return 0;
    }
    CMap cmap;
    if (!cmap.loadToUnicode(dict)) return 0;

    const PageObject reportFont(MakeReportFont());
    writeHeader(pages, reportFont.get(), cmap);
    writeGrid(pages, reportFont.get(), font, cmap);
    return 1;
}

}  // namespace ortheo
