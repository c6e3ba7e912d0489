// A host with the plug-in (linked in statically) loaded into it, as the
// viewer loads it: the entry, setup and handshake steps have run, so the
// plug-in's typed host calls reach this host.
#pragma once

#include <memory>

#include "app/plugin_loader.h"
#include "host.h"
#include "host_config.h"

namespace ortheo::testing {

class LoadedPlugin {
public:
    explicit LoadedPlugin(const host::HostConfig& config = {});

    host::Host& host() { return host_; }
    const host::HandshakeOutcome& outcome() const { return outcome_; }

private:
    host::Host host_;
    host::HandshakeOutcome outcome_;
};

}  // namespace ortheo::testing
