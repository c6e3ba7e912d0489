#include "host.h"

#include <cstdio>
#include <cstdlib>

#include "core/atoms.h"
#include "core/call_log.h"
#include "core/callbacks.h"
#include "core/core_operations.h"
#include "core/errors.h"
#include "core/streams.h"
#include "core/tables.h"
#include "cos/cos_objects.h"
#include "host_config.h"
#include "model/documents.h"

namespace host {
namespace {

Host* currentHost = nullptr;

}  // namespace

Host::Host() : Host(HostConfig{}) {}

Host::Host(const HostConfig& config)
    : errors_(std::make_unique<ErrorState>()),
      atoms_(std::make_unique<AtomTable>()),
      calls_(std::make_unique<CallLog>()),
      callbacks_(std::make_unique<CallbackRegistry>()),
      tables_(std::make_unique<TableRegistry>(config.tables)),
      documents_(std::make_unique<Documents>()),
      cos_(std::make_unique<CosObjects>()),
      streams_(std::make_unique<Streams>()) {
    if (currentHost != nullptr) {
        std::fputs("ortheo: a second host was made while one is current\n", stderr);
        std::abort();
    }
    currentHost = this;
    calls_->setRecording(config.recordCalls);
    installCoreOperations(*tables_);
    installCosOperations(*tables_);
}

Host::~Host() {
    // Documents go before the Cos objects that name them.
    streams_.reset();
    cos_.reset();
    documents_.reset();
    currentHost = nullptr;
}

Host& Host::current() {
    if (currentHost == nullptr) {
        std::fputs("ortheo: a host operation was called with no host present\n", stderr);
        std::abort();
    }
    return *currentHost;
}

}  // namespace host
