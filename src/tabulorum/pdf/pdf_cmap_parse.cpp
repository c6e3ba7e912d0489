// The CMap parser: a single forward scan over PostScript-like tokens that
// picks out a fixed set of keywords and reads a fixed number of tokens after
// each. It is not a PostScript interpreter; every other token passes
// unexamined. Tokens are views of the text, so a parse allocates nothing but
// the model's own storage.
#include <algorithm>
#include <cstring>

#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {

namespace {

constexpr CharClass R = CharClass::regular;
constexpr CharClass W = CharClass::whiteSpace;
constexpr CharClass D = CharClass::delimiter;

}  // namespace

// White space: NUL HT LF FF CR SP. Delimiters: % ( ) / < > [ ] { }.
const std::array<CharClass, 256> charClass = {
    W, R, R, R, R, R, R, R, R, W, W, R, W, W, R, R,  // 0x00
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0x10
    W, R, R, R, R, D, R, R, D, D, R, R, R, R, R, D,  // 0x20  SP % ( ) /
    R, R, R, R, R, R, R, R, R, R, R, R, D, R, D, R,  // 0x30  < >
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0x40
    R, R, R, R, R, R, R, R, R, R, R, D, R, D, R, R,  // 0x50  [ ]
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0x60
    R, R, R, R, R, R, R, R, R, R, R, D, R, D, R, R,  // 0x70  { }
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0x80
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0x90
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0xA0
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0xB0
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0xC0
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0xD0
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0xE0
    R, R, R, R, R, R, R, R, R, R, R, R, R, R, R, R,  // 0xF0
};

namespace {

// --- Notes -----------------------------------------------------------------

// Each note is one line of its own.
constexpr std::string_view kBadNameNote = "Illegal CMap name entry block in CMap\n";
constexpr std::string_view kBadSystemInfoNote = "Illegal entry in CIDSystemInfo block in CMap\n";
constexpr std::string_view kBadCodeSpaceRangeNote = "Illegal entry in codespacerange block in CMap\n";
constexpr std::string_view kBadCidRangeNote = "Illegal entry in cidrange block in CMap\n";
constexpr std::string_view kMissingBfCharTokenNote = "Illegal entry in bfchar block in ToUnicode CCIDMap\n";
// Written for every bad bfchar or bfrange entry but a bfchar with a token
// missing.
constexpr std::string_view kBadBfEntryNote = "Illegal entry in bfchar block in ToUnicode CMap\n";

// --- Characters --------------------------------------------------------------

bool isWhiteSpace(unsigned char c) {
    return charClass[c] == CharClass::whiteSpace;
}

bool isRegular(unsigned char c) {
    return charClass[c] == CharClass::regular;
}

// The white space of the number conversions, as the C library's isspace in
// the "C" locale: HT LF VT FF CR SP. Unlike the tokenizer's, it has VT and
// lacks NUL, which ends a stored token.
bool isNumberSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr std::array<std::int8_t, 256> makeHexDigitValues() {
    std::array<std::int8_t, 256> values{};
    for (int c = 0; c < 256; ++c) {
        values[c] = c >= '0' && c <= '9'   ? static_cast<std::int8_t>(c - '0')
                    : c >= 'a' && c <= 'f' ? static_cast<std::int8_t>(c - 'a' + 10)
                    : c >= 'A' && c <= 'F' ? static_cast<std::int8_t>(c - 'A' + 10)
                                           : std::int8_t{-1};
    }
    return values;
}

// The value of each hexadecimal digit, -1 for every other byte.
constexpr std::array<std::int8_t, 256> kHexDigitValue = makeHexDigitValues();

int hexDigitValue(char c) {
    return kHexDigitValue[static_cast<unsigned char>(c)];
}

// --- Tokenizer pieces ----------------------------------------------------------

// The position after a comment that starts at `position`: past the next CR
// or LF, or the text's end.
std::size_t endOfComment(const char* text, std::size_t position, std::size_t length) {
    while (position < length && text[position] != '\r' && text[position] != '\n') {
        ++position;
    }
    return position < length ? position + 1 : length;
}

// The position of the first byte that is neither white space nor inside a
// comment, or `length`.
std::size_t skipWhiteSpaceAndComments(const char* text, std::size_t position, std::size_t length) {
    while (position < length) {
        const unsigned char c = static_cast<unsigned char>(text[position]);
        if (isWhiteSpace(c)) {
            ++position;
        } else if (c == '%') {
            position = endOfComment(text, position, length);
        } else {
            break;
        }
    }
    return position;
}

// The end of a "(" token that opened just before `position`: past the first
// ")" that does not directly follow a backslash. Escapes stay as written and
// parentheses do not nest.
std::size_t endOfStringToken(const char* text, std::size_t position, std::size_t length) {
    while (position < length) {
        const void* found = std::memchr(text + position, ')', length - position);
        if (found == nullptr) {
            return length;
        }
        const std::size_t close = static_cast<std::size_t>(static_cast<const char*>(found) - text);
        if (text[close - 1] != '\\') {
            return close + 1;
        }
        position = close + 1;
    }
    return length;
}

// The end of a "<" token: past the first ">", white space included. A "<<"
// dictionary therefore ends at its first ">".
std::size_t endOfHexToken(const char* text, std::size_t position, std::size_t length) {
    while (position < length && text[position] != '>') {
        ++position;
    }
    return position < length ? position + 1 : length;
}

// The end of a token of regular bytes: the first white-space or delimiter
// byte, which stays unread.
std::size_t endOfRegularToken(const char* text, std::size_t position, std::size_t length) {
    while (position < length && isRegular(static_cast<unsigned char>(text[position]))) {
        ++position;
    }
    return position;
}

// The end of the token whose first byte lies just before `afterFirst`.
inline std::size_t endOfToken(const char* text, std::size_t afterFirst, std::size_t length) {
    switch (text[afterFirst - 1]) {
    case '(':
        return endOfStringToken(text, afterFirst, length);
    case '<':
        return endOfHexToken(text, afterFirst, length);
    case '[':
    case ']':
        return afterFirst;
    default:
        return endOfRegularToken(text, afterFirst, length);
    }
}

// The tokenizer proper. The parser's loops call it for every token, so it is
// inlined into them whatever the optimisation level.
[[gnu::always_inline]] inline bool readToken(const char* text, std::size_t& position, std::size_t length, std::string_view& token) {
    const std::size_t start = skipWhiteSpaceAndComments(text, position, length);
    if (start >= length) {
        return false;
    }
    const std::size_t end = endOfToken(text, start + 1, length);
    position = end;
    token = std::string_view(text + start, std::min(end - start, kStoredTokenLength));
    return true;
}

}  // namespace

bool nextToken(const char* text, std::size_t& position, std::size_t length, std::string_view& token) {
    return readToken(text, position, length, token);
}

std::string_view tokenValue(std::string_view token) {
    return token.substr(0, token.find('\0'));
}

namespace {

// The common case of a hexadecimal token: digits right after the first
// character, up to the ">" that ends the token. Nothing when the token needs
// the full reading of hexValue (no digit there, or another byte after them).
std::optional<std::uint32_t> plainHexValue(const char* p, const char* end) {
    if (p == end || end[-1] != '>') {
        return std::nullopt;
    }
    // The closing ">" stops the digits before the token's end.
    const char* const digits = p;
    std::uint32_t value = 0;
    for (int digit = hexDigitValue(*p); digit >= 0; digit = hexDigitValue(*++p)) {
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    if (p == digits || *p != '>') {
        return std::nullopt;
    }
    return value;
}

// The full reading: white space skipped, an optional sign, an optional 0x or
// 0X whose 0 counts as a digit, then digits; white space between two digits
// is skipped too, as hexadecimal strings allow it.
std::optional<std::uint32_t> fullHexValue(const char* p, const char* end) {
    while (p < end && isNumberSpace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) {
        ++p;
    }
    bool sawDigit = false;
    if (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        p += 2;
        sawDigit = true;
    }
    std::uint32_t value = 0;
    bool inDigits = false;
    while (p < end) {
        const int digit = hexDigitValue(*p);
        if (digit >= 0) {
            value = (value << 4) | static_cast<std::uint32_t>(digit);
            inDigits = true;
            ++p;
            continue;
        }
        if (!inDigits || !isNumberSpace(static_cast<unsigned char>(*p))) {
            break;
        }
        const char* next = p;
        while (next < end && isNumberSpace(static_cast<unsigned char>(*next))) {
            ++next;
        }
        if (next == end || hexDigitValue(*next) < 0) {
            break;
        }
        p = next;
    }
    if (!sawDigit && !inDigits) {
        return std::nullopt;
    }
    return negative ? 0u - value : value;
}

// The hexadecimal conversion, inlined into the parser's loops like readToken.
[[gnu::always_inline]] inline std::optional<std::uint32_t> readHexValue(std::string_view token) {
    if (token.empty()) {
        return std::nullopt;
    }
    const char* const digits = token.data() + 1;
    const char* const end = token.data() + token.size();
    if (const auto value = plainHexValue(digits, end)) {
        return value;
    }
    return fullHexValue(digits, end);
}

}  // namespace

// Reads the token after its first character (in a CMap the "<", never looked
// at) the way the C library's "%x" conversion does, with one mend: white
// space between two digits is skipped. A minus negates modulo 2^32; each
// digit shifts four bits in, so only the last eight count; a NUL ends the
// token. Fails when there is no digit.
std::optional<std::uint32_t> hexValue(std::string_view token) {
    return readHexValue(token);
}

// Leading white space, an optional sign, then decimal digits; 0 without any.
// The value wraps modulo 2^32 (a minus negates modulo 2^32), so a long number
// keeps its low 32 bits instead of overflowing.
std::uint32_t decimalValue(std::string_view token) {
    const char* p = token.data();
    const char* const end = token.data() + token.size();
    while (p < end && isNumberSpace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    const bool negative = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) {
        ++p;
    }
    std::uint32_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<std::uint32_t>(*p - '0');
    }
    return negative ? 0u - value : value;
}

namespace {

// --- Reading the text --------------------------------------------------------

class TokenReader {
public:
    TokenReader(const char* text, std::size_t length, std::size_t position = 0)
        : text_(text), length_(length), position_(position) {}

    bool next(std::string_view& token) { return readToken(text_, position_, length_, token); }

    void skip() {
        std::string_view discarded;
        next(discarded);
    }

    // Reads a token of a block's entry; false when the text ends or the token
    // is the block's end keyword.
    bool nextInBlock(std::string_view& token, std::string_view endKeyword) {
        return next(token) && token != endKeyword;
    }

private:
    const char* text_;
    std::size_t length_;
    std::size_t position_;
};

bool isHexString(std::string_view token) {
    return token.front() == '<';
}

// --- The four blocks -----------------------------------------------------------

struct Block;
using BlockReader = void (*)(TokenReader& reader, CMap& cmap, const Block& block);

struct Block {
    std::string_view beginKeyword;
    std::string_view endKeyword;
    BlockReader read;
    std::string_view missingTokenNote;
};

void readCodeSpaceRanges(TokenReader& reader, CMap& cmap, const Block& block) {
    std::string_view low;
    std::string_view high;
    while (reader.nextInBlock(low, block.endKeyword)) {
        if (!reader.nextInBlock(high, block.endKeyword)) {
            writeCMapNote(block.missingTokenNote);
            return;
        }
        if (!isHexString(low) || !isHexString(high)) {
            continue;
        }
        const auto lowValue = readHexValue(low);
        const auto highValue = readHexValue(high);
        if (lowValue && highValue) {
            cmap.addCodeSpaceRange(*lowValue, *highValue);
        }
    }
}

void readCidRanges(TokenReader& reader, CMap& cmap, const Block& block) {
    std::string_view low;
    std::string_view high;
    std::string_view cid;
    while (reader.nextInBlock(low, block.endKeyword)) {
        if (!reader.nextInBlock(high, block.endKeyword) || !reader.nextInBlock(cid, block.endKeyword)) {
            writeCMapNote(block.missingTokenNote);
            return;
        }
        if (!isHexString(low) || !isHexString(high)) {
            continue;
        }
        const auto lowValue = readHexValue(low);
        const auto highValue = readHexValue(high);
        if (lowValue && highValue) {
            cmap.addMapping(*lowValue, *highValue, decimalValue(cid));
        }
    }
}

void readBfChars(TokenReader& reader, CMap& cmap, const Block& block) {
    std::string_view source;
    std::string_view destination;
    while (reader.nextInBlock(source, block.endKeyword)) {
        if (!reader.nextInBlock(destination, block.endKeyword)) {
            writeCMapNote(block.missingTokenNote);
            return;
        }
        const auto sourceValue = readHexValue(source);
        const auto destinationValue = sourceValue ? readHexValue(destination) : std::nullopt;
        if (!destinationValue) {
            writeCMapNote(kBadBfEntryNote);
            continue;
        }
        cmap.addMapping(*sourceValue, *sourceValue, *destinationValue);
    }
}

// Maps code low + i to the i-th string of a destination array, one
// single-code mapping each; strings past the range's end are not looked at.
// A string that fails to convert leaves its code unmapped, while the strings
// after it keep their codes; the entry is noted once, however many fail.
// Bounds that fail to convert are noted once and add nothing.
void addArrayDestinations(TokenReader elements, CMap& cmap, std::string_view low, std::string_view high) {
    const auto lowValue = readHexValue(low);
    const auto highValue = lowValue ? readHexValue(high) : std::nullopt;
    if (!highValue) {
        writeCMapNote(kBadBfEntryNote);
        return;
    }
    const std::uint64_t codeCount = *highValue >= *lowValue ? std::uint64_t{*highValue} - *lowValue + 1 : 0;
    std::string_view element;
    bool failed = false;
    for (std::uint64_t i = 0; i < codeCount && elements.next(element) && element != "]"; ++i) {
        const auto target = readHexValue(element);
        if (!target) {
            failed = true;
            continue;
        }
        const auto code = static_cast<std::uint32_t>(*lowValue + i);
        cmap.addMapping(code, code, *target);
    }
    if (failed) {
        writeCMapNote(kBadBfEntryNote);
    }
}

// Reads a destination array up to its "]", then adds its mappings. An array
// that the block's end or the text's end cuts short is a missing token: the
// answer is false and nothing of the entry is added.
bool readDestinationArray(TokenReader& reader, CMap& cmap, std::string_view low, std::string_view high,
                          const Block& block) {
    const TokenReader elements = reader;  // for the second look, once "]" is found
    std::string_view element;
    do {
        if (!reader.nextInBlock(element, block.endKeyword)) {
            return false;
        }
    } while (element != "]");
    addArrayDestinations(elements, cmap, low, high);
    return true;
}

void readBfRanges(TokenReader& reader, CMap& cmap, const Block& block) {
    std::string_view low;
    std::string_view high;
    std::string_view destination;
    while (reader.nextInBlock(low, block.endKeyword)) {
        if (!reader.nextInBlock(high, block.endKeyword) || !reader.nextInBlock(destination, block.endKeyword)) {
            writeCMapNote(block.missingTokenNote);
            return;
        }
        if (destination == "[") {
            if (!readDestinationArray(reader, cmap, low, high, block)) {
                writeCMapNote(block.missingTokenNote);
                return;
            }
            continue;
        }
        const auto lowValue = readHexValue(low);
        const auto highValue = lowValue ? readHexValue(high) : std::nullopt;
        const auto destinationValue = highValue ? readHexValue(destination) : std::nullopt;
        if (!destinationValue) {
            writeCMapNote(kBadBfEntryNote);
            continue;
        }
        cmap.addMapping(*lowValue, *highValue, *destinationValue);
    }
}

constexpr Block kBlocks[] = {
    {"begincodespacerange", "endcodespacerange", readCodeSpaceRanges, kBadCodeSpaceRangeNote},
    {"begincidrange", "endcidrange", readCidRanges, kBadCidRangeNote},
    {"beginbfchar", "endbfchar", readBfChars, kMissingBfCharTokenNote},
    {"beginbfrange", "endbfrange", readBfRanges, kBadBfEntryNote},
};

const Block* findBlock(std::string_view keyword) {
    for (const Block& block : kBlocks) {
        if (keyword == block.beginKeyword) {
            return &block;
        }
    }
    return nullptr;
}

// --- Keys outside the blocks ---------------------------------------------------

// Reads the value of /CMapName or /CMapType into `field`, without a leading
// "/". False, with a note, when the text has no token left.
bool readNameValue(TokenReader& reader, std::string& field) {
    std::string_view value;
    if (!reader.next(value)) {
        writeCMapNote(kBadNameNote);
        return false;
    }
    value = tokenValue(value);
    if (value.starts_with('/')) {
        value.remove_prefix(1);
    }
    field.assign(value);
    return true;
}

// Scans the dictionary token after /CIDSystemInfo, past its "<<", for its
// /Ordering. The dictionary's keys are read into `key`, so the last one read
// is what the keyword scan tests next. False, with a note, when the text has
// no token left for the dictionary.
bool readSystemInfo(TokenReader& reader, std::string_view& key, std::string& ordering) {
    std::string_view value;
    if (!reader.next(value)) {
        writeCMapNote(kBadSystemInfoNote);
        return false;
    }
    const std::string_view dictionary = tokenValue(value);
    TokenReader entries(dictionary.data(), dictionary.size(), 2);
    while (entries.next(key) && key != ">") {
        std::string_view entryValue;
        if (!entries.next(entryValue)) {
            writeCMapNote(kBadSystemInfoNote);
            break;
        }
        if (key == "/Ordering") {
            ordering.assign(tokenValue(entryValue));
        }
    }
    return true;
}

}  // namespace

// The keyword scan. A parse stops early only when /CMapName, /CMapType or
// /CIDSystemInfo is the text's last token. After each block one token is
// discarded unread: in a well-formed CMap, the count before the next begin
// keyword or the endcmap operator.
bool CMap::parse(const char* text, std::size_t length) {
    CMapNoteBatch notes;
    TokenReader reader(text, length);
    std::string_view key;
    while (reader.next(key)) {
        if (key == "/CMapName" && !readNameValue(reader, cmapName_)) {
            return true;
        }
        if (key == "/CMapType" && !readNameValue(reader, cmapType_)) {
            return true;
        }
        if (key == "/CIDSystemInfo" && !readSystemInfo(reader, key, ordering_)) {
            return true;
        }
        if (const Block* block = findBlock(key)) {
            block->read(reader, *this, *block);
            reader.skip();
        }
    }
    return true;
}

}  // namespace ortheo
