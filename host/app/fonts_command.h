// `ortheo fonts`: the fonts of a PDF as data, a table or JSON, with the
// Unicode coverage of the codes they draw, and the preflight check
// `--check unicode`. It reads the document through the host, without the
// plug-in.
#pragma once

#include <optional>
#include <string>

namespace host {

struct FontsOptions {
    std::string input;  // "-" is standard input
    std::optional<std::string> pages;
    std::optional<std::string> check;  // "unicode" is the one check
    std::string password;
    bool json = false;
    bool noCodes = false;
};

// The exit status of a check that found codes without Unicode.
constexpr int kCheckFailed = 4;

// Answers the exit status: 0 listed (and the check passed), 1 the input
// failed, 2 unusable arguments, 3 no fonts on the pages listed,
// `kCheckFailed`.
int runFonts(const FontsOptions& options);

}  // namespace host
