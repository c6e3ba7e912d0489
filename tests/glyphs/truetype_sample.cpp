#include "glyphs/truetype_sample.h"

#include <array>
#include <cstdint>
#include <map>
#include <utility>

namespace ortheo::testing {
namespace {

std::string u16(unsigned value) { return {static_cast<char>((value >> 8) & 0xFF), static_cast<char>(value & 0xFF)}; }
std::string u32(std::uint32_t value) { return u16(value >> 16) + u16(value & 0xFFFF); }
std::string zeros(std::size_t count) { return std::string(count, '\0'); }

constexpr unsigned kGlyphCount = 4;
// code -> glyph: Euro, quotedblleft, A.
constexpr std::array<std::pair<unsigned, unsigned>, 3> kCodeToGlyph = {{{0x41, 3}, {0x80, 1}, {0x93, 2}}};

// Format 4, one segment per code and the closing 0xFFFF segment.
std::string windowsSymbolSubtable() {
    std::string ends, starts, deltas, rangeOffsets;
    for (const auto& [code, glyph] : kCodeToGlyph) {
        ends += u16(0xF000 + code);
        starts += u16(0xF000 + code);
        deltas += u16((glyph - (0xF000 + code)) & 0xFFFF);
        rangeOffsets += u16(0);
    }
    ends += u16(0xFFFF);
    starts += u16(0xFFFF);
    deltas += u16(1);
    rangeOffsets += u16(0);
    const unsigned segments = kCodeToGlyph.size() + 1;
    const std::string body = u16(segments * 2) + u16(8) + u16(2) + u16(0) + ends + u16(0) + starts + deltas + rangeOffsets;
    return u16(4) + u16(static_cast<unsigned>(6 + body.size())) + u16(0) + body;
}

// Format 0: one glyph byte per code.
std::string macintoshRomanSubtable() {
    std::string glyphs = zeros(256);
    for (const auto& [code, glyph] : kCodeToGlyph) glyphs[code] = static_cast<char>(glyph);
    return u16(0) + u16(262) + u16(0) + glyphs;
}

std::string cmapTable(SampleCmap cmap) {
    const bool windows = cmap == SampleCmap::WindowsSymbol;
    const std::string subtable = windows ? windowsSymbolSubtable() : macintoshRomanSubtable();
    return u16(0) + u16(1) + u16(windows ? 3 : 1) + u16(0) + u32(12) + subtable;
}

// Format 2: .notdef and "A" by their standard Macintosh indices (0, 36),
// the other two by names of their own (258, 259).
std::string postTable() {
    const std::string header = u32(0x20000) + zeros(28);
    return header + u16(kGlyphCount) + u16(0) + u16(258) + u16(259) + u16(36) + "\x04" "Euro" "\x0c" "quotedblleft";
}

}  // namespace

std::string trueTypeWithNamedGlyphs(SampleCmap cmap) {
    const std::map<std::string, std::string> tables = {
        {"cmap", cmapTable(cmap)},
        {"head", u32(0x10000) + u32(0) + u32(0) + u32(0x5F0F3CF5) + u16(0) + u16(1000) + zeros(24) + u16(0) +
                     u16(8) + u16(2) + u16(0) + u16(0)},
        {"hhea", u32(0x10000) + u16(800) + u16(0xFF38) + u16(0) + u16(500) + zeros(22) + u16(0) + u16(1)},
        {"hmtx", u16(500) + u16(0) + zeros(2 * (kGlyphCount - 1))},
        {"loca", zeros(2 * (kGlyphCount + 1))},
        {"maxp", u32(0x10000) + u16(kGlyphCount) + zeros(26)},
        {"post", postTable()},
    };
    std::string directory = u32(0x10000) + u16(static_cast<unsigned>(tables.size())) + zeros(6);
    std::string body;
    const std::size_t start = 12 + 16 * tables.size();
    for (const auto& [tag, data] : tables) {
        directory += tag + u32(0) + u32(static_cast<std::uint32_t>(start + body.size())) +
                     u32(static_cast<std::uint32_t>(data.size()));
        body += data + zeros((4 - data.size() % 4) % 4);
    }
    return directory + body;
}

}  // namespace ortheo::testing
