// What a host operation raised, for tests that expect it to raise.
#pragma once

#include <functional>
#include <string>

#include "core/errors.h"

namespace ortheo::testing {

// The code of the HostError `body` raised; kErrNone when it raised nothing.
inline host::ErrorCode raisedCode(const std::function<void()>& body) {
    try {
        body();
    } catch (const host::HostError& error) {
        return error.code();
    }
    return host::kErrNone;
}

// The text of the HostError `body` raised; "(nothing raised)" otherwise.
inline std::string raisedText(const std::function<void()>& body) {
    try {
        body();
    } catch (const host::HostError& error) {
        return error.what();
    }
    return "(nothing raised)";
}

}  // namespace ortheo::testing
