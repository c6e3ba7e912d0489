#include "core/tables.h"

#include <string>

namespace host {

TableOffer TableOffer::everything() {
    TableOffer offer;
    for (const TableRequest& request : kTableRequests) offer.versions[request.id].insert(request.version);
    offer.versions[TableId::Core].insert(kHandshakeVersion);
    return offer;
}

void TableOffer::withhold(TableId table) { versions[table].clear(); }

void TableOffer::withhold(TableId table, std::uint32_t version) { versions[table].erase(version); }

TableRegistry::TableRegistry(TableOffer offer) : offer_(std::move(offer)) {
    // Only the eight tables the plug-in calls into hold operations; the
    // other seven are offered empty.
    for (auto& table : entries_) table.assign(kMaxSelector, nullptr);
    fillNotImplemented(static_cast<AllOperations*>(nullptr));
}

HostTable* TableRegistry::instance(TableId table, std::uint32_t version) {
    auto& slot = instances_[{table, version}];
    if (!slot) {
        std::vector<Proc>& entries = entries_[static_cast<std::size_t>(table)];
        std::uint32_t count = 0;
        for (std::uint32_t i = 0; i < entries.size(); ++i) {
            if (entries[i] != nullptr) count = i + 1;
        }
        slot = std::make_unique<HostTable>(HostTable{count, entries.data()});
        versions_[slot.get()] = version;
    }
    return slot.get();
}

HostTable* TableRegistry::find(TableId table, std::uint32_t version) {
    const auto offered = offer_.versions.find(table);
    if (offered == offer_.versions.end() || offered->second.count(version) == 0) return nullptr;
    handedOut_[table] = version;
    return instance(table, version);
}

std::uint32_t TableRegistry::versionOf(const HostTable* table) const {
    const auto found = versions_.find(table);
    if (found == versions_.end()) {
        raise(kErrBadArgument, "AcroSupport 103: not a table of this host");
    }
    return found->second;
}

HostTable* TableRegistry::setupCoreTable() { return instance(TableId::Core, kHandshakeVersion); }

}  // namespace host
