#include "app/plugin_loader.h"

#include <dlfcn.h>

#include <filesystem>

namespace host {

PluginLibrary::PluginLibrary(const std::string& path) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored)) {
        throw PluginLoadError("no plug-in library at " + path);
    }
    // A bare file name is a file in the current folder, not a name for the
    // library search.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    module_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
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

std::string defaultPluginPath() {
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
    const std::filesystem::path beside = folder / "Ortheo.api";
    if (std::filesystem::exists(beside, ignored)) return beside.string();
    return (folder / ORTHEO_INSTALLED_PLUGIN).lexically_normal().string();
}

}  // namespace host
