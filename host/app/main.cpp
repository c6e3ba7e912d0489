// The ortheo command line: our stand-in for the viewer that hosts the
// plug-in.

#include <CLI/CLI.hpp>

#include "app/plugin_info.h"
#include "app/report_command.h"

int main(int argc, char** argv) {
    CLI::App app{"ortheo: looks inside the fonts of a PDF through the Ortheo plug-in"};
    app.set_version_flag("--version", "ortheo 1.1");
    app.require_subcommand(1);

    host::ReportOptions report;
    CLI::App* reportCommand = app.add_subcommand("report", "Write the font report of a PDF, as the viewer's command does");
    reportCommand->add_option("INPUT", report.input, "The PDF to look into")->required();
    reportCommand->add_option("-o,--output", report.output, "Where to write the report (default: INPUT-fonts.pdf)");
    reportCommand->add_option("--select-text", report.selectText,
                              "Report only the fonts of the text selected on PAGES (1-based, e.g. 1,3-5), "
                              "optionally inside X0,Y0,X1,Y1 (points): PAGES[:X0,Y0,X1,Y1]");
    reportCommand->add_option("--password", report.password, "The password of an encrypted PDF");
    reportCommand->add_flag("--log-errors", report.logErrors, "Let the plug-in write its error log to standard error");
    reportCommand->add_option("--plugin", report.pluginPath,
                              "The plug-in library (default: Ortheo.api beside ortheo, else the installed one)");

    host::MenuOptions menus;
    CLI::App* menusCommand = app.add_subcommand("menus", "Show the menus, toolbar buttons and tools the plug-in registered");
    menusCommand->add_option("--plugin", menus.pluginPath, "The plug-in library");

    host::MenuOptions runMenu;
    CLI::App* runMenuCommand = app.add_subcommand("run-menu", "Choose a menu item by name, as a user would");
    runMenuCommand->add_option("NAME", runMenu.item, "The item's name, such as ZORV:OrtheoAbout")->required();
    runMenuCommand->add_option("INPUT", runMenu.input, "A PDF to open first");
    runMenuCommand->add_option("--password", runMenu.password, "The password of an encrypted PDF");
    runMenuCommand->add_option("--plugin", runMenu.pluginPath, "The plug-in library");

    host::PluginInfoOptions pluginInfo;
    CLI::App* info = app.add_subcommand("plugin-info", "Load the plug-in and show its handshake and tables");
    info->add_option("--plugin", pluginInfo.pluginPath,
                     "The plug-in library (default: Ortheo.api beside ortheo, else the installed one)");
    info->add_option("--withhold", pluginInfo.withheld,
                     "Offer TABLE at no version, or not at VERSION (TABLE[=VERSION]); may be repeated");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }
    report.exitWhenWritten = true;
    if (reportCommand->parsed()) return host::runReport(report);
    if (menusCommand->parsed()) return host::runMenus(menus);
    if (runMenuCommand->parsed()) return host::runMenuItem(runMenu);
    return host::runPluginInfo(pluginInfo);
}
