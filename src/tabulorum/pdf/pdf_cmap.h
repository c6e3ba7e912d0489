// The CMap engine: the model of one ToUnicode CMap and its parser.
//
// A `CMap` is filled from the text of a font's ToUnicode stream and then read
// back by the ToUnicode listing, which walks its mappings and destroys it. It
// keeps the ranges as the CMap states them: no lookup, no sorting, no merging.
// It owns its lists and strings outright.
//
// Notes: a malformed entry or a target in the surrogate or private use area is
// reported as a note, one line, to the process's standard error stream;
// parsing never fails as a whole. The notes of one parse are gathered and
// written in one go when it ends; past the first 1,000 they are only counted,
// and a last line says how many were left out. Appending raises
// std::bad_alloc when memory runs out; entries added before it stay in the
// model.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host_services.h"

namespace ortheo {

// One begincodespacerange entry. The byte length of the codes is not kept.
struct CodeSpaceRange {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    friend bool operator==(const CodeSpaceRange&, const CodeSpaceRange&) = default;
};

// One cidrange, bfchar or bfrange entry: every code c from firstCode to
// lastCode maps to firstTarget + (c - firstCode). A destination of several
// UTF-16 units is one number of all its digits (0066 0069 gives 0x660069).
struct CMapMapping {
    std::uint32_t firstCode = 0;
    std::uint32_t lastCode = 0;
    std::uint32_t firstTarget = 0;
    friend bool operator==(const CMapMapping&, const CMapMapping&) = default;
};

class CMap {
public:
    CMap();

    void addCodeSpaceRange(std::uint32_t low, std::uint32_t high);
    // Appends the entry; a first target in the surrogate or private use area
    // (0xD800 to 0xF8FF) is first replaced by its low byte, with a note.
    void addMapping(std::uint32_t firstCode, std::uint32_t lastCode, std::uint32_t firstTarget);

    // Reads the font's ToUnicode stream and parses it into this CMap.
    bool loadToUnicode(host::Object fontDict);
    // Parses `length` bytes of CMap text (not NUL-terminated, not changed)
    // into this CMap, appending to what it holds. Always returns true.
    bool parse(const char* text, std::size_t length);

    std::span<const CMapMapping> mappings() const { return mappings_; }
    const std::string& cmapName() const { return cmapName_; }
    const std::string& cmapType() const { return cmapType_; }
    const std::string& ordering() const { return ordering_; }
    std::span<const CodeSpaceRange> codeSpaceRanges() const { return codeSpaceRanges_; }
    // How many codes the entries map to private use code points (U+E000 to
    // U+F8FF, and planes 15 and 16 as UTF-16 surrogate pairs), counted as
    // written, before a target is replaced by its low byte.
    std::uint64_t privateUseCodes() const { return privateUseCodes_; }

private:
    std::vector<CodeSpaceRange> codeSpaceRanges_;
    std::vector<CMapMapping> mappings_;
    std::string cmapName_;
    std::string cmapType_;
    std::string ordering_;
    std::uint64_t privateUseCodes_ = 0;
};

// --- Notes -----------------------------------------------------------------

// The notes of one parse that are written; the rest are counted.
constexpr std::size_t kNotesWrittenPerParse = 1000;

// Writes one of the engine's notes (a whole line), by default to standard
// error: into the open batch during a parse, straight to the sink otherwise.
void writeCMapNote(std::string_view note);

// Gathers the notes written while it lives and hands them to the sink in
// one piece when it ends, with the line that counts those left out. Only
// the first of two batches alive at once gathers.
class CMapNoteBatch {
public:
    CMapNoteBatch();
    ~CMapNoteBatch();
    CMapNoteBatch(const CMapNoteBatch&) = delete;
    CMapNoteBatch& operator=(const CMapNoteBatch&) = delete;

    void add(std::string_view note);

private:
    bool gathering_;
    std::string text_;
    std::size_t written_ = 0;
    std::uint64_t leftOut_ = 0;
};

// Redirects the notes, so that tests can capture them and benchmarks silence
// them; a null sink restores standard error. One sink serves the whole
// process, which parses on one thread.
using CMapNoteSink = void (*)(std::string_view note);
void setCMapNoteSinkForTesting(CMapNoteSink sink);

// --- The parser's lexical pieces, public for their tests -------------------

enum class CharClass : std::uint8_t { regular = 0, whiteSpace = 1, delimiter = 2 };

// The PDF white-space and delimiter bytes; every other byte is regular.
extern const std::array<CharClass, 256> charClass;

// A token keeps at most this many bytes; the rest of a longer one is consumed
// unseen.
constexpr std::size_t kStoredTokenLength = 998;

// Reads the token that starts at or after `position` in the `length` bytes of
// `text` and advances `position` past it. The token is a view of the text, cut
// to its stored length; a NUL byte, which only a "(" or "<" token can hold,
// ends its value (see tokenValue). Returns false, leaving `token` untouched,
// when no token is left.
bool nextToken(const char* text, std::size_t& position, std::size_t length, std::string_view& token);

// The token as a string value: up to its first NUL byte, if any.
std::string_view tokenValue(std::string_view token);

// The number that a "<...>" token spells in hexadecimal; nothing when it holds
// no digit. See the definition for the exact rules.
std::optional<std::uint32_t> hexValue(std::string_view token);

// The decimal number at the start of a token, 0 when there is none.
std::uint32_t decimalValue(std::string_view token);

}  // namespace ortheo
