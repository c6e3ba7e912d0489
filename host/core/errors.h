// Host errors and exception frames (Core 2, 3 and 4; AcroSupport 4).
//
// A failing host operation never returns garbage: it raises. Raising records
// the error as the one in flight (answered by Core 4, its text by
// AcroSupport 4). While the plug-in has a frame pushed, the host then calls
// that frame's restore procedure, which unwinds the plug-in to its resume
// point by throwing; should the procedure return, or with no frame pushed,
// the host throws `HostError`.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/host_services.h"

namespace host {

enum HostErrorCode : ErrorCode {
    kErrNone = 0,
    kErrGeneral = 0x40000001,
    kErrBadHandle,
    kErrBadArgument,
    kErrNoMemory,
    kErrPdf,
    kErrStreamRead,
    kErrInjected,
    kErrNotImplemented,
    kErrFileOpen,
    kErrBadPassword,
};

class HostError : public std::runtime_error {
public:
    HostError(ErrorCode code, const std::string& text) : std::runtime_error(text), code_(code) {}
    ErrorCode code() const { return code_; }

private:
    ErrorCode code_;
};

// The general text of an error code, as AcroSupport 4 answers it for codes
// other than the one in flight.
const char* errorCodeText(ErrorCode code);

class ErrorState {
public:
    [[noreturn]] void raise(ErrorCode code, const std::string& text);

    void pushFrame(FrameRecord* record, RestoreProc restore);
    void popFrame();
    std::size_t frameDepth() const { return frames_.size(); }

    ErrorCode inFlight() const { return inFlightCode_; }
    const std::string& inFlightText() const { return inFlightText_; }
    // How many errors were raised so far.
    std::size_t raisedCount() const { return raisedCount_; }
    // Writes the text of `code` into `buffer`, cut to fit `size` bytes.
    void describe(ErrorCode code, char* buffer, std::int32_t size) const;

private:
    struct Frame {
        FrameRecord* record;
        RestoreProc restore;
    };
    std::vector<Frame> frames_;
    ErrorCode inFlightCode_ = kErrNone;
    std::string inFlightText_;
    std::size_t raisedCount_ = 0;
};

// Raises on the current host.
[[noreturn]] void raise(ErrorCode code, const std::string& text);

}  // namespace host
