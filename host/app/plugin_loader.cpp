#include "app/plugin_loader.h"

#include <dlfcn.h>

#include <filesystem>

#include "core/atoms.h"
#include "core/callbacks.h"
#include "core/plugin_calls.h"
#include "core/tables.h"
#include "host.h"

namespace host {

namespace {

// Why the setup step answered 0: the first table it could not import, or
// else the version of the handshake.
std::string setupRefusal(const TableRegistry& tables) {
    for (const TableRequest& request : kTableRequests) {
        if (tables.handedOut().count(request.id) == 0) {
            return std::string("it needs the table ") + request.name +
                   ", which the host does not offer at an acceptable version";
        }
    }
    return "the setup step refused the handshake version";
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        throw PluginLoadError("no plug-in library at " + path);
    }
    module_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        const char* why = dlerror();
        throw PluginLoadError(path + " is not a loadable plug-in library: " + (why != nullptr ? why : "unknown reason"));
    }
    entry_ = reinterpret_cast<PlugInMainProc>(dlsym(module_, "PlugInMain"));
    if (entry_ == nullptr) {
        dlclose(module_);
        throw PluginLoadError(path + " does not export PlugInMain");
    }
}

PluginLibrary::~PluginLibrary() { dlclose(module_); }

HandshakeOutcome runHandshake(Host& host, PlugInMainProc entry, void* module, std::uint32_t offeredVersion) {
    HandshakeOutcome outcome;
    WindowsData windowsData{0, module};
    SetupProc setup = nullptr;
    if (!callPlugin(entry, offeredVersion, &outcome.handshakeVersion, &setup, &windowsData) || setup == nullptr) {
        outcome.refusal = "PlugInMain refused the host";
        return outcome;
    }

    SetupRecord record{kHandshakeVersion, host.extension(), host.tables().setupCoreTable(), kNoCallback};
    if (!callPlugin(setup, outcome.handshakeVersion, &record)) {
        outcome.refusal = setupRefusal(host.tables());
        return outcome;
    }

    HandshakeRecord handshake{};
    handshake.size = sizeof handshake;
    const auto handshakeProc = host.callbacks().resolve<HandshakeProc>(record.handshake);
    if (!callPlugin(handshakeProc, outcome.handshakeVersion, &handshake)) {
        outcome.refusal = "the handshake refused";
        return outcome;
    }
    outcome.loaded = true;
    outcome.extensionName = host.atoms().text(handshake.extensionName);
    outcome.init = handshake.init;
    outcome.unload = handshake.unload;
    return outcome;
}

std::string defaultPluginPath() {
    std::error_code ignored;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    return (self.parent_path() / "Ortheo.api").string();
}

}  // namespace host
