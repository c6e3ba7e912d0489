// How a Host is set up: which table versions it offers, which menus the
// viewer has, and whether it records the calls it receives. Tests and the
// command line start from the defaults and withhold what they need to.
#pragma once

#include <set>
#include <string>

#include "core/tables.h"
#include "view/menus.h"

namespace host {

struct HostConfig {
    TableOffer tables = TableOffer::everything();
    std::set<std::string> menus = standardMenus();  // the viewer's menus, by name
    bool recordCalls = false;  // from the first call on, the handshake's included
};

}  // namespace host
