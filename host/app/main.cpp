// The ortheo command line: our stand-in for the viewer that hosts the
// plug-in.

#include <string>

#include <CLI/CLI.hpp>

#include "app/argument_errors.h"
#include "app/fonts_command.h"
#include "app/interruption.h"
#include "app/plugin_info.h"
#include "app/report_command.h"
#include "app/standard_error_route.h"
#include "core/error_output.h"

namespace {

// Arguments that cannot be used: one line, status 2.
int usageError(const std::string& problem) {
    host::writeHostLines("ortheo: " + problem + "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    host::handleInterruptions();
    host::routePluginStandardError();
    CLI::App app{"ortheo: looks inside the fonts of a PDF through the Ortheo plug-in"};
    app.set_version_flag("--version", "ortheo 1.1");
    // What CLI11 leaves over is told in our words (argument_errors.h).
    app.allow_extras();

    host::ReportOptions report;
    CLI::App* reportCommand = app.add_subcommand("report", "Write the font report of a PDF, as the viewer's command does");
    reportCommand->allow_extras();
    reportCommand->add_option("INPUT", report.input, "The PDF to look into; - reads it from standard input");
    reportCommand->add_option("-o,--output", report.output,
                              "Where to write the report (default: INPUT-fonts.pdf, or stdin-fonts.pdf); "
                              "- writes it to standard output");
    reportCommand->add_option("--select-text", report.selectText,
                              "Report only the fonts of the text selected on PAGES (1-based, e.g. 1,3-5), "
                              "optionally inside the rectangle X0,Y0,X1,Y1: PAGES[:X0,Y0,X1,Y1]. The rectangle is in "
                              "PDF user space (points, origin at the bottom left of the page), its corners in either "
                              "order. A piece of text counts when the point where its text-showing operator starts "
                              "lies inside the rectangle or on its edge; glyph boxes are not measured. "
                              "On samples/sample.pdf, 1:0,650,595,700 selects the title");
    reportCommand->add_option("--password", report.password, "The password of an encrypted PDF");
    reportCommand->add_flag("--log-errors", report.logErrors, "Let the plug-in write its error log to standard error");
    reportCommand->add_option("--plugin", report.pluginPath,
                              "The plug-in library (default: Ortheo.api beside ortheo, else the installed one)");

    host::FontsOptions fonts;
    CLI::App* fontsCommand = app.add_subcommand("fonts", "List the fonts of a PDF, with the Unicode coverage of the codes they draw");
    fontsCommand->allow_extras();
    fontsCommand->add_option("INPUT", fonts.input, "The PDF to look into; - reads it from standard input");
    fontsCommand->add_option("--pages", fonts.pages, "List only the fonts of these pages (1-based, e.g. 1,3-5)");
    fontsCommand->add_flag("--json", fonts.json, "Write one JSON document instead of the table");
    fontsCommand->add_option("--check", fonts.check,
                             "unicode: fail (status 4) when a code drawn has no Unicode value; the verdict is the last line");
    fontsCommand->add_flag("--no-codes", fonts.noCodes, "Leave out the walk of the content: no code columns");
    fontsCommand->add_option("--password", fonts.password, "The password of an encrypted PDF");

    host::MenuOptions menus;
    CLI::App* menusCommand = app.add_subcommand("menus", "Show the menus, toolbar buttons and tools the plug-in registered");
    menusCommand->allow_extras();
    menusCommand->add_option("--plugin", menus.pluginPath, "The plug-in library");

    host::MenuOptions runMenu;
    CLI::App* runMenuCommand = app.add_subcommand("run-menu", "Choose a menu item by name, as a user would");
    runMenuCommand->allow_extras();
    runMenuCommand->add_option("NAME", runMenu.item, "The item's name, such as ZORV:OrtheoAbout");
    runMenuCommand->add_option("INPUT", runMenu.input, "A PDF to open first");
    runMenuCommand->add_option("--password", runMenu.password, "The password of an encrypted PDF");
    runMenuCommand->add_option("--plugin", runMenu.pluginPath, "The plug-in library");

    host::PluginInfoOptions pluginInfo;
    CLI::App* info = app.add_subcommand("plugin-info", "Load the plug-in and show its handshake and tables");
    info->allow_extras();
    info->add_option("--plugin", pluginInfo.pluginPath,
                     "The plug-in library (default: Ortheo.api beside ortheo, else the installed one)");
    info->add_option("--withhold", pluginInfo.withheld,
                     "Offer TABLE at no version, or not at VERSION, in hexadecimal as the trace prints it "
                     "(TABLE[=VERSION], such as Win=0x50000); may be repeated");

    if (const std::string problem = host::emptyOptionValue(argc, argv); !problem.empty()) return usageError(problem);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app.exit(error);  // --help, --version
        return usageError(host::describeParseError(app, error));
    }
    if (const std::string problem = host::unusedArguments(app); !problem.empty()) return usageError(problem);
    report.exitWhenWritten = true;
    if (reportCommand->parsed()) return host::runReport(report);
    if (fontsCommand->parsed()) return host::runFonts(fonts);
    if (menusCommand->parsed()) return host::runMenus(menus);
    if (runMenuCommand->parsed()) return host::runMenuItem(runMenu);
    return host::runPluginInfo(pluginInfo);
}
