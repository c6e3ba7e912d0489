#include "plugin/host_edge.h"

namespace ortheo {
namespace {

std::exception_ptr keptFailure;

}  // namespace

void throwMissingHostOperation(host::TableId table) { throw MissingHostOperation(host::tableName(table)); }

void ResumeAtFrame(host::FrameRecord* record) {
    CallFrame* frame = reinterpret_cast<CallFrame*>(record);
    std::longjmp(frame->resume, 1);
}

void keepEnumerationFailure(std::exception_ptr failure) noexcept { keptFailure = std::move(failure); }

void forgetEnumerationFailure() noexcept { keptFailure = nullptr; }

void rethrowEnumerationFailure() {
    if (!keptFailure) return;
    std::rethrow_exception(std::exchange(keptFailure, nullptr));
}

}  // namespace ortheo
