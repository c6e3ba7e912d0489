// The host's core: handles that are checked, errors and frames, fault
// injection, and the table registry.

#include <gtest/gtest.h>

#include "support/raised.h"
#include "core/atoms.h"
#include "core/call_log.h"
#include "core/errors.h"
#include "core/handles.h"
#include "core/tables.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"

namespace ortheo {
namespace {

using host::HostError;
using testing::LoadedPlugin;
using testing::raisedText;

TEST(HandleRegistry, RaisesForNullForeignAndStaleHandles) {
    host::Host hostRef;
    host::HandleRegistry<int> streams(host::HandleKind::Stream);
    host::HandleRegistry<int> pages(host::HandleKind::Page);
    const host::Handle stream = streams.add(7);
    const host::Handle page = pages.add(8);

    EXPECT_EQ(streams.get(stream), 7);
    EXPECT_EQ(raisedText([&] { streams.get(0); }), "Expected a stream, got null handle 0");
    EXPECT_EQ(raisedText([&] { streams.get(page); }).rfind("Expected a stream, got handle of another kind", 0), 0u);
    streams.remove(stream);
    EXPECT_EQ(raisedText([&] { streams.get(stream); }).rfind("Expected a stream, got stale handle", 0), 0u);

    const host::Handle reused = streams.add(9);
    EXPECT_NE(reused, stream) << "a slot used again gets a new generation";
    EXPECT_EQ(streams.find(stream), nullptr);
}

TEST(HostErrors, TheErrorInFlightAndItsTextReachThePlugin) {
    LoadedPlugin loaded;
    ASSERT_TRUE(loaded.outcome().loaded);
    EXPECT_THROW(callHost<host::op::StringFromAtom>(host::Atom{4000}), HostRaised);

    const host::ErrorCode code = callHost<host::op::ErrorCodeInFlight>();
    EXPECT_EQ(code, host::kErrBadArgument);
    char text[256] = {};
    callHost<host::op::ErrorText>(code, text, 256);
    EXPECT_STREQ(text, "Core 7: 4000 is not an atom");

    char small[8] = {};
    callHost<host::op::ErrorText>(code, small, 8);
    EXPECT_STREQ(small, "Core 7:");
    callHost<host::op::ErrorText>(host::kErrNoMemory, text, 256);
    EXPECT_STREQ(text, "Out of memory");
}

// A frame of the plug-in's kind, pushed by hand around a raw table entry:
// the host must resume it by calling its restore procedure, with its record.
host::FrameRecord* restoredRecord = nullptr;

void recordAndResume(host::FrameRecord* record) {
    restoredRecord = record;
    ResumeAtFrame(record);
}

TEST(HostErrors, ARaiseCallsTheTopFramesRestoreProcedureWhichResumesAtItsPoint) {
    LoadedPlugin loaded;
    const auto stringFromAtom = hostEntry<host::op::StringFromAtom>();
    CallFrame frame;
    callHost<host::op::PushFrame>(&frame.record, &recordAndResume);
    volatile int resumed = 0;
    if (setjmp(frame.resume) == 0) {
        stringFromAtom(host::kNullAtom);
        ADD_FAILURE() << "the raise returned";
    } else {
        resumed = 1;
    }
    EXPECT_EQ(resumed, 1);
    EXPECT_EQ(restoredRecord, &frame.record);
    EXPECT_EQ(loaded.host().errors().frameDepth(), 1u) << "the frame is the plug-in's to pop";
    callHost<host::op::PopFrame>();
    EXPECT_EQ(loaded.host().errors().inFlight(), host::kErrBadArgument);
}

TEST(FaultInjection, TheNthCallRaisesAndTheOthersDoNot) {
    LoadedPlugin loaded;
    loaded.host().calls().injectFault(host::TableId::Core, 5, 2);
    EXPECT_NO_THROW(callHost<host::op::AtomFromString>("one"));
    EXPECT_EQ(raisedText([] { callHost<host::op::AtomFromString>("two"); }), "Injected fault in Core 5");
    EXPECT_NO_THROW(callHost<host::op::AtomFromString>("three"));
}

TEST(CallLog, RecordsTablesSelectorsAndArguments) {
    LoadedPlugin loaded;
    loaded.host().calls().setRecording(true);
    loaded.host().calls().clear();
    callHost<host::op::AtomFromString>("Text");
    std::vector<std::string> calls;
    for (const host::CallRecord& call : loaded.host().calls().records()) calls.push_back(call.toString());
    EXPECT_EQ(calls, (std::vector<std::string>{"Core 2 (ptr, ptr)", "Core 5 (\"Text\")", "Core 3 ()"}))
        << "each call of the plug-in's goes under a frame of its own";
}

template <class Op>
void expectAnEntryFor() {
    EXPECT_NO_THROW(hostEntry<Op>()) << host::tableName(Op::table) << " " << Op::selector;
}

template <class... Ops>
void expectAnEntryForEach(std::tuple<Ops...>*) {
    (expectAnEntryFor<Ops>(), ...);
}

TEST(Tables, EveryOperationOfTheListHasAnEntry) {
    LoadedPlugin loaded;
    expectAnEntryForEach(static_cast<host::AllOperations*>(nullptr));
}

TEST(Tables, EachVersionOfATableIsAnArrayOfItsOwn) {
    LoadedPlugin loaded;
    const host::HostTable setupCore = loaded.host().core().tables().setupCoreTable();
    const host::HostTable importedCore = pluginState()[host::TableId::Core].table;
    EXPECT_NE(setupCore, importedCore);
    EXPECT_EQ(callHost<host::op::TableVersion>(setupCore), 0x20000u);
    EXPECT_EQ(callHost<host::op::TableVersion>(importedCore), 0x50000u);
    EXPECT_EQ(setupCore[host::op::GetTable::selector], importedCore[host::op::GetTable::selector]);
}

TEST(Tables, VersionsAreAnsweredOnlyForTablesOfThisHost) {
    LoadedPlugin loaded;
    const host::Proc foreign[1] = {};
    EXPECT_THROW(callHost<host::op::TableVersion>(foreign), HostRaised);
    const host::Atom unknown = callHost<host::op::AtomFromString>("NoSuchTable");
    EXPECT_EQ(callHost<host::op::GetTable>(unknown, 0x60000u), nullptr);
}

}  // namespace
}  // namespace ortheo
