// The Core and AcroSupport tables: frames and errors, atoms, callbacks,
// table look-up and versions, and reading opened streams.
#pragma once

namespace host {

class TableRegistry;

void installCoreOperations(TableRegistry& tables);

}  // namespace host
