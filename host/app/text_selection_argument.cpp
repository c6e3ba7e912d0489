#include "app/text_selection_argument.h"

#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

namespace host {
namespace {

std::optional<int> pageNumber(const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

std::optional<std::vector<int>> parsePages(const std::string& text) {
    std::set<int> pages;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        const std::size_t dash = item.find('-');
        const auto first = pageNumber(item.substr(0, dash));
        const auto last = dash == std::string::npos ? first : pageNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first) return std::nullopt;
        for (int page = *first; page <= *last; ++page) pages.insert(page - 1);
    }
    if (pages.empty()) return std::nullopt;
    return std::vector<int>(pages.begin(), pages.end());
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

std::optional<TextSelectionArgument> parseTextSelection(const std::string& text) {
    const std::size_t colon = text.find(':');
    const auto pages = parsePages(text.substr(0, colon));
    if (!pages) return std::nullopt;
    TextSelectionArgument selection{*pages, std::nullopt};
    if (colon != std::string::npos) {
        selection.area = parseArea(text.substr(colon + 1));
        if (!selection.area) return std::nullopt;
    }
    return selection;
}

}  // namespace host
