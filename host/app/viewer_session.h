// A viewer session: the host with the plug-in loaded and initialised, as
// the viewer runs it; the plug-in is unloaded when the session ends.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/plugin_loader.h"
#include "host.h"
#include "host_config.h"

namespace host {

class ViewerSession {
public:
    // Loads the library at `pluginPath`; raises PluginLoadError when it
    // cannot be used or refuses to load.
    ViewerSession(const std::string& pluginPath, const HostConfig& config);
    // Loads a plug-in linked into the program itself.
    ViewerSession(PlugInMainProc entry, const HostConfig& config);
    ~ViewerSession();
    ViewerSession(const ViewerSession&) = delete;
    ViewerSession& operator=(const ViewerSession&) = delete;

    Host& host() { return *host_; }

    // Opens a PDF file and shows it in a new, active view; answers the
    // document. Raises HostError when the file cannot be opened.
    Handle open(const std::string& path, const std::string& password = "");

private:
    void load(PlugInMainProc entry, void* module);

    std::unique_ptr<PluginLibrary> library_;  // outlives the host, whose tables it points into
    std::unique_ptr<Host> host_;
    HandshakeOutcome outcome_;
};

}  // namespace host
