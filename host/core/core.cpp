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
namespace {

Core* currentCore = nullptr;

}  // namespace

Core::Core(const TableOffer& offer, bool recordCalls)
    : errors_(std::make_unique<ErrorState>()),
      atoms_(std::make_unique<AtomTable>()),
      calls_(std::make_unique<CallLog>()),
      callbacks_(std::make_unique<CallbackRegistry>()),
      tables_(std::make_unique<TableRegistry>(offer)),
      streams_(std::make_unique<Streams>()) {
    if (currentCore != nullptr) {
        std::fputs("ortheo host: a second host was made while one is current\n", stderr);
        std::abort();
    }
    currentCore = this;
    installStrictTerminateHandler();
    calls_->setRecording(recordCalls);
    installCoreOperations(*tables_);
}

Core::~Core() {
    streams_.reset();
    currentCore = nullptr;
}

Core& Core::current() {
    if (currentCore == nullptr) {
        std::fputs("ortheo host: a host operation was called with no host present\n", stderr);
        std::abort();
    }
    return *currentCore;
}

}  // namespace host
