#include "app/plugin_info.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <set>
#include <string_view>

#include "app/plugin_loader.h"
#include "core/error_output.h"
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

// A version as the trace prints it: hexadecimal, with or without 0x.
std::optional<std::uint32_t> parseVersion(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string versionList(const std::set<std::uint32_t>& versions) {
    std::string list;
    for (const std::uint32_t version : versions) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%x", version);
        list += (list.empty() ? "" : " and ") + std::string(text);
    }
    return list;
}

// Applies one --withhold argument; answers what is wrong with it, or empty.
std::string withhold(TableOffer& offer, const std::string& argument) {
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const std::optional<TableId> table = tableNamed(name);
    if (!table) return "the host has no table named " + name;
    if (equals == std::string::npos) {
        offer.withhold(*table);
        return "";
    }
    const std::optional<std::uint32_t> version = parseVersion(std::string_view(argument).substr(equals + 1));
    if (!version) return "expected a hexadecimal version, such as " + name + "=0x50000";
    const TableOffer everything = TableOffer::everything();
    const std::set<std::uint32_t>& offered = everything.versions.at(*table);
    if (offered.count(*version) == 0) return "the host offers " + name + " only at " + versionList(offered);
    offer.withhold(*table, *version);
    return "";
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
        if (const std::string problem = withhold(config.tables, argument); !problem.empty()) {
            writeHostLines("ortheo: --withhold " + argument + ": " + problem + "\n");
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
            writeHostLines("ortheo: the plug-in was not loaded: " + outcome.refusal + "\n");
            return 2;
        }
        std::printf("Extension name: %s\n", outcome.extensionName.c_str());
        printTables(host.tables());
        return 0;
    } catch (const PluginLoadError& failure) {
        writeHostLines("ortheo: " + std::string(failure.what()) + "\n");
        return 2;
    } catch (const HostError& failure) {
        writeHostLines("ortheo: the plug-in failed while loading: " + std::string(failure.what()) + "\n");
        return 1;
    }
}

}  // namespace host
