// The commands that run the plug-in as a user of the viewer would:
// `ortheo report`, `ortheo menus` and `ortheo run-menu`.
#pragma once

#include <optional>
#include <string>

#include "plugin/host_services.h"

namespace host {

struct ReportOptions {
    std::string input;   // "-" is standard input
    std::string output;  // "-" is standard output; default: the input's name with -fonts.pdf
    std::string password;
    std::optional<std::string> selectText;
    bool logErrors = false;
    std::string pluginPath;
    PlugInMainProc linkedPlugin = nullptr;  // tests: a plug-in linked into the program
    bool exitWhenWritten = false;           // the command line: end the process once the report is in place
};

// Each answers the process exit status: 0 done, 1 the document or the
// command failed, 2 the arguments or the plug-in library are unusable, 3
// the document uses no fonts (or the selected text none), so no report was
// written or opened.
int runReport(const ReportOptions& options);

struct MenuOptions {
    std::string item;   // run-menu: the item's name
    std::string input;  // run-menu: optional document to open first
    std::string password;
    std::string pluginPath;
    PlugInMainProc linkedPlugin = nullptr;
};

int runMenus(const MenuOptions& options);
int runMenuItem(const MenuOptions& options);

// The default output of a report: "dir/name.pdf" gives "dir/name-fonts.pdf";
// standard input ("-" or /dev/stdin) gives "stdin-fonts.pdf".
std::string defaultReportPath(const std::string& input);

}  // namespace host
