// The CMap model: initial values, appending, and the Latin-1 fallback for
// targets that cannot be shown as Unicode.
#include <gtest/gtest.h>

#include <vector>

#include "cmap_test_printers.h"
#include "note_capture.h"
#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {
namespace {

std::vector<CMapMapping> mappingsOf(const CMap& cmap) {
    return {cmap.mappings().begin(), cmap.mappings().end()};
}

TEST(CMapModel, StartsEmptyWithTheDefaultOrdering) {
    const CMap cmap;
    EXPECT_TRUE(cmap.mappings().empty());
    EXPECT_TRUE(cmap.codeSpaceRanges().empty());
    EXPECT_EQ(cmap.cmapName(), "");
    EXPECT_EQ(cmap.cmapType(), "");
    EXPECT_EQ(cmap.ordering(), "(T1UV)");
}

TEST(CMapModel, KeepsEntriesAsAppendedWithoutMergingOrChecking) {
    NoteCapture notes;
    CMap cmap;
    cmap.addMapping(0x50, 0x40, 0x41);
    cmap.addMapping(0x20, 0x20, 0x20);
    cmap.addMapping(0x20, 0x20, 0x20);
    cmap.addCodeSpaceRange(0xFF, 0x00);
    cmap.addCodeSpaceRange(0x0000, 0xFFFF);

    EXPECT_EQ(mappingsOf(cmap), (std::vector<CMapMapping>{{0x50, 0x40, 0x41}, {0x20, 0x20, 0x20}, {0x20, 0x20, 0x20}}));
    const auto ranges = cmap.codeSpaceRanges();
    EXPECT_EQ(std::vector<CodeSpaceRange>(ranges.begin(), ranges.end()),
              (std::vector<CodeSpaceRange>{{0xFF, 0x00}, {0x0000, 0xFFFF}}));
    EXPECT_EQ(notes.text(), "");
}

TEST(CMapModel, ReplacesAFirstTargetInTheSurrogateOrPrivateUseAreaByItsLowByte) {
    struct Case {
        std::uint32_t target;
        std::uint32_t stored;
        const char* note;
    };
    const Case cases[] = {
        {0xE041, 0x41, "CIDMap in private usage or surrogate area. Trying to use latin1 (0x41).\n"},
        {0xD800, 0x00, "CIDMap in private usage or surrogate area. Trying to use latin1 (0x0).\n"},
        {0xF8FF, 0xFF, "CIDMap in private usage or surrogate area. Trying to use latin1 (0xff).\n"},
        {0xD7FF, 0xD7FF, ""},
        {0xF900, 0xF900, ""},
        {0xD83DDE00, 0xD83DDE00, ""},  // a surrogate pair is one number above the area
    };
    for (const Case& c : cases) {
        NoteCapture notes;
        CMap cmap;
        cmap.addMapping(0x20, 0x20, c.target);
        EXPECT_EQ(cmap.mappings()[0].firstTarget, c.stored) << std::hex << c.target;
        EXPECT_EQ(notes.text(), c.note) << std::hex << c.target;
    }
}

TEST(CMapModel, TestsOnlyTheFirstTargetOfARange) {
    NoteCapture notes;
    CMap cmap;
    cmap.addMapping(0x10, 0x30, 0xD7F0);
    EXPECT_EQ(mappingsOf(cmap), (std::vector<CMapMapping>{{0x10, 0x30, 0xD7F0}}));
    EXPECT_EQ(notes.text(), "");
}

TEST(CMapModel, WritesItsNotesToStandardErrorByDefault) {
    testing::internal::CaptureStderr();
    CMap cmap;
    cmap.addMapping(0x20, 0x20, 0xE041);
    cmap.parse("1 beginbfchar <01> endbfchar", 28);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "CIDMap in private usage or surrogate area. Trying to use latin1 (0x41).\n"
              "Illegal entry in bfchar block in ToUnicode CCIDMap\n");
}

}  // namespace
}  // namespace ortheo
