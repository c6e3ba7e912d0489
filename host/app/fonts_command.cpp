#include "app/fonts_command.h"

#include <cstdio>

#include "app/command_failure.h"
#include "app/font_listing.h"
#include "app/fonts_output.h"
#include "app/text_selection_argument.h"
#include "core/errors.h"
#include "host.h"
#include "host_config.h"
#include "model/document_source.h"
#include "model/documents.h"

namespace host {
namespace {

constexpr int kNothingListed = 3;

// A missing input is told first, as for the report; the input itself last.
void checkArguments(const FontsOptions& options) {
    if (options.input.empty()) checkInput("fonts", options.input);
    if (options.check && *options.check != "unicode") fail(2, "--check " + *options.check + ": the one check is unicode");
    if (options.check && options.noCodes) fail(2, "--check unicode needs the codes: it cannot go with --no-codes");
    checkInput("fonts", options.input);
}

Handle openDocument(Host& host, const FontsOptions& options) {
    try {
        return host.documents().open(options.input, options.password);
    } catch (const HostError& error) {
        failToOpen(error);
    }
}

// The pages to list, 0-based: those --pages names, or all.
std::vector<PageRange> selectedPages(const FontsOptions& options, std::size_t pageCount) {
    if (!options.pages) return pageCount == 0 ? std::vector<PageRange>{} : std::vector<PageRange>{{0, static_cast<int>(pageCount) - 1}};
    if (options.pages->find(':') != std::string::npos) fail(2, "--pages " + *options.pages + ": takes pages only, such as 1,3-5");
    const ParsedTextSelection parsed = parseTextSelection(*options.pages, pageCount);
    if (!parsed.selection) fail(2, "--pages " + *options.pages + ": " + parsed.problem);
    return joinedPageRanges(parsed.selection->pages);
}

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

int listAndCheck(const FontsOptions& options) {
    checkArguments(options);
    const HostConfig config;
    Host host(config);
    const Handle document = openDocument(host, options);
    QPDF& pdf = *host.documents().get(document).pdf;
    const std::vector<PageRange> pages = selectedPages(options, pdf.getAllPages().size());
    const FontListing listing = listFonts(host.fonts(), document, pdf, pages, !options.noCodes);
    const UnicodeCheck check = checkUnicode(listing);
    if (options.json) {
        nlohmann::ordered_json json = fontJson(listing);
        if (options.check) json["check"] = checkJson(check);
        // Names are bytes: any that are not UTF-8 become U+FFFD, as JSON must be.
        writeOut(json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n");
    } else {
        writeOut(fontTable(listing));
        if (options.check && !listing.fonts.empty()) writeOut(checkLines(check));
    }
    if (listing.fonts.empty()) {
        const std::string which = options.pages ? "the pages " + *options.pages + " of " + inputName(options.input) + " use"
                                                : inputName(options.input) + " uses";
        fail(kNothingListed, which + " no fonts");
    }
    return options.check && !check.passed() ? kCheckFailed : 0;
}

}  // namespace

int runFonts(const FontsOptions& options) {
    return runCommand([&] { return listAndCheck(options); });
}

}  // namespace host
