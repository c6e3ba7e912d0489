#include "app/font_codes.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cos/stream_decoding.h"
#include "model/encodings/font_encoding.h"
#include "model/encodings/glyph_list.h"
#include "tabulorum/pdf/pdf_cmap.h"

namespace host {
namespace {

// Where Debian's Ghostscript keeps the predefined CMaps, one folder per version.
constexpr const char* kGhostscriptFolder = "/usr/share/ghostscript";

// A predefined CMap names another to start from at most this many times.
constexpr int kMostUseCMaps = 4;

// The largest predefined CMap file read: the largest of Ghostscript's is
// about 300 KB.
constexpr std::uintmax_t kLargestCMapFile = 4 << 20;

constexpr std::array<std::string_view, 2> kTwoByteNames = {"Identity-H", "Identity-V"};

std::uint8_t bytesFor(std::uint32_t value) {
    std::uint8_t bytes = 1;
    while (bytes < 4 && (value >> (8 * bytes)) != 0) ++bytes;
    return bytes;
}

std::string cmapText(QPDFObjectHandle stream) { return decodeAtMost(stream, kLargestStreamRead).data; }

// The CMap engine's reading of a CMap text.
ortheo::CMap parsedCMap(const std::string& text) {
    ortheo::CMap cmap;
    cmap.parse(text.data(), text.size());
    return cmap;
}

bool isPlainCMapName(std::string_view name) {
    return !name.empty() && name.size() < 64 && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    });
}

// The text of a predefined CMap from Ghostscript's resources; empty when
// it is not there.
std::string predefinedCMapText(std::string_view name) {
    if (!isPlainCMapName(name)) return {};
    std::error_code failed;
    for (const auto& version : std::filesystem::directory_iterator(kGhostscriptFolder, failed)) {
        const std::filesystem::path file = version.path() / "Resource" / "CMap" / std::string(name);
        const std::uintmax_t size = std::filesystem::file_size(file, failed);
        if (failed || size > kLargestCMapFile) continue;
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return {};
}

// The name a CMap text starts from ("/90ms-RKSJ-H usecmap"); empty without one.
std::string usedCMapName(const std::string& text) {
    const std::size_t keyword = text.find("usecmap");
    if (keyword == std::string::npos) return {};
    const std::size_t slash = text.rfind('/', keyword);
    if (slash == std::string::npos) return {};
    std::string name = text.substr(slash + 1, keyword - slash - 1);
    name.erase(name.find_last_not_of(" \t\r\n") + 1);
    return name;
}

// The code-space ranges of a predefined CMap, through the ones it uses.
std::vector<ortheo::CodeSpaceRange> predefinedCodeSpace(std::string name) {
    for (int step = 0; step <= kMostUseCMaps && !name.empty(); ++step) {
        const std::string text = predefinedCMapText(name);
        if (text.empty()) return {};
        const ortheo::CMap cmap = parsedCMap(text);
        if (!cmap.codeSpaceRanges().empty()) return {cmap.codeSpaceRanges().begin(), cmap.codeSpaceRanges().end()};
        name = usedCMapName(text);
    }
    return {};
}

std::string nameWithoutSlash(QPDFObjectHandle name) { return name.isName() ? name.getName().substr(1) : ""; }

}  // namespace

bool isUnicodeCMapName(std::string_view name) {
    if (!name.starts_with("Uni")) return false;
    for (const std::string_view form : {"-UCS2-", "-UTF16-", "-UTF32-", "-UTF8-"}) {
        if (name.find(form) != std::string_view::npos) return true;
    }
    return false;
}

CodeReader::CodeReader(QPDFObjectHandle font) {
    if (!isMultiByte(font)) return;
    QPDFObjectHandle encoding = font.getKey("/Encoding");
    const std::string name = encoding.isStream() ? "" : nameWithoutSlash(encoding);
    std::vector<ortheo::CodeSpaceRange> space;
    if (name.find("-UTF16-") != std::string::npos) {
        ranges_ = {{0, 0xD7FF, 2}, {0xE000, 0xFFFF, 2}, {0xD800DC00, 0xDBFFDFFF, 4}};
    } else if (name.find("-UTF32-") != std::string::npos) {
        ranges_ = {{0, 0x10FFFF, 4}};
    } else if (name.find("-UTF8-") != std::string::npos) {
        ranges_ = {{0, 0x7F, 1}, {0xC280, 0xDFBF, 2}, {0xE0A080, 0xEFBFBF, 3}, {0xF0908080, 0xF48FBFBF, 4}};
    } else if (encoding.isStream()) {
        const ortheo::CMap cmap = parsedCMap(cmapText(encoding));
        space.assign(cmap.codeSpaceRanges().begin(), cmap.codeSpaceRanges().end());
    } else if (std::find(kTwoByteNames.begin(), kTwoByteNames.end(), name) == kTwoByteNames.end() &&
               name.find("-UCS2-") == std::string::npos) {
        space = predefinedCodeSpace(name);
    }
    for (const ortheo::CodeSpaceRange& range : space) {
        ranges_.push_back({range.low, range.high, bytesFor(std::max(range.low, range.high))});
    }
    if (ranges_.empty()) ranges_ = {{0, 0xFFFF, 2}};
    shortest_ = 4;
    for (const Range& range : ranges_) shortest_ = std::min(shortest_, range.bytes);
}

std::vector<DrawnCode> CodeReader::split(std::string_view shown) const {
    std::vector<DrawnCode> codes;
    std::size_t at = 0;
    while (at < shown.size()) {
        DrawnCode code{static_cast<unsigned char>(shown[at]), 1};
        bool matched = ranges_.empty();
        for (std::uint8_t bytes = 1; !matched && bytes <= 4 && at + bytes <= shown.size(); ++bytes) {
            if (bytes > 1) code.value = (code.value << 8) | static_cast<unsigned char>(shown[at + bytes - 1]);
            code.bytes = bytes;
            matched = std::any_of(ranges_.begin(), ranges_.end(), [&](const Range& range) {
                return range.bytes == bytes && range.low <= code.value && code.value <= range.high;
            });
        }
        if (!matched) {
            // Outside every range: the shortest range's length is taken, as
            // readers skip such bytes.
            if (at + shortest_ > shown.size()) break;
            code = {0, shortest_};
            for (std::uint8_t i = 0; i < shortest_; ++i) code.value = (code.value << 8) | static_cast<unsigned char>(shown[at + i]);
        }
        codes.push_back(code);
        at += code.bytes;
    }
    return codes;
}

bool ToUnicodeSummary::maps(std::uint32_t code) const {
    const auto after = std::upper_bound(mapped.begin(), mapped.end(), code,
                                        [](std::uint32_t value, const auto& range) { return value < range.first; });
    return after != mapped.begin() && code <= std::prev(after)->second;
}

std::shared_ptr<const ToUnicodeSummary> readToUnicode(QPDFObjectHandle font) {
    QPDFObjectHandle stream = font.getKey("/ToUnicode");
    if (!stream.isStream()) return nullptr;
    const ortheo::CMap cmap = parsedCMap(cmapText(stream));
    ToUnicodeSummary summary;
    summary.privateUse = cmap.privateUseCodes();
    for (const ortheo::CMapMapping& mapping : cmap.mappings()) {
        if (mapping.lastCode < mapping.firstCode) continue;
        summary.mappings += std::uint64_t{mapping.lastCode} - mapping.firstCode + 1;
        summary.mapped.emplace_back(mapping.firstCode, mapping.lastCode);
    }
    std::sort(summary.mapped.begin(), summary.mapped.end());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> joined;
    for (const auto& range : summary.mapped) {
        if (!joined.empty() && range.first <= std::uint64_t{joined.back().second} + 1) {
            joined.back().second = std::max(joined.back().second, range.second);
        } else {
            joined.push_back(range);
        }
    }
    summary.mapped = std::move(joined);
    return std::make_shared<const ToUnicodeSummary>(std::move(summary));
}

UnicodeOracle::UnicodeOracle(QPDFObjectHandle font, const ProgramFacts& program,
                             std::shared_ptr<const ToUnicodeSummary> toUnicode)
    : toUnicode_(std::move(toUnicode)) {
    if (isMultiByte(font)) {
        unicodeCMap_ = isUnicodeCMapName(encodingName(font).value_or(""));
        unknown_ = !unicodeCMap_ && !toUnicode_;
        return;
    }
    const auto names = encodings::fontCodeNames(font, [&] { return program.builtInEncoding; });
    namedCodes_.assign(256, false);
    if (!names) return;
    for (std::size_t code = 0; code < names->size(); ++code) {
        namedCodes_[code] = !(*names)[code].empty() && !encodings::unicodeOfGlyphName((*names)[code]).empty();
    }
}

UnicodeAnswer UnicodeOracle::of(std::uint32_t code) const {
    if (unknown_) return UnicodeAnswer::unknown;
    if (toUnicode_ && toUnicode_->maps(code)) return UnicodeAnswer::yes;
    if (unicodeCMap_) return UnicodeAnswer::yes;
    if (code < namedCodes_.size() && namedCodes_[code]) return UnicodeAnswer::yes;
    return UnicodeAnswer::no;
}

}  // namespace host
