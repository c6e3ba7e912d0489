// The host's core: what every host offers a plug-in whatever its documents
// are made of: atoms, callbacks, errors and exception frames, streams, the
// record of calls, and the function tables (Core and AcroSupport).
//
// It stands on its own, without qpdf or FreeType, so that a small host made
// of it alone (a Windows test host among them) raises and records exactly as
// the full stand-in does. Exactly one Core is current at a time; the
// operations in the tables are plain functions and reach it through
// `Core::current()`. The Core owns its parts.
#pragma once

#include <memory>

#include "plugin/host_services.h"

namespace host {

class AtomTable;
class CallLog;
class CallbackRegistry;
class ErrorState;
class Streams;
class TableRegistry;
struct TableOffer;

class Core {
public:
    // Installs the Core and AcroSupport operations into its tables.
    Core(const TableOffer& offer, bool recordCalls);
    ~Core();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // The current core; aborts with a message when there is none.
    static Core& current() {
        if (current_ == nullptr) stopWithoutHost();
        return *current_;
    }

    ErrorState& errors() { return *errors_; }
    AtomTable& atoms() { return *atoms_; }
    CallLog& calls() { return *calls_; }
    CallbackRegistry& callbacks() { return *callbacks_; }
    TableRegistry& tables() { return *tables_; }
    Streams& streams() { return *streams_; }

    // The extension handle handed to the plug-in in its setup record.
    ExtensionHandle extension() const { return kExtension; }

private:
    static constexpr ExtensionHandle kExtension = 0x0E7E0001;
    [[noreturn]] static void stopWithoutHost();
    static inline Core* current_ = nullptr;

    std::unique_ptr<ErrorState> errors_;
    std::unique_ptr<AtomTable> atoms_;
    std::unique_ptr<CallLog> calls_;
    std::unique_ptr<CallbackRegistry> callbacks_;
    std::unique_ptr<TableRegistry> tables_;
    std::unique_ptr<Streams> streams_;
};

void installCoreOperations(TableRegistry& tables);  // Core, AcroSupport

}  // namespace host
