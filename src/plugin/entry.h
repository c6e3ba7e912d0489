// The plug-in's first contact with the host: the entry point, the setup step
// that imports the host's function tables, and the handshake that names the
// plug-in and hands over its procedures for the later phases.
#pragma once

#include <array>
#include <cstdint>

#include "plugin/host_services.h"

// The library's one export. On Windows the module definition file exports
// it, undecorated; elsewhere it is the one symbol left visible.
#if defined(_WIN32)
#define ORTHEO_EXPORT
#else
#define ORTHEO_EXPORT __attribute__((visibility("default")))
#endif

extern "C" ORTHEO_EXPORT host::Bool16 ORTHEO_CDECL PlugInMain(std::uint32_t hostVersion,
                                                             std::uint32_t* handshakeVersion,
                                                             host::SetupProc* setup,
                                                             host::WindowsData* windowsData) noexcept;

namespace ortheo {

constexpr const char* kExtensionName = "ZORV:ortheo";

// Versions offered when the host cannot answer a table's version itself,
// newest first.
constexpr std::array<std::uint32_t, 7> knownTableVersions = {
    0x50001, 0x50000, 0x40005, 0x40000, 0x20003, 0x20002, 0x20001,
};

host::Bool16 ORTHEO_CDECL SetupPlugin(std::uint32_t handshakeVersion, host::SetupRecord* record) noexcept;
host::Bool16 ORTHEO_CDECL HandshakePlugin(std::uint32_t handshakeVersion, host::HandshakeRecord* record) noexcept;

// Imports one table; answers whether a version was found. On failure the
// trace line "failed on NAME version [(beta)]HEX" goes to the debugger output.
host::Bool16 ImportHostTable(const char* name, std::uint32_t requested, std::uint32_t* version,
                             host::HostTable* table);

}  // namespace ortheo
