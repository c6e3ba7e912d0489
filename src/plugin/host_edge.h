// The edge between the host and the plug-in's procedures that the host
// calls: the command, the queries, the notes, init and unload, the setup and
// handshake steps, and the enumeration procedures.
//
// No failure crosses that edge back into the host: the host is not built
// with our compiler, and an exception reaching its frames would end the
// process. A procedure answers a value of failure instead. An enumeration
// procedure that fails keeps its failure and stops the enumeration; the call
// that started the enumeration throws it again once the host has returned,
// so it ends where any failure of that call would.
#pragma once

#include <exception>
#include <utility>

#include "plugin/host_call.h"

namespace ortheo {

template <class Result, class Body>
Result answerAtEdge(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

template <class Body>
void runAtEdge(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        // Nothing to answer: the failure ends here.
    }
}

void keepEnumerationFailure(std::exception_ptr failure) noexcept;
void forgetEnumerationFailure() noexcept;
// Throws the kept failure, if any, and forgets it.
void rethrowEnumerationFailure();

// One step of an enumeration procedure: answers 1 to go on, or keeps the
// failure and answers 0, which stops the enumeration.
template <class Body>
host::Bool16 enumerationStep(Body&& body) noexcept {
    try {
        body();
        return 1;
    } catch (...) {
        keepEnumerationFailure(std::current_exception());
        return 0;
    }
}

// Calls an operation of the host that calls a procedure of ours back.
template <class Op, class... Args>
void callHostEnumeration(Args&&... args) {
    forgetEnumerationFailure();
    callHost<Op>(std::forward<Args>(args)...);
    rethrowEnumerationFailure();
}

}  // namespace ortheo
