// Calls from the host into the plug-in's procedures (its entry, setup and
// handshake steps, init and unload, menu and button procedures, queries and
// enumeration procedures).
//
// A real host is not built with the plug-in's compiler: a C++ exception
// cannot come back out of a procedure into it, and the procedure must leave
// the exception frames as it found them. `callPlugin` holds the plug-in to
// both: it is noexcept, so an escaping exception stops the process with one
// line (see installStrictTerminateHandler), and unbalanced frames stop it
// too.
#pragma once

#include <cstddef>
#include <cstdio>
#include <type_traits>

#include "core/core.h"
#include "core/errors.h"

namespace host {

namespace detail {

inline void checkFramesBalanced(std::size_t before) noexcept {
    const std::size_t after = Core::current().errors().frameDepth();
    if (after == before) return;
    char line[160];
    std::snprintf(line, sizeof line, "a plug-in procedure returned with %zu exception frames pushed where it found %zu",
                  after, before);
    stopForContractBreach(line);
}

}  // namespace detail

template <class Procedure, class... Args>
auto callPlugin(Procedure procedure, Args... arguments) noexcept {
    const std::size_t framesBefore = Core::current().errors().frameDepth();
    if constexpr (std::is_void_v<decltype(procedure(arguments...))>) {
        procedure(arguments...);
        detail::checkFramesBalanced(framesBefore);
    } else {
        const auto answer = procedure(arguments...);
        detail::checkFramesBalanced(framesBefore);
        return answer;
    }
}

}  // namespace host
