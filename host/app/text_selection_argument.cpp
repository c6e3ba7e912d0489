#include "app/text_selection_argument.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <variant>

#include "core/counted_noun.h"

namespace host {
namespace {

constexpr const char* kExpectedForm = "expected PAGES[:X0,Y0,X1,Y1], such as 1,3-5:0,0,300,400";

// Either a page range or what is wrong with the text.
using RangeOrProblem = std::variant<PageRange, std::string>;

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A 1-based page number of the document as a 0-based index.
RangeOrProblem pageIndex(const std::string& text, std::size_t pageCount) {
    unsigned long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (number == 0 && error == std::errc()) return std::string("page 0 does not exist: pages count from 1");
    // A number too long for any integer is beyond the document too.
    if (error == std::errc::result_out_of_range || number > pageCount) {
        return "page " + text + " is beyond the document's " + countedNoun(pageCount, "page");
    }
    const int index = static_cast<int>(number - 1);
    return PageRange{index, index};
}

// One item of the list: "N" or "N-M".
RangeOrProblem pageRange(const std::string& item, std::size_t pageCount) {
    const std::size_t dash = item.find('-');
    const std::string firstText = item.substr(0, dash);
    const std::string lastText = dash == std::string::npos ? firstText : item.substr(dash + 1);
    if (!allDigits(firstText) || !allDigits(lastText)) {
        return "\"" + item + "\" is not a page or a range of pages, such as 3 or 3-5";
    }
    RangeOrProblem first = pageIndex(firstText, pageCount);
    if (std::holds_alternative<std::string>(first)) return first;
    RangeOrProblem last = pageIndex(lastText, pageCount);
    if (std::holds_alternative<std::string>(last)) return last;
    const PageRange range{std::get<PageRange>(first).first, std::get<PageRange>(last).last};
    if (range.last < range.first) return "the range " + item + " runs backwards";
    return range;
}

std::variant<std::vector<PageRange>, std::string> parsePages(const std::string& text, std::size_t pageCount) {
    std::vector<PageRange> pages;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        RangeOrProblem range = pageRange(item, pageCount);
        if (auto* problem = std::get_if<std::string>(&range)) return std::move(*problem);
        pages.push_back(std::get<PageRange>(range));
    }
    if (pages.empty() || text.back() == ',') return std::string(kExpectedForm);
    return pages;
}

std::optional<UserRect> parseArea(const std::string& text) {
    double corners[4];
    std::istringstream items(text);
    std::string item;
    for (double& corner : corners) {
        if (!std::getline(items, item, ',')) return std::nullopt;
        std::size_t used = 0;
        try {
            corner = std::stod(item, &used);
        } catch (const std::exception&) {
            return std::nullopt;
        }
        if (used != item.size() || !std::isfinite(corner)) return std::nullopt;
    }
    if (std::getline(items, item)) return std::nullopt;
    return UserRect{corners[0], corners[1], corners[2], corners[3]};
}

}  // namespace

ParsedTextSelection parseTextSelection(const std::string& text, std::size_t pageCount) {
    const std::size_t colon = text.find(':');
    auto pages = parsePages(text.substr(0, colon), pageCount);
    if (auto* problem = std::get_if<std::string>(&pages)) return {std::nullopt, std::move(*problem)};
    TextSelectionArgument selection{std::move(std::get<std::vector<PageRange>>(pages)), std::nullopt};
    if (colon != std::string::npos) {
        selection.area = parseArea(text.substr(colon + 1));
        if (!selection.area) return {std::nullopt, kExpectedForm};
    }
    return {std::move(selection), ""};
}

}  // namespace host
