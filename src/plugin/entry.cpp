#include "plugin/entry.h"

#include "plugin/command.h"
#include "plugin/host_call.h"
#include "plugin/host_edge.h"
#include "plugin/win_platform.h"

namespace ortheo {
namespace {

constexpr std::uint32_t kNoVersionYet = 0xFFFFFFFF;
constexpr std::uint32_t kBetaBit = 0x80000000;
constexpr std::uint32_t kDirectLookupSince = 0x60000;

host::Bool16 ORTHEO_CDECL AnswerTrue() noexcept { return 1; }

void traceImportFailure(const char* name, std::uint32_t requested) {
    char line[256];
    win::wnsprintfA(line, sizeof line, "failed on %s version %s%x\n", name,
                    (requested & kBetaBit) != 0 ? "(beta)" : "", requested & ~kBetaBit);
    win::OutputDebugStringA(line);
}

// Asks for the table at each known version not below the one requested,
// newest first; answers the version found, or 0.
std::uint32_t findInKnownVersions(host::Atom name, std::uint32_t requested, host::HostTable* table) {
    for (const std::uint32_t candidate : knownTableVersions) {
        if (candidate < requested) break;
        *table = callHost<host::op::GetTable>(name, candidate);
        if (*table != nullptr) return candidate;
    }
    return 0;
}

// Imports the host's tables, then hands back the handshake procedure.
host::Bool16 importTables(host::SetupRecord* record) {
    PluginState& state = pluginState();
    state.extension = record->extension;
    state[host::TableId::Core] = {record->coreTable, host::kHandshakeVersion};

    ImportedTable& support = state[host::TableId::AcroSupport];
    support.table = callHost<host::op::GetTable>(callHost<host::op::AtomFromString>("AcroSupport"),
                                                 0x60000u);
    support.version = support.table != nullptr ? callHost<host::op::TableVersion>(support.table) : 0;

    for (const host::TableRequest& request : host::kTableRequests) {
        ImportedTable& imported = state[request.id];
        if (!ImportHostTable(request.name, request.version, &imported.version, &imported.table)) {
            return 0;
        }
    }
    record->handshake = makeCallback(&HandshakePlugin);
    return 1;
}

// Fills the handshake record: the extension's name and the procedures of the
// later phases.
host::Bool16 handOverProcedures(host::HandshakeRecord* record) {
    record->extensionName = callHost<host::op::AtomFromString>(kExtensionName);
    record->exportTables = makeCallback(&AnswerTrue);
    record->importReplace = makeCallback(&AnswerTrue);
    record->init = makeCallback(&OnPluginInit);
    record->unload = makeCallback(&OnPluginUnload);
    return 1;
}

}  // namespace

host::Bool16 ImportHostTable(const char* name, std::uint32_t requested, std::uint32_t* version,
                             host::HostTable* table) {
    const host::Atom atom = callHost<host::op::AtomFromString>(name);
    std::uint32_t found = kNoVersionYet;
    host::HostTable answer = nullptr;

    if (pluginState()[host::TableId::AcroSupport].version >= kDirectLookupSince) {
        answer = callHost<host::op::GetTable>(atom, requested);
        if (answer != nullptr) found = callHost<host::op::TableVersion>(answer);
    }
    if (found == kNoVersionYet) found = findInKnownVersions(atom, requested, &answer);

    *table = answer;
    *version = found;
    if (found == 0) traceImportFailure(name, requested);
    return found != 0 ? 1 : 0;
}

host::Bool16 ORTHEO_CDECL SetupPlugin(std::uint32_t handshakeVersion, host::SetupRecord* record) noexcept {
    if (record == nullptr || handshakeVersion != host::kHandshakeVersion ||
        record->version != host::kHandshakeVersion) {
        return 0;
    }
    return answerAtEdge<host::Bool16>(0, [record] { return importTables(record); });
}

host::Bool16 ORTHEO_CDECL HandshakePlugin(std::uint32_t handshakeVersion, host::HandshakeRecord* record) noexcept {
    if (record == nullptr || handshakeVersion != host::kHandshakeVersion) return 0;
    return answerAtEdge<host::Bool16>(0, [record] { return handOverProcedures(record); });
}

}  // namespace ortheo

extern "C" host::Bool16 ORTHEO_CDECL PlugInMain(std::uint32_t hostVersion, std::uint32_t* handshakeVersion,
                                               host::SetupProc* setup, host::WindowsData* windowsData) noexcept {
    if (windowsData != nullptr) ortheo::pluginState().moduleInstance = windowsData->moduleInstance;
    if (handshakeVersion != nullptr) {
        *handshakeVersion = hostVersion >= host::kHandshakeVersion ? host::kHandshakeVersion : hostVersion;
    }
    if (setup != nullptr) *setup = &ortheo::SetupPlugin;
    return 1;
}
