#include "report/code_chart.h"

#include <array>
#include <bitset>
#include <utility>

#include "plugin/host_call.h"
#include "report/drawing.h"
#include "report/host_objects.h"
#include "report/line_buffer.h"
#include "report/report_state.h"

namespace ortheo {
namespace {

constexpr std::int32_t kRows = 16;
constexpr std::int32_t kColumns = 16;
constexpr std::int32_t kCodes = kRows * kColumns;
constexpr std::uint8_t kNoTranslation = ' ';

using ChartLine = LineBuffer<100>;

// The host's names of a font's codes, handed back to the host exactly once.
class CodeNames {
public:
    explicit CodeNames(host::Handle font) : table_(callHost<host::op::FontGlyphNames>(font)) {}
    ~CodeNames() {
        try {
            if (table_ != nullptr) callHost<host::op::FontFreeGlyphNames>(std::exchange(table_, nullptr));
        } catch (...) {
        }
    }
    CodeNames(const CodeNames&) = delete;
    CodeNames& operator=(const CodeNames&) = delete;

    // The name the host gives the code, or null.
    const char* given(int code) const { return table_ != nullptr ? table_[code] : nullptr; }

    // The code's name, or a single space when the host gives none.
    ChartLine nameOf(int code) const {
        ChartLine name;
        const char* text = given(code);
        name.format("%s", text != nullptr ? text : " ");
        return name;
    }

private:
    const char* const* table_;
};

struct ChartGeometry {
    std::int32_t cellWidth;
    std::int32_t cellHeight;
};

// Sizes the cells to fill the page below lineY and sets the chart's text
// size from them.
ChartGeometry layOutChart(PageState& page) {
    const std::int32_t pageHeight = (page.pageBox.top - page.pageBox.bottom) >> 16;
    const std::int32_t pageWidth = (page.pageBox.right - page.pageBox.left) >> 16;
    const ChartGeometry geometry{(pageWidth - 3 * page.leftMargin - page.cellGap) / kColumns,
                                 (pageHeight - 60 - page.lineY - page.textHeight - page.lineGap) / kRows};
    page.textWidth = geometry.cellWidth / 5;
    page.textHeight = (geometry.cellHeight - 2 * page.lineGap) / 3;
    return geometry;
}

std::array<std::uint8_t, kCodes> translatedCodes(host::Handle font, const std::array<std::uint8_t, kCodes>& codes) {
    std::array<std::uint8_t, kCodes> translated;
    translated.fill(kNoTranslation);
    callHost<host::op::FontTranslate>(font, codes.data(), kCodes, translated.data(), kCodes);
    return translated;
}

// The codes whose name leads to a glyph procedure (a stream in the font's
// /CharProcs), as a Type3 font draws them.
std::bitset<kCodes> codesWithProcedures(host::Handle font, const CodeNames& names) {
    std::bitset<kCodes> found;
    host::Object dict;
    callHost<host::op::FontGetCosObject>(font, &dict);
    const host::Object procedures =
        callHost<host::op::CosDictGet>(dict, callHost<host::op::AtomFromString>("CharProcs"));
    if (callHost<host::op::CosTypeOf>(procedures) != host::kCosDict) return found;
    for (int code = 0; code < kCodes; ++code) {
        const char* name = names.given(code);
        if (name == nullptr) continue;
        const host::Object procedure =
            callHost<host::op::CosDictGet>(procedures, callHost<host::op::AtomFromString>(name));
        found[code] = callHost<host::op::CosTypeOf>(procedure) == host::kCosStream;
    }
    return found;
}

// What each cell draws in the analysed font. A simple font draws the code's
// byte. A multi-byte font reads two-byte codes (also under a CMap whose
// codes below 0x80 are one byte), so cell NN draws the code 0x00NN: CID NN
// under Identity-H, U+00NN under a UCS-2 CMap. A Type3 font draws nothing
// for a code without a glyph procedure, which a viewer would complain of.
// Code 00 draws nothing in any font, only its box.
class GlyphSamples {
public:
    GlyphSamples(host::Handle font, const FontKind& kind, const CodeNames& names) {
        if (kind.multiByte) {
            kind_ = Kind::multiByte;
        } else if (kind.type3) {
            kind_ = Kind::type3;
            withProcedure_ = codesWithProcedures(font, names);
        }
    }

    std::string sampleOf(int code) const {
        if (code == 0) return std::string();
        if (kind_ == Kind::multiByte) return std::string{'\0', static_cast<char>(code)};
        if (kind_ == Kind::type3 && !withProcedure_[static_cast<std::size_t>(code)]) return std::string();
        return std::string(1, static_cast<char>(code));
    }

private:
    enum class Kind { oneByte, multiByte, type3 };
    Kind kind_ = Kind::oneByte;
    std::bitset<kCodes> withProcedure_;
};

struct Cell {
    int code;
    std::int32_t x;
    std::int32_t y;
};

struct ChartFonts {
    host::Handle report;
    host::Handle analysed;
    const GlyphSamples& samples;
};

void writeCell(host::Handle text, const ChartFonts& fonts, const ChartGeometry& geometry, const Cell& cell,
               std::uint8_t translated, const CodeNames& names) {
    const PageState& page = pageState();
    const std::int32_t width = page.textWidth;
    const std::int32_t height = page.textHeight;
    std::int32_t y = cell.y;
    AddRectangle(page.cellFramePath, cell.x, y, geometry.cellWidth, geometry.cellHeight);
    const ChartLine name = names.nameOf(cell.code);

    ChartLine label;
    label.format("%02X", static_cast<unsigned>(cell.code));
    WriteText(text, runMode, label.str(), fonts.report, cell.x + 2, y, width, height);
    WriteText(text, charMode, fonts.samples.sampleOf(cell.code), fonts.analysed, cell.x + 3 * width, y, 2 * width,
              2 * height);
    AddRectangle(page.glyphBoxPath, cell.x + 3 * width, y, 2 * width, 2 * height);

    y += height + page.lineGap;
    if (translated != kNoTranslation && translated != cell.code) {
        label.format("->%02X", static_cast<unsigned>(translated));
        WriteText(text, runMode, label.str(), fonts.report, cell.x + 2, y, width, height);
    }
    y += height + page.lineGap;
    WriteText(text, runMode, name.str(), fonts.report, cell.x + 2, y, width, height);
}

}  // namespace

int WriteCodeChart(host::Handle textElement, host::Handle font, const FontKind& kind) {
    const PageObject reportFont(MakeReportFont());
    std::array<std::uint8_t, kCodes> codeBytes;
    for (int code = 0; code < kCodes; ++code) codeBytes[code] = static_cast<std::uint8_t>(code);

    PageState& page = pageState();
    const ChartGeometry geometry = layOutChart(page);
    const host::Handle documentFont = collection().currentFont;
    const CodeNames names(documentFont);
    const std::array<std::uint8_t, kCodes> translated = translatedCodes(documentFont, codeBytes);
    const GlyphSamples samples(font, kind, names);
    const ChartFonts fonts{reportFont.get(), font, samples};

    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int code = kColumns * row + column;
            const Cell cell{code, (geometry.cellWidth + page.cellGap) * column + page.leftMargin,
                            (geometry.cellHeight + page.lineGap) * row + page.lineY};
            writeCell(textElement, fonts, geometry, cell, translated[code], names);
        }
    }
    return 1;
}

}  // namespace ortheo
