// What a host operation raised, for tests that expect it to raise. A raise
// reaches the plug-in's typed calls as HostRaised, with the host's error in
// flight; host code called directly throws HostError.
#pragma once

#include <functional>
#include <string>

#include "core/core.h"
#include "core/errors.h"
#include "plugin/host_call.h"

namespace ortheo::testing {

// The code of the error `body` raised; kErrNone when it raised nothing.
inline host::ErrorCode raisedCode(const std::function<void()>& body) {
    try {
        body();
    } catch (const HostRaised&) {
        return host::Core::current().errors().inFlight();
    } catch (const host::HostError& error) {
        return error.code();
    }
    return host::kErrNone;
}

// The text of the error `body` raised; "(nothing raised)" otherwise.
inline std::string raisedText(const std::function<void()>& body) {
    try {
        body();
    } catch (const HostRaised&) {
        return host::Core::current().errors().inFlightText();
    } catch (const host::HostError& error) {
        return error.what();
    }
    return "(nothing raised)";
}

}  // namespace ortheo::testing
