// The plug-in's first contact with the host: the entry point, the setup step
// that imports the host's function tables, and the handshake that names the
// plug-in and hands over its procedures for the later phases.
#pragma once

#include <array>
#include <cstdint>

#include "plugin/host_services.h"

extern "C" host::Bool16 PlugInMain(std::uint32_t hostVersion, std::uint32_t* handshakeVersion,
                                   host::SetupProc* setup, host::WindowsData* windowsData);

namespace ortheo {

constexpr const char* kExtensionName = "ZORV:ortheo";

// Versions offered when the host cannot answer a table's version itself,
// newest first.
constexpr std::array<std::uint32_t, 7> knownTableVersions = {
    0x50001, 0x50000, 0x40005, 0x40000, 0x20003, 0x20002, 0x20001,
};

host::Bool16 SetupPlugin(std::uint32_t handshakeVersion, host::SetupRecord* record);
host::Bool16 HandshakePlugin(std::uint32_t handshakeVersion, host::HandshakeRecord* record);

// Imports one table; answers whether a version was found. On failure the
// trace line "failed on NAME version [(beta)]HEX" goes to the debugger output.
host::Bool16 ImportHostTable(const char* name, std::uint32_t requested, std::uint32_t* version,
                             host::HostTable** table);

}  // namespace ortheo
