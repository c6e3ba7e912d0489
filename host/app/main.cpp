// The ortheo command line: our stand-in for the viewer that hosts the
// plug-in.

#include <cstdio>

#include <CLI/CLI.hpp>

#include "app/plugin_info.h"

int main(int argc, char** argv) {
    CLI::App app{"ortheo: looks inside the fonts of a PDF through the Ortheo plug-in"};
    app.set_version_flag("--version", "ortheo 1.1");
    app.require_subcommand(1);

    host::PluginInfoOptions pluginInfo;
    CLI::App* info = app.add_subcommand("plugin-info", "Load the plug-in and show its handshake and tables");
    info->add_option("--plugin", pluginInfo.pluginPath, "The plug-in library (default: Ortheo.api beside ortheo)");
    info->add_option("--withhold", pluginInfo.withheld,
                     "Offer TABLE at no version, or not at VERSION (TABLE[=VERSION]); may be repeated");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }
    if (info->parsed()) return host::runPluginInfo(pluginInfo);
    return 2;
}
