// `ortheo plugin-info`: load the plug-in as the viewer does and show what
// the handshake gave: its version, the extension name and every table with
// the version the plug-in got.
#pragma once

#include <string>
#include <vector>

namespace host {

struct PluginInfoOptions {
    std::string pluginPath;
    std::vector<std::string> withheld;  // TABLE or TABLE=VERSION, the version in hexadecimal
};

// Answers the process exit status: 0 loaded, 1 the plug-in failed while
// loading, 2 the library could not be used or refused to load, or an
// argument is wrong.
int runPluginInfo(const PluginInfoOptions& options);

}  // namespace host
