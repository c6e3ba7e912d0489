// Host errors and exception frames (Core 2, 3 and 4; AcroSupport 4).
//
// A failing host operation never returns garbage: it raises. Inside the
// host, raising is throwing `HostError`; no C++ exception ever leaves the
// host, though. The table's entry point catches it, records the error as the
// one in flight (answered by Core 4, its text by AcroSupport 4), lets every
// object of the call be destroyed, and then, outside any catch block, calls
// the restore procedure of the plug-in's top frame. That procedure resumes
// the plug-in at the point it saved (a jump) and never returns. A raise with
// no frame pushed, a restore procedure that returns, and a C++ exception
// that reaches an entry point from either side are defects of the plug-in:
// the host says so in one line and stops the process, as a real host would
// (less politely).
#pragma once

#include <cstddef>
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

// A raise inside the host, on its way to the entry point. Host code that
// calls host code directly (the command line) catches it as any exception.
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

// Raises inside the host: throws HostError.
[[noreturn]] void raise(ErrorCode code, const std::string& text);

// Stops the process with one line on standard error: what a real host does,
// less clearly, when a plug-in breaks its error contract.
[[noreturn]] void stopForContractBreach(const char* what) noexcept;

// Makes std::terminate, which a C++ exception reaching a noexcept entry point
// calls, say in one line what happened before it aborts.
void installStrictTerminateHandler();

class ErrorState {
public:
    // Records the error in flight. Bounded and allocation-free, so that it
    // can run while memory is short.
    void record(ErrorCode code, const char* text) noexcept;
    // Calls the top frame's restore procedure; never returns.
    [[noreturn]] void resumePlugin() noexcept;

    void pushFrame(FrameRecord* record, RestoreProc restore) {
        if (record == nullptr || restore == nullptr) raiseBadFrame();
        frames_.push_back({record, restore});
        ++pushed_;
    }
    void popFrame() {
        if (frames_.empty()) raiseNoFrame();
        frames_.pop_back();
        ++popped_;
    }
    std::size_t frameDepth() const { return frames_.size(); }
    std::size_t framesPushed() const { return pushed_; }
    std::size_t framesPopped() const { return popped_; }

    ErrorCode inFlight() const { return inFlightCode_; }
    const char* inFlightText() const { return inFlightText_; }
    // How many errors were raised to the plug-in so far.
    std::size_t raisedCount() const { return raisedCount_; }
    // Writes the text of `code` into `buffer`, cut to fit `size` bytes.
    void describe(ErrorCode code, char* buffer, std::int32_t size) const;

private:
    [[noreturn]] static void raiseBadFrame();
    [[noreturn]] static void raiseNoFrame();

    struct Frame {
        FrameRecord* record;
        RestoreProc restore;
    };
    std::vector<Frame> frames_;
    std::size_t pushed_ = 0;
    std::size_t popped_ = 0;
    ErrorCode inFlightCode_ = kErrNone;
    char inFlightText_[512] = {};
    std::size_t raisedCount_ = 0;
};

}  // namespace host
