#include "app/plugin_info.h"

#include <cstdio>
#include <optional>

#include "app/plugin_loader.h"
#include "core/errors.h"
#include "core/tables.h"
#include "host.h"
#include "host_config.h"

namespace host {
namespace {

std::optional<TableId> tableNamed(const std::string& name) {
    for (const TableRequest& request : kTableRequests) {
        if (name == request.name) return request.id;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> parseVersion(const std::string& text) {
    try {
        std::size_t used = 0;
        const unsigned long value = std::stoul(text, &used, 0);
        if (used != text.size() || value > 0xFFFFFFFFul) return std::nullopt;
        return static_cast<std::uint32_t>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Applies one --withhold argument; answers false when it names no table or
// no version.
bool withhold(TableOffer& offer, const std::string& argument) {
    const std::size_t equals = argument.find('=');
    const std::optional<TableId> table = tableNamed(argument.substr(0, equals));
    if (!table) return false;
    if (equals == std::string::npos) {
        offer.withhold(*table);
        return true;
    }
    const std::optional<std::uint32_t> version = parseVersion(argument.substr(equals + 1));
    if (!version) return false;
    offer.withhold(*table, *version);
    return true;
}

void printTables(const TableRegistry& tables) {
    std::printf("Tables:\n");
    for (const TableRequest& request : kTableRequests) {
        const auto got = tables.handedOut().find(request.id);
        if (got == tables.handedOut().end()) {
            std::printf("  %-17s (not imported)\n", request.name);
        } else {
            std::printf("  %-17s 0x%x\n", request.name, got->second);
        }
    }
}

}  // namespace

int runPluginInfo(const PluginInfoOptions& options) {
    HostConfig config;
    for (const std::string& argument : options.withheld) {
        if (!withhold(config.tables, argument)) {
            std::fprintf(stderr, "ortheo: --withhold %s: expected TABLE or TABLE=VERSION with one of the host's tables\n",
                         argument.c_str());
            return 2;
        }
    }
    const std::string path = options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath;
    try {
        PluginLibrary library(path);
        Host host(config);
        const HandshakeOutcome outcome = runHandshake(host.core(), library.entry(), library.module());
        std::printf("Plug-in: %s\n", path.c_str());
        std::printf("Handshake version: 0x%x\n", outcome.handshakeVersion);
        if (!outcome.loaded) {
            std::fflush(stdout);
            std::fprintf(stderr, "ortheo: the plug-in was not loaded: %s\n", outcome.refusal.c_str());
            return 1;
        }
        std::printf("Extension name: %s\n", outcome.extensionName.c_str());
        printTables(host.tables());
        return 0;
    } catch (const PluginLoadError& failure) {
        std::fprintf(stderr, "ortheo: %s\n", failure.what());
        return 2;
    } catch (const HostError& failure) {
        std::fprintf(stderr, "ortheo: the plug-in failed while loading: %s\n", failure.what());
        return 1;
    }
}

}  // namespace host
