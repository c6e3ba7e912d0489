#include "support/loaded_plugin.h"

#include "plugin/entry.h"
#include "plugin/plugin_state.h"

namespace ortheo::testing {

LoadedPlugin::LoadedPlugin(const host::HostConfig& config)
    : host_(config) {
    pluginState() = PluginState{};  // nothing of an earlier test's host may remain
    outcome_ = host::runHandshake(host_.core(), &PlugInMain, nullptr);
}

}  // namespace ortheo::testing
