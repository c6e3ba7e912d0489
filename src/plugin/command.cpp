#include "plugin/command.h"

namespace ortheo {

// The menu item, toolbar button and tool are not registered yet: both phases
// only answer that they succeeded.
host::Bool16 OnPluginInit() { return 1; }

host::Bool16 OnPluginUnload() { return 1; }

}  // namespace ortheo
