#include "core/handshake.h"

#include "core/atoms.h"
#include "core/callbacks.h"
#include "core/core.h"
#include "core/plugin_calls.h"
#include "core/tables.h"

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

HandshakeOutcome runHandshake(Core& core, PlugInMainProc entry, void* module, std::uint32_t offeredVersion) {
    HandshakeOutcome outcome;
    WindowsData windowsData{0, module};
    SetupProc setup = nullptr;
    if (!callPlugin(entry, offeredVersion, &outcome.handshakeVersion, &setup, &windowsData) || setup == nullptr) {
        outcome.refusal = "PlugInMain refused the host";
        return outcome;
    }

    SetupRecord record{kHandshakeVersion, core.extension(), core.tables().setupCoreTable(), kNoCallback};
    if (!callPlugin(setup, outcome.handshakeVersion, &record)) {
        outcome.refusal = setupRefusal(core.tables());
        return outcome;
    }

    HandshakeRecord handshake{};
    handshake.size = sizeof handshake;
    const auto handshakeProc = core.callbacks().resolve<HandshakeProc>(record.handshake);
    if (!callPlugin(handshakeProc, outcome.handshakeVersion, &handshake)) {
        outcome.refusal = "the handshake refused";
        return outcome;
    }
    outcome.loaded = true;
    outcome.extensionName = core.atoms().text(handshake.extensionName);
    outcome.init = handshake.init;
    outcome.unload = handshake.unload;
    return outcome;
}

}  // namespace host
