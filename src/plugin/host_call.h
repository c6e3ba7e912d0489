// Typed calls into the host's function tables, each under a frame of its own.
//
// `callHost<host::op::X>(args...)` looks the operation up in the table that
// the plug-in imported and calls it with the signature the operation list
// gives. The call is guarded the host's way: it pushes a frame (Core 2)
// whose restore procedure jumps back to a resume point saved here, makes the
// call and pops the frame (Core 3). When the operation raises, the host
// resumes the plug-in at that point; the frame is popped and `HostRaised` is
// thrown, in plug-in code, so that the plug-in's catch-alls see the failure
// and its destructors run. The jump skips only the host's part of the stack
// and this function's own, where no object with a destructor lives between
// the resume point and the call.
//
// A table that was not imported, or an entry the host left null, throws
// `MissingHostOperation`; the catch-alls handle it like a raise. A table's
// length is not known: the version agreed at import promises the selector.
#pragma once

#include <csetjmp>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "plugin/host_services.h"
#include "plugin/plugin_state.h"

namespace ortheo {

class MissingHostOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host raised: its code and text are the error in flight (Core 4,
// AcroSupport 4).
struct HostRaised {};

// A pushed frame: the record the host keeps, and where the plug-in resumes.
// The record comes first, so that the restore procedure finds the rest.
struct CallFrame {
    host::FrameRecord record;
    std::jmp_buf resume;
};

// The restore procedure of every frame the plug-in pushes: jumps back to the
// frame's resume point, with the value 1.
[[noreturn]] void ORTHEO_CDECL ResumeAtFrame(host::FrameRecord* record);

[[noreturn]] void throwMissingHostOperation(host::TableId table);

template <class Op>
typename Op::Type* hostEntry() {
    const host::HostTable table = pluginState()[Op::table].table;
    if (table == nullptr || table[Op::selector] == nullptr) [[unlikely]] {
        throwMissingHostOperation(Op::table);
    }
    return reinterpret_cast<typename Op::Type*>(table[Op::selector]);
}

template <class Op>
constexpr bool kFrameOperation = std::is_same_v<Op, host::op::PushFrame> || std::is_same_v<Op, host::op::PopFrame>;

template <class Op, class... Args>
decltype(auto) callHost(Args&&... args) {
    const auto entry = hostEntry<Op>();
    if constexpr (kFrameOperation<Op>) {
        return entry(std::forward<Args>(args)...);
    } else {
        const auto push = hostEntry<host::op::PushFrame>();
        const auto pop = hostEntry<host::op::PopFrame>();
        CallFrame frame;
        push(&frame.record, &ResumeAtFrame);
        if (setjmp(frame.resume) != 0) {
            pop();
            throw HostRaised{};
        }
        if constexpr (std::is_void_v<decltype(entry(std::forward<Args>(args)...))>) {
            entry(std::forward<Args>(args)...);
            pop();
        } else {
            const auto answer = entry(std::forward<Args>(args)...);
            pop();
            return answer;
        }
    }
}

// Registers a plug-in procedure with the host (Core 8) under this plug-in's
// extension handle.
template <class Procedure>
host::Callback makeCallback(Procedure* procedure) {
    return callHost<host::op::NewCallback>(pluginState().extension,
                                           reinterpret_cast<host::Proc>(procedure));
}

}  // namespace ortheo
