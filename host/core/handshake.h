// Loading a plug-in as the viewer does, once its library is open: the entry
// (PlugInMain), setup and handshake steps, each a call into the plug-in.
// Any host made of a Core runs them this way.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/host_services.h"

namespace host {

class Core;

struct HandshakeOutcome {
    bool loaded = false;
    std::string refusal;                 // why the plug-in was not loaded
    std::uint32_t handshakeVersion = 0;  // as PlugInMain answered it
    std::string extensionName;
    Callback init = kNoCallback;
    Callback unload = kNoCallback;
};

// Runs PlugInMain, SetupPlugin and HandshakePlugin against `core`.
HandshakeOutcome runHandshake(Core& core, PlugInMainProc entry, void* module,
                              std::uint32_t offeredVersion = kHandshakeVersion);

}  // namespace host
