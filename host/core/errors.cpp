#include "core/errors.h"

#include <cstring>

#include "host.h"

namespace host {

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

void raise(ErrorCode code, const std::string& text) { Host::current().errors().raise(code, text); }

void ErrorState::raise(ErrorCode code, const std::string& text) {
    inFlightCode_ = code;
    inFlightText_ = text;
    ++raisedCount_;
    if (!frames_.empty()) {
        const Frame top = frames_.back();
        top.restore(top.record);
    }
    throw HostError(code, text);
}

void ErrorState::pushFrame(FrameRecord* record, RestoreProc restore) {
    if (record == nullptr || restore == nullptr) raise(kErrBadArgument, "Core 2: a frame needs a record and a restore procedure");
    frames_.push_back({record, restore});
}

void ErrorState::popFrame() {
    if (frames_.empty()) raise(kErrBadArgument, "Core 3: no exception frame to pop");
    frames_.pop_back();
}

void ErrorState::describe(ErrorCode code, char* buffer, std::int32_t size) const {
    if (buffer == nullptr || size <= 0) return;
    const std::string text = code == inFlightCode_ && !inFlightText_.empty() ? inFlightText_
                                                                             : errorCodeText(code);
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace host
