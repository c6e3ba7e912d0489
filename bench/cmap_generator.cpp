// The benchmark's CMap generator, seeded with its own pseudo-random sequence
// so that every run parses the same text.
#include "cmap_generator.h"

#include <cstdio>

namespace ortheo::bench {

namespace {

constexpr const char* kHeader =
    "/CIDInit /ProcSet findresource begin\n"
    "12 dict begin\n"
    "begincmap\n"
    "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
    "/CMapName /Adobe-Identity-UCS def\n"
    "/CMapType 2 def\n"
    "1 begincodespacerange\n"
    "<0000> <FFFF>\n"
    "endcodespacerange\n";

constexpr const char* kTrailer =
    "endcmap\n"
    "CMapName currentdict /CMap defineresource pop\n"
    "end\n"
    "end\n";

constexpr int kEntriesPerBlock = 100;

// The longest block: 100 range entries of two codes and a two-unit target.
constexpr std::size_t kLongestBlock = 20 + kEntriesPerBlock * 26 + 12;

// splitmix64: small, fast and the same on every platform.
class Sequence {
public:
    explicit Sequence(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>(next() % bound); }

private:
    std::uint64_t state_;
};

// A target below the surrogate area; one in eight is a pair of units, as for
// a ligature.
void appendTarget(std::string& text, Sequence& sequence) {
    char target[16];
    if (sequence.below(8) == 0) {
        std::snprintf(target, sizeof target, "<%04X%04X>", 0x20 + sequence.below(0x60), 0x20 + sequence.below(0x60));
    } else {
        std::snprintf(target, sizeof target, "<%04X>", 0x20 + sequence.below(0xD000));
    }
    text += target;
}

void appendBfCharBlock(std::string& text, Sequence& sequence) {
    text += "100 beginbfchar\n";
    char code[16];
    for (int i = 0; i < kEntriesPerBlock; ++i) {
        std::snprintf(code, sizeof code, "<%04X> ", sequence.below(0x10000));
        text += code;
        appendTarget(text, sequence);
        text += '\n';
    }
    text += "endbfchar\n";
}

void appendBfRangeBlock(std::string& text, Sequence& sequence) {
    text += "100 beginbfrange\n";
    char codes[32];
    for (int i = 0; i < kEntriesPerBlock; ++i) {
        const std::uint32_t low = sequence.below(0xFF00);
        std::snprintf(codes, sizeof codes, "<%04X> <%04X> ", low, low + sequence.below(0x100));
        text += codes;
        appendTarget(text, sequence);
        text += '\n';
    }
    text += "endbfrange\n";
}

// Pads the text to `size` bytes with a comment line, or with spaces when
// there is no room for one.
void padTo(std::string& text, std::size_t size) {
    const std::size_t missing = size - text.size();
    if (missing >= 2) {
        text += '%';
        text.append(missing - 2, '-');
        text += '\n';
    } else {
        text.append(missing, ' ');
    }
}

}  // namespace

std::string generateToUnicodeCMap(std::size_t size, std::uint64_t seed) {
    Sequence sequence(seed);
    std::string text;
    text.reserve(size);
    text += kHeader;
    const std::size_t room = std::char_traits<char>::length(kTrailer) + kLongestBlock;
    for (int block = 0; text.size() + room <= size; ++block) {
        if (block % 2 == 0) {
            appendBfCharBlock(text, sequence);
        } else {
            appendBfRangeBlock(text, sequence);
        }
    }
    text += kTrailer;
    if (text.size() < size) {
        padTo(text, size);
    }
    return text;
}

}  // namespace ortheo::bench
