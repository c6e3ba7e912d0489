// Plug-in-wide state written by the entry, setup and handshake steps and read
// by everything else: the imported host tables, the extension handle and the
// module instance handle. One instance for the whole library; the host writes
// it once while loading the plug-in and nothing changes it afterwards.
#pragma once

#include <array>
#include <cstdint>

#include "plugin/host_services.h"

namespace ortheo {

struct ImportedTable {
    host::HostTable table = nullptr;
    std::uint32_t version = 0;
};

struct PluginState {
    void* moduleInstance = nullptr;
    host::ExtensionHandle extension = 0;
    std::array<ImportedTable, host::kTableCount> tables{};

    ImportedTable& operator[](host::TableId id) { return tables[static_cast<std::size_t>(id)]; }
    const ImportedTable& operator[](host::TableId id) const {
        return tables[static_cast<std::size_t>(id)];
    }
};

// Every host call reads it, so it is a plain object, not one made on first use.
inline PluginState thePluginState;

inline PluginState& pluginState() { return thePluginState; }

}  // namespace ortheo
