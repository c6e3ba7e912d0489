// The procedures the host calls after the handshake: initialisation, where
// the plug-in registers its command, and unload.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

host::Bool16 OnPluginInit();
host::Bool16 OnPluginUnload();

}  // namespace ortheo
