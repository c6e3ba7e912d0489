// The host holds the plug-in to its error contract as strictly as a real
// host, which is not built with our compiler: a raise resumes the plug-in by
// a jump; a raise with no frame, a restore procedure that returns, a C++
// exception reaching an entry point from either side, and a procedure that
// leaves frames behind each stop the process with one line.

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/errors.h"
#include "model/documents.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"

namespace ortheo {
namespace {

using testing::LoadedPlugin;

void returnToTheHost(host::FrameRecord*) {}

struct Unwound {};
// How the plug-in resumed before the host was strict: by throwing through it.
void throwThroughTheHost(host::FrameRecord*) { throw Unwound{}; }

// Makes one raw call (no guard of the plug-in's) that raises.
void raiseOnce() { hostEntry<host::op::StringFromAtom>()(host::kNullAtom); }

TEST(StrictHostDeathTest, ARaiseWithNoFramePushedStopsTheProcess) {
    EXPECT_DEATH(
        {
            LoadedPlugin loaded;
            raiseOnce();
        },
        "^ortheo host: a host operation raised with no exception frame pushed \\(\"Core 7: 65535 is not an atom\"\\)\n");
}

TEST(StrictHostDeathTest, ARestoreProcedureThatReturnsStopsTheProcess) {
    EXPECT_DEATH(
        {
            LoadedPlugin loaded;
            host::FrameRecord record;
            callHost<host::op::PushFrame>(&record, &returnToTheHost);
            raiseOnce();
        },
        "^ortheo host: an exception frame's restore procedure returned to the host\n");
}

// Resuming by throwing a C++ exception through the host's frames would pass
// in a lax host; a real one would end. So does this one.
TEST(StrictHostDeathTest, ARestoreProcedureThatThrowsStopsTheProcess) {
    EXPECT_DEATH(
        {
            LoadedPlugin loaded;
            host::FrameRecord record;
            callHost<host::op::PushFrame>(&record, &throwThroughTheHost);
            try {
                raiseOnce();
            } catch (const Unwound&) {
                std::fputs("the exception came through\n", stderr);
            }
        },
        "^ortheo host: a C\\+\\+ exception crossed a host entry point \\(not a std::exception\\)\n");
}

host::Bool16 throwingProcedure(host::Handle, void*, host::ClientData) { throw std::runtime_error("from a font procedure"); }

TEST(StrictHostDeathTest, AnExceptionOutOfAPluginProcedureStopsTheProcess) {
    EXPECT_DEATH(
        {
            LoadedPlugin loaded;
            const host::Handle document = loaded.host().documents().open(ORTHEO_FIXTURES "/latex.pdf");
            callHost<host::op::DocEnumFonts>(document, 0, 0, &throwingProcedure, nullptr, 0, 0);
        },
        "^ortheo host: a C\\+\\+ exception crossed a host entry point: from a font procedure\n");
}

host::Bool16 leaveAFramePushed(host::Handle, void*, host::ClientData) {
    static host::FrameRecord record;
    callHost<host::op::PushFrame>(&record, &ResumeAtFrame);
    return 0;
}

TEST(StrictHostDeathTest, AProcedureThatLeavesAFramePushedStopsTheProcess) {
    EXPECT_DEATH(
        {
            LoadedPlugin loaded;
            const host::Handle document = loaded.host().documents().open(ORTHEO_FIXTURES "/latex.pdf");
            callHost<host::op::DocEnumFonts>(document, 0, 0, &leaveAFramePushed, nullptr, 0, 0);
        },
        "^ortheo host: a plug-in procedure returned with 2 exception frames pushed where it found 1\n");
}

TEST(StrictHostDeathTest, PoppingAFrameTwiceStopsTheProcess) {
    EXPECT_DEATH(
        {
            LoadedPlugin loaded;
            CallFrame frame;
            callHost<host::op::PushFrame>(&frame.record, &ResumeAtFrame);
            callHost<host::op::PopFrame>();
            callHost<host::op::PopFrame>();
        },
        "^ortheo host: a host operation raised with no exception frame pushed \\(\"Core 3: no exception frame to pop\"\\)\n");
}

}  // namespace
}  // namespace ortheo
