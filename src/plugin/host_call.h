// Typed calls into the host's function tables.
//
// `callHost<host::op::X>(args...)` looks the operation up in the table that
// the plug-in imported and calls it with the signature the operation list
// gives. A table that was not imported, or one too short to hold the
// selector, throws `MissingHostOperation`; the plug-in's catch-alls handle it
// like any host failure.
#pragma once

#include <stdexcept>
#include <utility>

#include "plugin/host_services.h"
#include "plugin/plugin_state.h"

namespace ortheo {

class MissingHostOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

template <class Op>
typename Op::Type* hostEntry() {
    const host::HostTable* table = pluginState()[Op::table].table;
    if (table == nullptr || Op::selector >= table->count || table->entries[Op::selector] == nullptr) {
        throw MissingHostOperation(host::tableName(Op::table));
    }
    return reinterpret_cast<typename Op::Type*>(table->entries[Op::selector]);
}

template <class Op, class... Args>
decltype(auto) callHost(Args&&... args) {
    return hostEntry<Op>()(std::forward<Args>(args)...);
}

// Registers a plug-in procedure with the host (Core 8) under this plug-in's
// extension handle.
template <class Procedure>
host::Callback makeCallback(Procedure* procedure) {
    return callHost<host::op::NewCallback>(pluginState().extension,
                                           reinterpret_cast<host::Proc>(procedure));
}

}  // namespace ortheo
