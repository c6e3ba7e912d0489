#include "app/interruption.h"

#include <csignal>

#include "model/output_target.h"

namespace host {
namespace {

extern "C" void removeOutputAndEnd(int signal) {
    removeTemporaryOutput();
    // Ends the process by the signal itself once the handler returns, the
    // signal being held back until then.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool ignored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

void handleInterruptions() {
    for (const int signal : kInterruptingSignals) {
        if (ignored(signal)) continue;
        struct sigaction action {};
        action.sa_handler = removeOutputAndEnd;
        sigemptyset(&action.sa_mask);
        for (const int other : kInterruptingSignals) sigaddset(&action.sa_mask, other);
        sigaction(signal, &action, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace host
