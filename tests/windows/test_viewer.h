// The viewer of the Windows test host: recording stand-ins for the AcroView
// operations that the plug-in calls while it registers itself, shows a note
// and runs its command. The core's call log records every call; this keeps
// only what the test host needs afterwards: the items and their execute
// procedures, the toolbar button's icon, the active view and the alerts.
#pragma once

#include <map>
#include <string>

#include "plugin/host_services.h"

namespace host {
class TableRegistry;
}

namespace test_host {

struct TestViewer {
    std::map<std::string, host::Handle> itemsByName;
    std::map<host::Handle, host::Callback> executeOf;
    void* buttonIcon = nullptr;
    host::Handle activeView = host::kNoHandle;
};

TestViewer& testViewer();

// Installs the stand-ins into the host's AcroView table.
void installViewerOperations(host::TableRegistry& tables);

// The execute procedure of the item named `name`; none when there is no
// such item or it has no procedure.
host::Callback executeProcedureOf(const std::string& name);

}  // namespace test_host
