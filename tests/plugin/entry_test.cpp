// The plug-in's entry, setup and handshake, as the host sees them.

#include <gtest/gtest.h>

#include "core/atoms.h"
#include "core/call_log.h"
#include "core/callbacks.h"
#include "core/tables.h"
#include "plugin/entry.h"
#include "plugin/plugin_state.h"
#include "support/loaded_plugin.h"
#include "support/stderr_capture.h"

namespace ortheo {
namespace {

using host::TableId;
using testing::LoadedPlugin;
using testing::StderrCapture;

host::HostConfig recordingWith(const std::function<void(host::TableOffer&)>& adjust) {
    host::HostConfig config;
    config.recordCalls = true;
    adjust(config.tables);
    return config;
}

// The versions, in order, that the plug-in asked Core 10 for under a name.
std::vector<std::string> versionsAskedFor(host::Host& hostRef, const char* name) {
    const std::string atom = std::to_string(hostRef.atoms().intern(name));
    std::vector<std::string> versions;
    for (const host::CallRecord& call : hostRef.calls().records()) {
        if (call.table == TableId::Core && call.selector == 10 && call.arguments[0] == atom) {
            versions.push_back(call.arguments[1]);
        }
    }
    return versions;
}

TEST(PlugInMain, AnswersTheHandshakeVersionItCanSpeak) {
    std::uint32_t answered = 0;
    host::SetupProc setup = nullptr;
    host::WindowsData data{0, reinterpret_cast<void*>(0x1234)};

    EXPECT_EQ(PlugInMain(0x30000, &answered, &setup, &data), 1);
    EXPECT_EQ(answered, 0x20000u);
    EXPECT_EQ(setup, &SetupPlugin);
    EXPECT_EQ(pluginState().moduleInstance, reinterpret_cast<void*>(0x1234));

    EXPECT_EQ(PlugInMain(0x10000, &answered, &setup, &data), 1);
    EXPECT_EQ(answered, 0x10000u);
}

TEST(SetupPlugin, RefusesEveryVersionButItsOwn) {
    host::SetupRecord record{0x20000, 1, nullptr, 0};
    EXPECT_EQ(SetupPlugin(0x10000, &record), 0);
    record.version = 0x30000;
    EXPECT_EQ(SetupPlugin(0x20000, &record), 0);
    EXPECT_EQ(record.handshake, host::kNoCallback);
}

TEST(SetupPlugin, ImportsAllFifteenTablesAtTheVersionsAsked) {
    LoadedPlugin loaded;
    ASSERT_TRUE(loaded.outcome().loaded) << loaded.outcome().refusal;
    for (const host::TableRequest& request : host::kTableRequests) {
        EXPECT_EQ(pluginState()[request.id].version, request.version) << request.name;
        EXPECT_NE(pluginState()[request.id].table, nullptr) << request.name;
    }
}

TEST(ImportHostTable, FallsBackThroughNewerKnownVersions) {
    StderrCapture trace;
    LoadedPlugin loaded(recordingWith([](host::TableOffer& offer) {
        offer.withhold(TableId::Win);
        offer.versions[TableId::Win].insert(0x50001);
    }));
    ASSERT_TRUE(loaded.outcome().loaded) << loaded.outcome().refusal;
    EXPECT_EQ(versionsAskedFor(loaded.host(), "Win"), (std::vector<std::string>{"327680", "327681"}));
    EXPECT_EQ(pluginState()[TableId::Win].version, 0x50001u);
    EXPECT_EQ(trace.text(), "");
}

TEST(ImportHostTable, TracesATableNoListedVersionCanReplace) {
    StderrCapture trace;
    LoadedPlugin loaded(recordingWith([](host::TableOffer& offer) { offer.withhold(TableId::Win); }));
    EXPECT_FALSE(loaded.outcome().loaded);
    EXPECT_EQ(versionsAskedFor(loaded.host(), "Win"), (std::vector<std::string>{"327680", "327681", "327680"}));
    EXPECT_EQ(trace.text(), "failed on Win version 50000\n");
}

TEST(ImportHostTable, AsksOnlyTheDirectRequestAbove0x50001) {
    StderrCapture trace;
    LoadedPlugin loaded(recordingWith([](host::TableOffer& offer) { offer.withhold(TableId::AcroColorHFT); }));
    EXPECT_FALSE(loaded.outcome().loaded);
    EXPECT_EQ(versionsAskedFor(loaded.host(), "AcroColorHFT"), (std::vector<std::string>{"393216"}));
    EXPECT_EQ(trace.text(), "failed on AcroColorHFT version 60000\n");
}

TEST(ImportHostTable, WithoutAcroSupportAt0x60000NothingLoads) {
    StderrCapture trace;
    LoadedPlugin loaded(recordingWith([](host::TableOffer& offer) { offer.withhold(TableId::AcroSupport); }));
    EXPECT_FALSE(loaded.outcome().loaded);
    EXPECT_EQ(trace.text(), "failed on AcroSupport version 60000\n");
    EXPECT_TRUE(versionsAskedFor(loaded.host(), "Core").empty());
}

TEST(ImportHostTable, StopsAtTheFirstTableThatFails) {
    StderrCapture trace;
    LoadedPlugin loaded(recordingWith([](host::TableOffer& offer) { offer.withhold(TableId::Cos); }));
    EXPECT_FALSE(loaded.outcome().loaded);
    EXPECT_EQ(trace.text(), "failed on Cos version 60000\n");
    EXPECT_TRUE(versionsAskedFor(loaded.host(), "PDModel").empty());
    EXPECT_TRUE(versionsAskedFor(loaded.host(), "AcroColorHFT").empty());
}

TEST(ImportHostTable, MarksABetaRequestInTheTrace) {
    LoadedPlugin loaded;
    ASSERT_TRUE(loaded.outcome().loaded);
    std::uint32_t version = 1;
    host::HostTable table = reinterpret_cast<host::HostTable>(1);

    StderrCapture trace;
    EXPECT_EQ(ImportHostTable("Nowhere", 0x80060000, &version, &table), 0);
    EXPECT_EQ(ImportHostTable("Nowhere", 0x60000, &version, &table), 0);
    EXPECT_EQ(trace.text(), "failed on Nowhere version (beta)60000\nfailed on Nowhere version 60000\n");
    EXPECT_EQ(version, 0u);
    EXPECT_EQ(table, nullptr);
}

TEST(HandshakePlugin, NamesThePluginAndHandsOverFourProcedures) {
    LoadedPlugin loaded;
    ASSERT_TRUE(loaded.outcome().loaded);
    host::HandshakeRecord record{};
    record.size = 0xAAAA;
    record.flags = 0xBBBB;

    EXPECT_EQ(HandshakePlugin(0x10000, &record), 0);
    EXPECT_EQ(record.extensionName, host::kNullAtom);

    ASSERT_EQ(HandshakePlugin(0x20000, &record), 1);
    EXPECT_EQ(record.size, 0xAAAAu);
    EXPECT_EQ(record.flags, 0xBBBB);
    EXPECT_STREQ(loaded.host().atoms().text(record.extensionName), "ZORV:ortheo");
    auto& callbacks = loaded.host().callbacks();
    EXPECT_EQ(callbacks.resolve<host::AnswerProc>(record.exportTables)(), 1);
    EXPECT_EQ(callbacks.resolve<host::AnswerProc>(record.importReplace)(), 1);
    EXPECT_NE(record.exportTables, record.importReplace);
    EXPECT_EQ(callbacks.resolve<host::AnswerProc>(record.init)(), 1);
    EXPECT_EQ(callbacks.resolve<host::AnswerProc>(record.unload)(), 1);
}

}  // namespace
}  // namespace ortheo
