#include "core/tables.h"

#include <algorithm>
#include <string>

namespace host {
namespace {

// How many entries each table holds: enough for the highest selector of its
// operations in the list, and one for a table with none, so that every table
// has an address.
template <class... Ops>
constexpr std::array<std::size_t, kTableCount> tableLengths(std::tuple<Ops...>*) {
    std::array<std::size_t, kTableCount> lengths{};
    lengths.fill(1);
    ((lengths[static_cast<std::size_t>(Ops::table)] =
          std::max<std::size_t>(lengths[static_cast<std::size_t>(Ops::table)], Ops::selector + 1)),
     ...);
    return lengths;
}

constexpr std::array<std::size_t, kTableCount> kTableLengths = tableLengths(static_cast<AllOperations*>(nullptr));

}  // namespace

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
    for (std::size_t table = 0; table < kTableCount; ++table) entries_[table].assign(kTableLengths[table], nullptr);
    fillNotImplemented(static_cast<AllOperations*>(nullptr));
}

void TableRegistry::setEntry(TableId table, std::uint32_t selector, Proc proc) {
    entries_[static_cast<std::size_t>(table)].at(selector) = proc;
    for (auto& [key, entries] : instances_) {
        if (key.first == table) entries[selector] = proc;
    }
}

HostTable TableRegistry::instance(TableId table, std::uint32_t version) {
    const auto [made, isNew] = instances_.try_emplace({table, version}, entries_[static_cast<std::size_t>(table)]);
    if (isNew) versions_[made->second.data()] = version;
    return made->second.data();
}

HostTable TableRegistry::find(TableId table, std::uint32_t version) {
    const auto offered = offer_.versions.find(table);
    if (offered == offer_.versions.end() || offered->second.count(version) == 0) return nullptr;
    handedOut_[table] = version;
    return instance(table, version);
}

std::uint32_t TableRegistry::versionOf(HostTable table) const {
    const auto found = versions_.find(table);
    if (found == versions_.end()) {
        raise(kErrBadArgument, "AcroSupport 103: not a table of this host");
    }
    return found->second;
}

HostTable TableRegistry::setupCoreTable() { return instance(TableId::Core, kHandshakeVersion); }

}  // namespace host
