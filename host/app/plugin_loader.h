// Loading the plug-in as the viewer does: open the library, find its one
// export, and run the entry, setup and handshake steps.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/handshake.h"
#include "plugin/host_services.h"

namespace host {

class PluginLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An opened plug-in library; closes it when destroyed.
class PluginLibrary {
public:
    // Raises PluginLoadError with a clear text when the file is missing, is
    // not a library, or does not export PlugInMain.
    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    PlugInMainProc entry() const { return entry_; }
    void* module() const { return module_; }

private:
    void* module_ = nullptr;
    PlugInMainProc entry_ = nullptr;
};

// The plug-in library beside the running executable, as in the build tree;
// where there is none, the one the install rules put relative to the
// executable's folder (such as ../lib/ortheo/Ortheo.api).
std::string defaultPluginPath();

}  // namespace host
