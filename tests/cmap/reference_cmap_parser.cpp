// The reference CMap parser: each rule written down the obvious way, with
// NUL-terminated token buffers and the C library's conversions.
#include "reference_cmap_parser.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

namespace ortheo::reference {

namespace {

constexpr std::size_t kTokenBufferSize = 1000;
constexpr std::size_t kTokenCapacity = 999;

bool isWhite(unsigned char c) {
    return c == 0x00 || c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

bool isDelimiter(unsigned char c) {
    return c != 0 && std::strchr("%()/<>[]{}", c) != nullptr;
}

// Stores the token at or after *position into `buffer`, keeping its first
// capacity - 1 bytes and consuming the rest.
bool nextToken(const char* text, std::size_t* position, std::size_t length, char* buffer, std::size_t capacity) {
    if (*position >= length) {
        return false;
    }
    std::size_t p = *position;
    bool inComment = false;
    for (;; ++p) {
        if (p >= length) {
            *position = p;
            return false;
        }
        const unsigned char c = static_cast<unsigned char>(text[p]);
        if (inComment) {
            inComment = c != '\r' && c != '\n';
        } else if (c == '%') {
            inComment = true;
        } else if (!isWhite(c)) {
            break;
        }
    }
    std::size_t stored = 0;
    auto store = [&](char c) {
        if (stored + 1 < capacity) {
            buffer[stored++] = c;
        }
    };
    const char first = text[p++];
    store(first);
    if (first == '(') {
        bool escaped = false;
        while (p < length) {
            const char c = text[p++];
            store(c);
            if (c == ')' && !escaped) {
                break;
            }
            escaped = c == '\\';
        }
    } else if (first == '<') {
        while (p < length) {
            const char c = text[p++];
            store(c);
            if (c == '>') {
                break;
            }
        }
    } else if (first != '[' && first != ']') {
        while (p < length && !isWhite(static_cast<unsigned char>(text[p])) &&
               !isDelimiter(static_cast<unsigned char>(text[p]))) {
            store(text[p++]);
        }
    }
    buffer[stored] = '\0';
    *position = p;
    return true;
}

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool isHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Drops the white space that stands between two hexadecimal digits.
void joinDigits(char* text) {
    std::size_t out = 0;
    for (std::size_t in = 0; text[in] != '\0'; ++in) {
        if (isSpace(text[in]) && out > 0 && isHexDigit(text[out - 1])) {
            std::size_t next = in;
            while (isSpace(text[next])) {
                ++next;
            }
            if (isHexDigit(text[next])) {
                in = next - 1;
                continue;
            }
        }
        text[out++] = text[in];
    }
    text[out] = '\0';
}

bool hexValue(const char* token, std::uint32_t* value) {
    char text[kTokenBufferSize];
    std::snprintf(text, sizeof text, "%s", token[0] != '\0' ? token + 1 : token);
    joinDigits(text);
    unsigned int scanned = 0;
    int consumed = 0;
    if (std::sscanf(text, "%x%n", &scanned, &consumed) != 1) {
        return false;
    }
    // sscanf saturates a number too long for its unsigned long; the rule is
    // that only the last eight digits count.
    std::size_t digits = 0;
    while (digits < static_cast<std::size_t>(consumed) && isHexDigit(text[consumed - 1 - digits])) {
        ++digits;
    }
    if (digits > 8) {
        std::sscanf(text + consumed - 8, "%8x", &scanned);
        const char* first = text;
        while (isSpace(*first)) {
            ++first;
        }
        if (*first == '-') {
            scanned = 0u - scanned;
        }
    }
    *value = scanned;
    return true;
}

std::uint32_t decimalValue(const char* token) {
    const char* p = token;
    while (isSpace(*p)) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    std::uint32_t value = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        value = value * 10 + static_cast<std::uint32_t>(*p++ - '0');
    }
    return negative ? 0u - value : value;
}

class ReferenceParser {
public:
    explicit ReferenceParser(std::string_view text) : text_(text.data()), length_(text.size()) {}

    ParsedCMap run() {
        while (next(key_)) {
            if (std::strcmp(key_, "/CMapName") == 0 && !readName(&result_.cmapName)) {
                break;
            }
            if (std::strcmp(key_, "/CMapType") == 0 && !readName(&result_.cmapType)) {
                break;
            }
            if (std::strcmp(key_, "/CIDSystemInfo") == 0 && !readSystemInfo()) {
                break;
            }
            if (readBlock()) {
                next(third_);
            }
        }
        countNotesLeftOut();
        return result_;
    }

private:
    bool next(char* buffer) { return nextToken(text_, &position_, length_, buffer, kTokenCapacity); }

    bool nextInBlock(char* buffer, const char* endKeyword) {
        return next(buffer) && std::strcmp(buffer, endKeyword) != 0;
    }

    // The first 1000 notes are kept; the rest are counted for the last line.
    void note(const char* text) {
        if (++noteCount_ <= 1000) {
            result_.notes += text;
        }
    }

    void countNotesLeftOut() {
        if (noteCount_ <= 1000) {
            return;
        }
        result_.notes += std::to_string(noteCount_ - 1000) + " further notes on this CMap were left out.\n";
    }

    void addMapping(std::uint32_t first, std::uint32_t last, std::uint32_t target) {
        if (target >= 0xD800 && target <= 0xF8FF) {
            target &= 0xFF;
            char text[100];
            std::snprintf(text, sizeof text, "CIDMap in private usage or surrogate area. Trying to use latin1 (0x%x).\n",
                          target);
            note(text);
        }
        result_.mappings.push_back({first, last, target});
    }

    bool readName(std::string* field) {
        if (!next(value_)) {
            note("Illegal CMap name entry block in CMap\n");
            return false;
        }
        *field = value_[0] == '/' ? value_ + 1 : value_;
        return true;
    }

    bool readSystemInfo() {
        if (!next(value_)) {
            note("Illegal entry in CIDSystemInfo block in CMap\n");
            return false;
        }
        std::size_t position = 2;
        const std::size_t length = std::strlen(value_);
        while (nextToken(value_, &position, length, key_, kTokenCapacity) && std::strcmp(key_, ">") != 0) {
            if (!nextToken(value_, &position, length, third_, kTokenCapacity)) {
                note("Illegal entry in CIDSystemInfo block in CMap\n");
                break;
            }
            if (std::strcmp(key_, "/Ordering") == 0) {
                result_.ordering = third_;
            }
        }
        return true;
    }

    bool readBlock() {
        if (std::strcmp(key_, "begincodespacerange") == 0) {
            readCodeSpaceRanges();
        } else if (std::strcmp(key_, "begincidrange") == 0) {
            readCidRanges();
        } else if (std::strcmp(key_, "beginbfchar") == 0) {
            readBfChars();
        } else if (std::strcmp(key_, "beginbfrange") == 0) {
            readBfRanges();
        } else {
            return false;
        }
        return true;
    }

    void readCodeSpaceRanges() {
        const char* end = "endcodespacerange";
        while (nextInBlock(key_, end)) {
            if (!nextInBlock(value_, end)) {
                note("Illegal entry in codespacerange block in CMap\n");
                return;
            }
            std::uint32_t low = 0;
            std::uint32_t high = 0;
            if (key_[0] == '<' && value_[0] == '<' && hexValue(key_, &low) && hexValue(value_, &high)) {
                result_.codeSpaceRanges.push_back({low, high});
            }
        }
    }

    void readCidRanges() {
        const char* end = "endcidrange";
        while (nextInBlock(key_, end)) {
            if (!nextInBlock(value_, end) || !nextInBlock(third_, end)) {
                note("Illegal entry in cidrange block in CMap\n");
                return;
            }
            std::uint32_t low = 0;
            std::uint32_t high = 0;
            if (key_[0] == '<' && value_[0] == '<' && hexValue(key_, &low) && hexValue(value_, &high)) {
                addMapping(low, high, decimalValue(third_));
            }
        }
    }

    void readBfChars() {
        const char* end = "endbfchar";
        while (nextInBlock(key_, end)) {
            if (!nextInBlock(value_, end)) {
                note("Illegal entry in bfchar block in ToUnicode CCIDMap\n");
                return;
            }
            std::uint32_t source = 0;
            std::uint32_t destination = 0;
            if (hexValue(key_, &source) && hexValue(value_, &destination)) {
                addMapping(source, source, destination);
            } else {
                note("Illegal entry in bfchar block in ToUnicode CMap\n");
            }
        }
    }

    void readBfRanges() {
        const char* end = "endbfrange";
        while (nextInBlock(key_, end)) {
            if (!nextInBlock(value_, end) || !nextInBlock(third_, end)) {
                note("Illegal entry in bfchar block in ToUnicode CMap\n");
                return;
            }
            if (std::strcmp(third_, "[") == 0) {
                if (!readDestinationArray(end)) {
                    note("Illegal entry in bfchar block in ToUnicode CMap\n");
                    return;
                }
                continue;
            }
            std::uint32_t low = 0;
            std::uint32_t high = 0;
            std::uint32_t destination = 0;
            if (hexValue(key_, &low) && hexValue(value_, &high) && hexValue(third_, &destination)) {
                addMapping(low, high, destination);
            } else {
                note("Illegal entry in bfchar block in ToUnicode CMap\n");
            }
        }
    }

    // The bounds are in key_ and value_; the elements are read into third_,
    // first to find the "]", then again to map them.
    bool readDestinationArray(const char* end) {
        const std::size_t elementsStart = position_;
        do {
            if (!nextInBlock(third_, end)) {
                return false;
            }
        } while (std::strcmp(third_, "]") != 0);
        const std::size_t arrayEnd = position_;

        std::uint32_t low = 0;
        std::uint32_t high = 0;
        if (!hexValue(key_, &low) || !hexValue(value_, &high)) {
            note("Illegal entry in bfchar block in ToUnicode CMap\n");
            return true;
        }
        position_ = elementsStart;
        bool failed = false;
        for (std::uint64_t code = low; code <= high; ++code) {
            next(third_);
            if (std::strcmp(third_, "]") == 0) {
                break;
            }
            std::uint32_t target = 0;
            if (hexValue(third_, &target)) {
                addMapping(static_cast<std::uint32_t>(code), static_cast<std::uint32_t>(code), target);
            } else {
                failed = true;
            }
        }
        if (failed) {
            note("Illegal entry in bfchar block in ToUnicode CMap\n");
        }
        position_ = arrayEnd;
        return true;
    }

    const char* text_;
    std::size_t length_;
    std::size_t position_ = 0;
    std::uint64_t noteCount_ = 0;
    char key_[kTokenBufferSize] = {};
    char value_[kTokenBufferSize] = {};
    char third_[kTokenBufferSize] = {};
    ParsedCMap result_;
};

std::string capturedNotes;

void captureNote(std::string_view note) {
    capturedNotes.append(note);
}

}  // namespace

ParsedCMap parseWithReference(std::string_view text) {
    return ReferenceParser(text).run();
}

ParsedCMap parseWithEngine(std::string_view text) {
    capturedNotes.clear();
    setCMapNoteSinkForTesting(captureNote);
    CMap cmap;
    cmap.parse(text.data(), text.size());
    setCMapNoteSinkForTesting(nullptr);

    ParsedCMap parsed;
    const auto ranges = cmap.codeSpaceRanges();
    parsed.codeSpaceRanges.assign(ranges.begin(), ranges.end());
    parsed.mappings.assign(cmap.mappings().begin(), cmap.mappings().end());
    parsed.cmapName = cmap.cmapName();
    parsed.cmapType = cmap.cmapType();
    parsed.ordering = cmap.ordering();
    parsed.notes = capturedNotes;
    return parsed;
}

std::string describe(const ParsedCMap& parsed) {
    std::string text = "name [" + parsed.cmapName + "] type [" + parsed.cmapType + "] ordering [" +
                       parsed.ordering + "]\nnotes [" + parsed.notes + "]\n";
    char line[100];
    for (const CodeSpaceRange& range : parsed.codeSpaceRanges) {
        std::snprintf(line, sizeof line, "codespace %" PRIx32 "-%" PRIx32 "\n", range.low, range.high);
        text += line;
    }
    for (const CMapMapping& mapping : parsed.mappings) {
        std::snprintf(line, sizeof line, "map %" PRIx32 "-%" PRIx32 " -> %" PRIx32 "\n", mapping.firstCode,
                      mapping.lastCode, mapping.firstTarget);
        text += line;
    }
    return text;
}

}  // namespace ortheo::reference
