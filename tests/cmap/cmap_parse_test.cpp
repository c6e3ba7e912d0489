// The keyword scan and the four blocks, with the notes they write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmap_test_printers.h"
#include "note_capture.h"
#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {
namespace {

constexpr const char* kBadBfEntry = "Illegal entry in bfchar block in ToUnicode CMap\n";
constexpr const char* kMissingBfCharToken = "Illegal entry in bfchar block in ToUnicode CCIDMap\n";

using Mappings = std::vector<CMapMapping>;

struct Parsed {
    CMap cmap;
    std::string notes;

    Mappings mappings() const { return {cmap.mappings().begin(), cmap.mappings().end()}; }
    std::vector<CodeSpaceRange> ranges() const {
        const auto ranges = cmap.codeSpaceRanges();
        return {ranges.begin(), ranges.end()};
    }
};

Parsed parse(const std::string& text) {
    NoteCapture capture;
    Parsed parsed;
    EXPECT_TRUE(parsed.cmap.parse(text.data(), text.size()));
    parsed.notes = capture.text();
    return parsed;
}

// --- The keyword scan ---------------------------------------------------------

TEST(CMapParse, LeavesTheInitialValuesForAnEmptyText) {
    const Parsed parsed = parse("");
    EXPECT_TRUE(parsed.mappings().empty());
    EXPECT_EQ(parsed.cmap.cmapName(), "");
    EXPECT_EQ(parsed.cmap.ordering(), "(T1UV)");
    EXPECT_EQ(parsed.notes, "");
}

TEST(CMapParse, ReadsTheUsualToUnicodeCMap) {
    const Parsed parsed = parse(R"(/CIDInit /ProcSet findresource begin
12 dict begin
begincmap
/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def
/CMapName /Adobe-Identity-UCS def
/CMapType 2 def
1 begincodespacerange
<0000> <FFFF>
endcodespacerange
2 beginbfchar
<0003> <0020>
<0011> <00660069>
endbfchar
1 beginbfrange
<0024> <0026> <0041>
endbfrange
endcmap
CMapName currentdict /CMap defineresource pop
end
end
)");
    EXPECT_EQ(parsed.cmap.cmapName(), "Adobe-Identity-UCS");
    EXPECT_EQ(parsed.cmap.cmapType(), "2");
    EXPECT_EQ(parsed.cmap.ordering(), "(UCS)");
    EXPECT_EQ(parsed.ranges(), (std::vector<CodeSpaceRange>{{0x0000, 0xFFFF}}));
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x03, 0x03, 0x20}, {0x11, 0x11, 0x660069}, {0x24, 0x26, 0x41}}));
    EXPECT_EQ(parsed.notes, "");
}

TEST(CMapParse, TakesNameAndTypeTokensVerbatimAndTheLastOneWins) {
    EXPECT_EQ(parse("/CMapName (My\\)Name) def").cmap.cmapName(), "(My\\)Name)");
    EXPECT_EQ(parse("/CMapName /First def /CMapName /Second def").cmap.cmapName(), "Second");
    EXPECT_EQ(parse("/CMapType /2 def").cmap.cmapType(), "2");
    EXPECT_EQ(parse("/CMapName /" + std::string(1200, 'n') + " def").cmap.cmapName(), std::string(997, 'n'));
}

TEST(CMapParse, StopsWithANoteWhenAKeyIsTheLastToken) {
    EXPECT_EQ(parse("/CMapName /A def /CMapName").notes, "Illegal CMap name entry block in CMap\n");
    EXPECT_EQ(parse("/CMapType %no value").notes, "Illegal CMap name entry block in CMap\n");
    EXPECT_EQ(parse("/CIDSystemInfo").notes, "Illegal entry in CIDSystemInfo block in CMap\n");
}

TEST(CMapParse, LooksForTheOrderingOnlyInsideADictionaryToken) {
    EXPECT_EQ(parse("/CIDSystemInfo <</Ordering(Identity)>>").cmap.ordering(), "(Identity)");
    const Parsed dictBegin =
        parse("/CIDSystemInfo 3 dict dup begin /Registry (Adobe) def /Ordering (UCS) def end def");
    EXPECT_EQ(dictBegin.cmap.ordering(), "(T1UV)");

    // The dictionary token ends at its first ">", here inside a string.
    EXPECT_EQ(parse("/CIDSystemInfo <</Registry (A>B) /Ordering (UCS)>> def").cmap.ordering(), "(T1UV)");

    using namespace std::literals;
    const Parsed noValue = parse("/CIDSystemInfo <</Ordering\0> 1 beginbfchar <01> <0041> endbfchar"s);
    EXPECT_EQ(noValue.notes, "Illegal entry in CIDSystemInfo block in CMap\n");
    EXPECT_EQ(noValue.mappings(), (Mappings{{0x01, 0x01, 0x41}}));
}

TEST(CMapParse, AppendsASecondTextToTheFirst) {
    NoteCapture notes;
    CMap cmap;
    const std::string text = "1 beginbfchar <01> <0041> endbfchar";
    cmap.parse(text.data(), text.size());
    cmap.parse(text.data(), text.size());
    EXPECT_EQ(cmap.mappings().size(), 2u);
}

TEST(CMapParse, DiscardsTheTokenAfterEachBlock) {
    // The second begin keyword is discarded, so its entries are ordinary tokens.
    const Parsed parsed = parse("1 beginbfchar <01> <0041> endbfchar beginbfchar <02> <0042> endbfchar");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x01, 0x01, 0x41}}));
}

TEST(CMapParse, SkipsCommentsBetweenEntries) {
    const Parsed parsed = parse("1 beginbfchar % first\n<01> <0041> %second\r<02>% third\n<0042> endbfchar");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x01, 0x01, 0x41}, {0x02, 0x02, 0x42}}));
}

TEST(CMapParse, ConvertsOnlyTheStoredPartOfALongToken) {
    const std::string digits = std::string(989, '0') + "ABCDEF01" + "99999";
    const Parsed parsed = parse("1 beginbfchar <01> <" + digits + "> endbfchar");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x01, 0x01, 0xABCDEF01}}));
}

// --- codespacerange and cidrange ------------------------------------------------

TEST(CMapParse, SkipsRangesWhoseBoundsAreNotHexStringsWithoutANote) {
    const Parsed parsed = parse("2 begincodespacerange /a 1 <00> <FF> <> <01> endcodespacerange");
    EXPECT_EQ(parsed.ranges(), (std::vector<CodeSpaceRange>{{0x00, 0xFF}}));
    EXPECT_EQ(parsed.notes, "");
}

TEST(CMapParse, ReadsCidRangesWithDecimalCids) {
    const Parsed parsed = parse("3 begincidrange <20> <7E> 1 <80> <FF> x <0100> <0101> 55361 endcidrange");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x20, 0x7E, 1}, {0x80, 0xFF, 0}, {0x100, 0x101, 0x41}}));
    EXPECT_EQ(parsed.notes, "CIDMap in private usage or surrogate area. Trying to use latin1 (0x41).\n");
}

TEST(CMapParse, EndsARangeBlockWithANoteWhenATokenIsMissing) {
    EXPECT_EQ(parse("1 begincodespacerange <00> endcodespacerange").notes,
              "Illegal entry in codespacerange block in CMap\n");
    EXPECT_EQ(parse("1 begincidrange <00> <FF> endcidrange").notes, "Illegal entry in cidrange block in CMap\n");
}

// --- bfchar -------------------------------------------------------------------------

TEST(CMapParse, NotesAndSkipsABfCharEntryThatFailsToConvert) {
    const Parsed parsed = parse("3 beginbfchar <01> <0041> [ <0042> <03> <0043> endbfchar");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x01, 0x01, 0x41}, {0x03, 0x03, 0x43}}));
    EXPECT_EQ(parsed.notes, kBadBfEntry);
}

TEST(CMapParse, TakesTheEndKeywordAsAMissingBfCharDestination) {
    // "endbfchar" is consumed as the destination and "1" is discarded, so the
    // bfrange block is still read.
    const Parsed parsed = parse("2 beginbfchar <01> <0041> <02> endbfchar 1 beginbfrange <10> <11> <0050> endbfrange");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x01, 0x01, 0x41}, {0x10, 0x11, 0x50}}));
    EXPECT_EQ(parsed.notes, kMissingBfCharToken);
}

// --- bfrange ---------------------------------------------------------------------------

TEST(CMapParse, NotesABfRangeEntryThatFailsOrLacksAToken) {
    const Parsed parsed = parse("2 beginbfrange <10> /x <0050> <20> <21> <0060> <30> <31> endbfrange");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x20, 0x21, 0x60}}));
    EXPECT_EQ(parsed.notes, std::string(kBadBfEntry) + kBadBfEntry);  // a line each
}

TEST(CMapParse, MapsEachCodeOfARangeToItsStringInADestinationArray) {
    const Parsed parsed = parse("2 beginbfrange <10> <12> [<0041> <00660069>\n<0043>] <20> <20> <0050> endbfrange");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x10, 0x10, 0x41}, {0x11, 0x11, 0x660069}, {0x12, 0x12, 0x43}, {0x20, 0x20, 0x50}}));
    EXPECT_EQ(parsed.notes, "");
}

TEST(CMapParse, MapsOnlyTheCodesOfTheRangeFromADestinationArray) {
    EXPECT_EQ(parse("1 beginbfrange <10> <11> [<41> <42> <43>] endbfrange").mappings(),
              (Mappings{{0x10, 0x10, 0x41}, {0x11, 0x11, 0x42}}));
    EXPECT_EQ(parse("1 beginbfrange <10> <13> [<41>] endbfrange").mappings(), (Mappings{{0x10, 0x10, 0x41}}));
    EXPECT_EQ(parse("1 beginbfrange <11> <10> [<41>] endbfrange").mappings(), Mappings{});
}

TEST(CMapParse, LeavesTheCodeOfABadArrayStringUnmapped) {
    const Parsed parsed = parse("1 beginbfrange <10> <12> [<41> /x <43>] endbfrange");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x10, 0x10, 0x41}, {0x12, 0x12, 0x43}}));
    EXPECT_EQ(parsed.notes, kBadBfEntry);

    const Parsed badBound = parse("1 beginbfrange <10> /x [<41> <42>] <20> <20> <50> endbfrange");
    EXPECT_EQ(badBound.mappings(), (Mappings{{0x20, 0x20, 0x50}}));
    EXPECT_EQ(badBound.notes, kBadBfEntry);
}

TEST(CMapParse, NotesAnArrayEntryOnceHoweverManyOfItsStringsFail) {
    const Parsed parsed = parse("1 beginbfrange <00> <FFFFFFFF> [/x /y <41> /z /q] <20> <20> [/w] endbfrange");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x02, 0x02, 0x41}}));
    EXPECT_EQ(parsed.notes, std::string(kBadBfEntry) + kBadBfEntry) << "one note for each of the two entries";
}

// The notes of one parse, counted by the sink's calls.
struct CountedNotes {
    static inline std::vector<std::string> writes;
    static void sink(std::string_view note) { writes.emplace_back(note); }
};

TEST(CMapParse, WritesTheFirstThousandNotesOfAParseInOneGoAndCountsTheRest) {
    std::string text = "beginbfchar";
    for (int entry = 0; entry < 1500; ++entry) text += " <01> /x";
    text += " endbfchar";
    CountedNotes::writes.clear();
    setCMapNoteSinkForTesting(&CountedNotes::sink);
    CMap cmap;
    cmap.parse(text.data(), text.size());
    setCMapNoteSinkForTesting(nullptr);

    std::string expected;
    for (int note = 0; note < 1000; ++note) expected += kBadBfEntry;
    expected += "500 further notes on this CMap were left out.\n";
    EXPECT_EQ(CountedNotes::writes, std::vector<std::string>{expected});

    EXPECT_EQ(parse("1 beginbfchar <01> <D841> endbfchar").notes,
              "CIDMap in private usage or surrogate area. Trying to use latin1 (0x41).\n")
        << "a parse with few notes writes them as they are";
}

TEST(CMapParse, EndsTheBlockAtAnArrayThatIsNotClosed) {
    const Parsed parsed = parse("2 beginbfrange <01> <01> <0030> <10> <11> [<41> <42> endbfrange 1 beginbfchar "
                                "<05> <0035> endbfchar");
    EXPECT_EQ(parsed.mappings(), (Mappings{{0x01, 0x01, 0x30}, {0x05, 0x05, 0x35}}));
    EXPECT_EQ(parsed.notes, kBadBfEntry);
    EXPECT_EQ(parse("1 beginbfrange <10> <11> [<41>").notes, kBadBfEntry);
}

}  // namespace
}  // namespace ortheo
