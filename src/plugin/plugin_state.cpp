#include "plugin/plugin_state.h"

namespace ortheo {

PluginState& pluginState() {
    static PluginState state;
    return state;
}

}  // namespace ortheo
