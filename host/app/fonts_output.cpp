#include "app/fonts_output.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

#include "core/counted_noun.h"

namespace host {
namespace {

using Cells = std::vector<std::string>;

const Cells kFactHeaders = {"name", "type", "encoding", "emb", "sub", "prot", "uni", "maps", "pua", "object", "pages"};
const Cells kCodeHeaders = {"codes", "no-uni", "examples"};

std::string yesNo(bool value) { return value ? "yes" : "no"; }

// A name for a line of text: control bytes, a line end among them, are
// written as in a PDF name (#0A), so that no name of a document can break
// a row or forge a verdict line.
std::string printable(const std::string& name) {
    std::string text;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            text += c;
            continue;
        }
        std::array<char, 4> escaped{};
        std::snprintf(escaped.data(), escaped.size(), "#%02X", byte);
        text += escaped.data();
    }
    return text;
}

std::string typeOf(const FontRow& row) {
    std::string type = row.attributes.type.value_or("?");
    if (row.attributes.cidType) type += "/" + *row.attributes.cidType;
    return type;
}

// A code as its bytes in hexadecimal: "<0041>".
std::string hexCode(const DrawnCode& code) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "<%0*X>", 2 * code.bytes, code.value);
    return text.data();
}

std::string countOrDash(const std::shared_ptr<const ToUnicodeSummary>& map, std::uint64_t ToUnicodeSummary::*count) {
    return map ? std::to_string((*map).*count) : "-";
}

std::string examplesText(const CodeUse& codes) {
    std::string text;
    for (const CodeExample& example : codes.examples) {
        if (!text.empty()) text += ' ';
        text += hexCode(example.code) + "@p" + std::to_string(example.page + 1);
    }
    return text;
}

Cells rowCells(const FontRow& row, bool withCodes) {
    Cells cells = {printable(row.attributes.name),
                   typeOf(row),
                   row.attributes.encoding.value_or("Custom"),
                   yesNo(row.embedded),
                   yesNo(row.subset),
                   yesNo(row.attributes.protection != 0),
                   yesNo(row.toUnicode != nullptr),
                   countOrDash(row.toUnicode, &ToUnicodeSummary::mappings),
                   countOrDash(row.toUnicode, &ToUnicodeSummary::privateUse),
                   row.object.empty() ? "direct" : row.object,
                   row.pages.empty() ? "-" : compactPages(row.pages)};
    if (!withCodes) return cells;
    cells.push_back(std::to_string(row.codes.distinct));
    cells.push_back(row.codes.unknown ? "unknown" : std::to_string(row.codes.withoutUnicode));
    cells.push_back(examplesText(row.codes));
    return cells;
}

// Each cell padded to its column's width, the last one left as it is.
std::string tableLine(const Cells& cells, const std::vector<std::size_t>& widths) {
    std::string line;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (column > 0) line += ' ';
        line += cells[column];
        if (column + 1 < cells.size()) line.append(widths[column] - cells[column].size(), ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    return line + "\n";
}

// The pages of the first codes without Unicode, as the check names them.
std::string firstPages(const FontRow& row) {
    std::set<int> pages;
    for (const CodeExample& example : row.codes.examples) pages.insert(example.page);
    std::vector<PageRange> ranges;
    for (const int page : pages) ranges.push_back({page, page});
    return compactPages(joinedPageRanges(std::move(ranges)));
}

std::string fontAndObject(const FontRow& row) { return printable(fontNameAndObject(row.dict)); }

nlohmann::ordered_json pagesJson(const std::vector<PageRange>& pages) {
    nlohmann::ordered_json ranges = nlohmann::ordered_json::array();
    for (const PageRange& range : pages) ranges.push_back({range.first + 1, range.last + 1});
    return ranges;
}

nlohmann::ordered_json codesJson(const CodeUse& codes) {
    nlohmann::ordered_json examples = nlohmann::ordered_json::array();
    for (const CodeExample& example : codes.examples) {
        const std::string hex = hexCode(example.code);
        examples.push_back({{"code", hex.substr(1, hex.size() - 2)}, {"page", example.page + 1}});
    }
    nlohmann::ordered_json json;
    json["distinct"] = codes.distinct;
    json["withoutUnicode"] = codes.unknown ? nlohmann::ordered_json() : nlohmann::ordered_json(codes.withoutUnicode);
    json["unicode"] = codes.unknown ? "unknown" : codes.withoutUnicode == 0 ? "complete" : "incomplete";
    json["examples"] = std::move(examples);
    return json;
}

nlohmann::ordered_json optionalText(const std::optional<std::string>& text) {
    return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json();
}

nlohmann::ordered_json fontJson(const FontRow& row, bool withCodes) {
    nlohmann::ordered_json json;
    json["object"] = row.object.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(row.object);
    json["name"] = row.attributes.name;
    json["subset"] = row.subset;
    json["type"] = optionalText(row.attributes.type);
    json["cidType"] = optionalText(row.attributes.cidType);
    json["encoding"] = optionalText(row.attributes.encoding);
    json["embedded"] = row.embedded;
    json["protection"] = row.attributes.protection;
    json["toUnicode"] = row.toUnicode ? nlohmann::ordered_json{{"mappings", row.toUnicode->mappings},
                                                               {"privateUse", row.toUnicode->privateUse}}
                                      : nlohmann::ordered_json();
    json["pages"] = pagesJson(row.pages);
    if (withCodes) json["codes"] = codesJson(row.codes);
    return json;
}

nlohmann::ordered_json fontNames(const std::vector<const FontRow*>& rows) {
    nlohmann::ordered_json names = nlohmann::ordered_json::array();
    for (const FontRow* row : rows) {
        names.push_back({{"object", row->object.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(row->object)},
                         {"name", row->attributes.name}});
    }
    return names;
}

}  // namespace

std::string fontTable(const FontListing& listing) {
    Cells headers = kFactHeaders;
    if (listing.codesWalked) headers.insert(headers.end(), kCodeHeaders.begin(), kCodeHeaders.end());
    std::vector<Cells> lines;
    for (const FontRow& row : listing.fonts) lines.push_back(rowCells(row, listing.codesWalked));
    std::vector<std::size_t> widths;
    for (const std::string& header : headers) widths.push_back(header.size());
    for (const Cells& cells : lines) {
        for (std::size_t column = 0; column < cells.size(); ++column) widths[column] = std::max(widths[column], cells[column].size());
    }
    Cells rule;
    for (std::size_t column = 0; column < headers.size(); ++column) {
        rule.push_back(std::string(column + 1 < headers.size() ? widths[column] : headers[column].size(), '-'));
    }
    std::string table = tableLine(headers, widths) + tableLine(rule, widths);
    for (const Cells& cells : lines) table += tableLine(cells, widths);
    return table;
}

nlohmann::ordered_json fontJson(const FontListing& listing) {
    nlohmann::ordered_json fonts = nlohmann::ordered_json::array();
    for (const FontRow& row : listing.fonts) fonts.push_back(fontJson(row, listing.codesWalked));
    return {{"codesWalked", listing.codesWalked}, {"fonts", std::move(fonts)}};
}

UnicodeCheck checkUnicode(const FontListing& listing) {
    UnicodeCheck check;
    for (const FontRow& row : listing.fonts) {
        if (row.codes.distinct == 0) continue;
        if (row.codes.unknown) {
            check.unknown.push_back(&row);
        } else if (row.codes.withoutUnicode > 0) {
            check.failing.push_back(&row);
        }
    }
    return check;
}

std::string checkLines(const UnicodeCheck& check) {
    std::string lines;
    for (const FontRow* row : check.failing) {
        lines += "no Unicode: " + fontAndObject(*row) + ": " + countedNoun(row->codes.withoutUnicode, "code") +
                 ", first on page" + (row->codes.examples.size() > 1 ? "s " : " ") + firstPages(*row) + "\n";
    }
    for (const FontRow* row : check.unknown) {
        lines += "unknown Unicode: " + fontAndObject(*row) + ": " + countedNoun(row->codes.distinct, "code") + " (" +
                 row->attributes.encoding.value_or("an embedded CMap") + " without a ToUnicode map)\n";
    }
    if (!check.passed()) {
        return lines + "unicode check failed: " + countedNoun(check.failing.size(), "font") +
               " draw" + (check.failing.size() == 1 ? "s" : "") + " codes without a Unicode value\n";
    }
    if (!check.unknown.empty()) {
        return lines + "unicode check passed: every code whose Unicode value can be told has one; " +
               countedNoun(check.unknown.size(), "font") + " unknown\n";
    }
    return lines + "unicode check passed: every code drawn has a Unicode value\n";
}

nlohmann::ordered_json checkJson(const UnicodeCheck& check) {
    return {{"check", "unicode"}, {"passed", check.passed()}, {"failing", fontNames(check.failing)},
            {"unknown", fontNames(check.unknown)}};
}

}  // namespace host
