// How a Host is set up: which table versions it offers, and whether it
// records the calls it receives. Tests and the
// command line start from the defaults and withhold what they need to.
#pragma once

#include "core/tables.h"

namespace host {

struct HostConfig {
    TableOffer tables = TableOffer::everything();
    bool recordCalls = false;  // from the first call on, the handshake's included
};

}  // namespace host
