// The plug-in's registration and its report command, seen from the host:
// the calls it records, the menus and queries, the frame and the log.

#include <gtest/gtest.h>

#include "app/viewer_session.h"
#include "core/atoms.h"
#include "core/call_log.h"
#include "core/errors.h"
#include "model/documents.h"
#include "plugin/command.h"
#include "plugin/entry.h"
#include "plugin/log.h"
#include "plugin/plugin_state.h"
#include "plugin/win_platform.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"
#include "support/stderr_capture.h"
#include "view/menus.h"
#include "view/viewer.h"
#include "view/windows.h"

namespace ortheo {
namespace {

using Lines = std::vector<std::string>;
using testing::StderrCapture;

host::HostConfig recording(std::set<std::string> menus = host::standardMenus()) {
    host::HostConfig config;
    config.recordCalls = true;
    config.menus = std::move(menus);
    return config;
}

std::unique_ptr<host::ViewerSession> startSession(const host::HostConfig& config = recording()) {
    pluginState() = PluginState{};
    return std::make_unique<host::ViewerSession>(&PlugInMain, config);
}

// A recorded call as text, with handles (large numbers) shown as "h" and
// the atoms of AcroView 163 and 169 by their names.
std::string normalized(host::Host& hostRef, const host::CallRecord& call) {
    std::string text = "AcroView " + std::to_string(call.selector) + " (";
    for (std::size_t i = 0; i < call.arguments.size(); ++i) {
        std::string argument = call.arguments[i];
        const bool isAtom = (call.selector == 163 && i == 1) || (call.selector == 169 && i == 0);
        if (isAtom) {
            argument = hostRef.atoms().text(static_cast<host::Atom>(std::stoul(argument)));
        } else if (std::isdigit(static_cast<unsigned char>(argument[0])) && std::stoull(argument) >= 0x8000000) {
            argument = "h";
        }
        text += (i > 0 ? ", " : "") + argument;
    }
    return text + ")";
}

Lines viewerCalls(host::Host& hostRef) {
    Lines calls;
    for (const host::CallRecord& call : hostRef.calls().records()) {
        if (call.table == host::TableId::AcroView) calls.push_back(normalized(hostRef, call));
    }
    return calls;
}

TEST(Registration, RegistersToolButtonAndItemsInOrderAndReleasesEveryMenu) {
    auto session = startSession();
    host::Host& hostRef = session->host();
    EXPECT_EQ(viewerCalls(hostRef), (Lines{
                                        "AcroView 443 (ptr)",
                                        "AcroView 17 ()",
                                        "AcroView 163 (h, endToolsGroup)",
                                        "AcroView 169 (ZORV:Ortheo, ptr, 1, 0)",
                                        "AcroView 175 (h, h, null)",
                                        "AcroView 176 (h, h, 16)",
                                        "AcroView 177 (h, h, null)",
                                        "AcroView 165 (h, h, 1, h)",
                                        "AcroView 16 ()",
                                        "AcroView 71 (h, \"Advanced\")",
                                        "AcroView 90 (\"ortheo\", \"ZORV:Ortheo\", 0, 1, 0, 0, 0, h)",
                                        "AcroView 99 (h, h, null)",
                                        "AcroView 100 (h, h, 16)",
                                        "AcroView 101 (h, h, null)",
                                        "AcroView 89 (h, h, 9999)",
                                        "AcroView 80 (h)",
                                        "AcroView 71 (h, \"UsingExtensions\")",
                                        "AcroView 90 (\"Ortheo\", \"ZORV:OrtheoHelp\", 0, 0, 0, 0, 0, h)",
                                        "AcroView 99 (h, h, null)",
                                        "AcroView 89 (h, h, 9999)",
                                        "AcroView 80 (h)",
                                        "AcroView 71 (h, \"AboutExtensions\")",
                                        "AcroView 90 (\"Ortheo\", \"ZORV:OrtheoAbout\", 0, 0, 0, 0, 0, h)",
                                        "AcroView 99 (h, h, null)",
                                        "AcroView 89 (h, h, 9999)",
                                        "AcroView 80 (h)",
                                        "AcroView 71 (h, \"Prefs\")",
                                        "AcroView 89 (h, h, 9999)",
                                        "AcroView 80 (h)",
                                    }));
    EXPECT_EQ(hostRef.menus().heldMenus(), 0);
    EXPECT_NE(hostRef.menus().describe().find("Menu \"Prefs\"\n  item \"Ortheo\" ZORV:OrtheoAbout"), std::string::npos);

    const host::ToolRecord& tool = toolRecord();
    EXPECT_EQ(tool.fields[0], 88u);
    EXPECT_NE(tool.fields[1], 0u);
    EXPECT_NE(tool.fields[6], 0u);
    const host::Handle item = hostRef.menus().findItem("ZORV:Ortheo");
    EXPECT_EQ(tool.fields[9], hostRef.menus().item(item).enabled.callback) << "the tool shares the item's query";
    EXPECT_EQ(tool.fields[10], 0u);
    for (int field : {2, 3, 4, 5, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}) EXPECT_EQ(tool.fields[field], 0u);
}

TEST(Registration, WithoutAboutExtensionsTheHelpItemGoesToPrefs) {
    auto session = startSession(recording({"Advanced", "UsingExtensions", "Prefs"}));
    const std::string menus = session->host().menus().describe();
    EXPECT_NE(menus.find("Menu \"Prefs\"\n  item \"Ortheo\" ZORV:OrtheoHelp"), std::string::npos) << menus;
}

TEST(Registration, WithoutAdvancedTheItemIsMadeButPlacedNowhere) {
    auto session = startSession(recording({}));
    EXPECT_NE(session->host().menus().findItem("ZORV:Ortheo"), host::kNoHandle);
    EXPECT_EQ(session->host().menus().findItem("ZORV:OrtheoHelp"), host::kNoHandle);
    EXPECT_EQ(session->host().menus().heldMenus(), 0);
}

TEST(Registration, UnloadDeletesTheBitmapOnceAndLeavesTheRegistrations) {
    const int before = win::liveBitmapsForTesting();
    auto session = startSession();
    EXPECT_EQ(win::liveBitmapsForTesting(), before + 1);
    EXPECT_EQ(OnPluginUnload(), 1);
    EXPECT_EQ(OnPluginUnload(), 1);
    EXPECT_EQ(win::liveBitmapsForTesting(), before);
    EXPECT_NE(session->host().menus().findItem("ZORV:Ortheo"), host::kNoHandle);
}

class Queries : public ::testing::Test {
protected:
    bool itemEnabled() { return menus().isEnabled(menus().item(menus().findItem("ZORV:Ortheo")).enabled); }
    bool toolEnabled() { return IsFontReportEnabled(nullptr) != 0; }
    bool itemMarked() { return menus().isMarked(menus().item(menus().findItem("ZORV:Ortheo")).marked); }
    host::Menus& menus() { return session_->host().menus(); }

    std::unique_ptr<host::ViewerSession> session_ = startSession();
};

TEST_F(Queries, NothingIsEnabledWithoutADocument) {
    EXPECT_FALSE(itemEnabled());
    EXPECT_FALSE(toolEnabled());
}

TEST_F(Queries, ADocumentThatForbidsCopyingDisablesTheItemButNotTheTool) {
    const std::string input = testing::temporaryPath("no-copy-queries.pdf");
    testing::runCommand({"/usr/bin/qpdf", "--encrypt", "", "owner", "256", "--extract=n", "--",
                         ORTHEO_FIXTURES "/groff-gs.pdf", input});
    session_->open(input);
    EXPECT_FALSE(itemEnabled());
    EXPECT_TRUE(toolEnabled());
}

TEST_F(Queries, TheItemIsMarkedWhileThePluginsToolIsActive) {
    session_->open(ORTHEO_FIXTURES "/groff-gs.pdf");
    EXPECT_TRUE(itemEnabled());
    EXPECT_FALSE(itemMarked());
    menus().activateTool(const_cast<host::ToolRecord*>(&toolRecord()));
    EXPECT_TRUE(itemMarked());
}

class ReportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        setLogOptionsForTesting(kLogErrors);
        session_->open(ORTHEO_FIXTURES "/groff-gs.pdf");
    }
    void TearDown() override { setLogOptionsForTesting(0); }

    // Each host call is guarded by a frame of its own; the command's frame
    // is the one around them all: its push is the first call of the run and
    // its pop the last.
    void expectOneFrameAroundTheRun() {
        const auto& records = session_->host().calls().records();
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.front().toString(), "Core 2 (ptr, ptr)");
        EXPECT_EQ(records.back().toString(), "Core 3 ()");
        const host::ErrorState& errors = session_->host().errors();
        EXPECT_EQ(errors.framesPushed(), errors.framesPopped());
        EXPECT_EQ(errors.frameDepth(), 0u);
    }

    void SetUpRun() { session_->host().calls().clear(); }

    std::unique_ptr<host::ViewerSession> session_ = startSession();
};

TEST_F(ReportCommand, OpensTheReportInANewWindowUnderOneFrame) {
    StderrCapture log;
    SetUpRun();
    RunFontReport(nullptr);
    EXPECT_EQ(session_->host().windows().opened().size(), 1u);
    expectOneFrameAroundTheRun();
    EXPECT_EQ(log.text(), "");
}

TEST_F(ReportCommand, ARaiseInTheDriverPopsTheFrameOnceLogsAndOpensNothing) {
    session_->host().calls().injectFault(host::TableId::PDModel, 69, 1);
    StderrCapture log;
    SetUpRun();
    RunFontReport(nullptr);
    EXPECT_EQ(log.text(), "Error: Error While converting() failed. f:\\pdf\\pdf\\src\\zelta\\convert(84)\n");
    EXPECT_TRUE(session_->host().windows().opened().empty());
    expectOneFrameAroundTheRun();
}

TEST_F(ReportCommand, WithoutAnActiveViewItLogsLine66) {
    session_->host().viewer().closeView(session_->host().viewer().activeView());
    StderrCapture log;
    SetUpRun();
    RunFontReport(nullptr);
    EXPECT_EQ(log.text(), "Error: There is no active document to process. f:\\pdf\\pdf\\src\\zelta\\convert(66)\n");
    expectOneFrameAroundTheRun();
}

}  // namespace
}  // namespace ortheo
