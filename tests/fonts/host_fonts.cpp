#include "fonts/host_fonts.h"

#include <sstream>

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/cos_objects.h"
#include "host.h"
#include "plugin/host_call.h"
#include "support/run_command.h"

namespace ortheo::testing {
namespace {

host::Bool16 appendFont(host::Handle font, void*, host::ClientData data) {
    static_cast<std::vector<host::Handle>*>(data)->push_back(font);
    return 1;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// pdffonts sets its columns under a line of dashes: their spans cut each row.
std::vector<std::pair<std::size_t, std::size_t>> columnSpans(const std::string& dashes) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::size_t start = 0;
    while (start < dashes.size()) {
        const std::size_t end = std::min(dashes.find(' ', start), dashes.size());
        spans.emplace_back(start, end - start);
        start = end + 1;
    }
    return spans;
}

}  // namespace

std::vector<host::Handle> enumeratedFonts(host::Handle document, std::int32_t pageIndex) {
    std::vector<host::Handle> fonts;
    callHost<host::op::DocEnumFonts>(document, pageIndex, pageIndex, &appendFont, &fonts, 0, 0);
    return fonts;
}

std::string fontNameOf(host::Handle font) {
    char name[256] = {};
    callHost<host::op::FontName>(font, name, static_cast<std::int32_t>(sizeof name));
    return name;
}

int objectNumberOf(host::Handle font) {
    return host::Host::current().cos().unwrap(callHost<host::op::FontCosObject>(font)).getObjectID();
}

std::vector<ListedFont> pdffontsOfPage(const std::string& path, int pageNumber) {
    const std::string page = std::to_string(pageNumber);
    const CommandResult listed = runCommand({"/usr/bin/pdffonts", "-f", page, "-l", page, path});
    std::istringstream lines(listed.out);
    std::string header, dashes, row;
    std::getline(lines, header);
    std::getline(lines, dashes);
    const auto spans = columnSpans(dashes);
    std::vector<ListedFont> fonts;
    while (std::getline(lines, row)) {
        row.resize(std::max(row.size(), dashes.size()), ' ');
        const auto column = [&](std::size_t index) { return trimmed(row.substr(spans[index].first, spans[index].second)); };
        std::istringstream objectId(column(6));
        ListedFont font{column(0), column(1), column(2), column(3) == "yes", 0};
        objectId >> font.objectNumber;
        fonts.push_back(font);
    }
    return fonts;
}

}  // namespace ortheo::testing
