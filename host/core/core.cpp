#include "core/core.h"

#include <cstdio>
#include <cstdlib>

#include "core/atoms.h"
#include "core/call_log.h"
#include "core/callbacks.h"
#include "core/errors.h"
#include "core/streams.h"
#include "core/tables.h"

namespace host {

Core::Core(const TableOffer& offer, bool recordCalls)
    : errors_(std::make_unique<ErrorState>()),
      atoms_(std::make_unique<AtomTable>()),
      calls_(std::make_unique<CallLog>()),
      callbacks_(std::make_unique<CallbackRegistry>()),
      tables_(std::make_unique<TableRegistry>(offer)),
      streams_(std::make_unique<Streams>()) {
    if (current_ != nullptr) {
        std::fputs("ortheo host: a second host was made while one is current\n", stderr);
        std::abort();
    }
    current_ = this;
    installStrictTerminateHandler();
    calls_->setRecording(recordCalls);
    installCoreOperations(*tables_);
}

Core::~Core() {
    streams_.reset();
    current_ = nullptr;
}

void Core::stopWithoutHost() {
    std::fputs("ortheo host: a host operation was called with no host present\n", stderr);
    std::abort();
}

}  // namespace host
