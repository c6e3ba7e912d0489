#include "core/errors.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "core/error_output.h"

namespace host {
namespace {

void copyBounded(char* buffer, std::size_t size, const char* text) {
    const std::size_t length = std::min(std::strlen(text), size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

// What crossed: the text of a standard exception, the type of any other.
void reportCrossingException() {
    const std::exception_ptr crossing = std::current_exception();
    if (!crossing) {
        stopForContractBreach("std::terminate was called with no exception in flight");
    }
    char line[400];
    try {
        std::rethrow_exception(crossing);
    } catch (const std::exception& failure) {
        std::snprintf(line, sizeof line, "a C++ exception crossed a host entry point: %s", failure.what());
    } catch (...) {
        std::snprintf(line, sizeof line, "a C++ exception crossed a host entry point (not a std::exception)");
    }
    stopForContractBreach(line);
}

}  // namespace

const char* errorCodeText(ErrorCode code) {
    switch (code) {
        case kErrNone: return "No error";
        case kErrGeneral: return "General error";
        case kErrBadHandle: return "Invalid or stale handle";
        case kErrBadArgument: return "Bad argument";
        case kErrNoMemory: return "Out of memory";
        case kErrPdf: return "The file is damaged and could not be read";
        case kErrStreamRead: return "A stream could not be read";
        case kErrInjected: return "Injected fault";
        case kErrNotImplemented: return "Operation not implemented";
        case kErrFileOpen: return "The file could not be opened";
        case kErrBadPassword: return "Invalid password";
        default: return "Unknown error";
    }
}

void raise(ErrorCode code, const std::string& text) { throw HostError(code, text); }

void stopForContractBreach(const char* what) noexcept {
    char line[512];
    const int length = std::snprintf(line, sizeof line, "ortheo host: %s\n", what);
    writeHostLines(std::string_view(line, std::min(static_cast<std::size_t>(std::max(length, 0)), sizeof line - 1)));
    std::abort();
}

void installStrictTerminateHandler() { std::set_terminate(&reportCrossingException); }

void ErrorState::record(ErrorCode code, const char* text) noexcept {
    inFlightCode_ = code;
    copyBounded(inFlightText_, sizeof inFlightText_, text != nullptr ? text : "");
    ++raisedCount_;
}

void ErrorState::resumePlugin() noexcept {
    if (frames_.empty()) {
        char line[640];
        std::snprintf(line, sizeof line, "a host operation raised with no exception frame pushed (\"%s\")",
                      inFlightText_);
        stopForContractBreach(line);
    }
    const Frame top = frames_.back();
    top.restore(top.record);
    stopForContractBreach("an exception frame's restore procedure returned to the host");
}

void ErrorState::raiseBadFrame() { raise(kErrBadArgument, "Core 2: a frame needs a record and a restore procedure"); }

void ErrorState::raiseNoFrame() { raise(kErrBadArgument, "Core 3: no exception frame to pop"); }

void ErrorState::describe(ErrorCode code, char* buffer, std::int32_t size) const {
    if (buffer == nullptr || size <= 0) return;
    const bool inFlight = code == inFlightCode_ && inFlightText_[0] != '\0';
    copyBounded(buffer, static_cast<std::size_t>(size), inFlight ? inFlightText_ : errorCodeText(code));
}

}  // namespace host
