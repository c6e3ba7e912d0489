// A raise in every kind of host call, under the strict host: each lands in
// the guard meant for it (the command's, a page writer's, the description's
// second line, the ToUnicode reader's, an enumeration's, a query's), and
// every frame the plug-in pushed is popped again.

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/viewer_session.h"
#include "core/call_log.h"
#include "core/errors.h"
#include "host_config.h"
#include "model/documents.h"
#include "plugin/command.h"
#include "plugin/entry.h"
#include "plugin/host_edge.h"
#include "plugin/log.h"
#include "plugin/plugin_state.h"
#include "support/loaded_plugin.h"
#include "support/stderr_capture.h"
#include "view/viewer.h"
#include "view/windows.h"

namespace ortheo {
namespace {

using Lines = std::vector<std::string>;
using testing::StderrCapture;

constexpr const char* kLine84 = "Error: Error While converting() failed. f:\\pdf\\pdf\\src\\zelta\\convert(84)\n";

class GuardedRun : public ::testing::Test {
protected:
    void SetUp() override {
        setLogOptionsForTesting(kLogErrors);
        pluginState() = PluginState{};
        session_ = std::make_unique<host::ViewerSession>(&PlugInMain, host::HostConfig{});
        session_->open(ORTHEO_FIXTURES "/groff-gs.pdf");
    }
    void TearDown() override { setLogOptionsForTesting(0); }

    host::Host& host() { return session_->host(); }
    host::CallLog& calls() { return host().calls(); }

    void expectFramesBalanced() {
        EXPECT_EQ(host().errors().framesPushed(), host().errors().framesPopped());
        EXPECT_EQ(host().errors().frameDepth(), 0u);
    }

    std::unique_ptr<host::ViewerSession> session_;
};

TEST_F(GuardedRun, ARaiseInsideTheFontProcedureStopsTheEnumerationAndEndsTheRunOnce) {
    calls().setRecording(true);
    calls().injectFault(host::TableId::PDModel, 118, 1);  // the first font's name
    StderrCapture log;
    RunFontReport(nullptr);
    EXPECT_EQ(log.text(), kLine84);
    EXPECT_TRUE(host().windows().opened().empty());
    int namesAsked = 0;
    for (const host::CallRecord& call : calls().records()) {
        if (call.table == host::TableId::PDModel && call.selector == 118) ++namesAsked;
    }
    EXPECT_EQ(namesAsked, 1) << "the enumeration stops at the procedure's failure";
    expectFramesBalanced();
}

TEST_F(GuardedRun, ARaiseWhileAPageWritersFailureIsShownEndsTheRunOnce) {
    calls().injectFault(host::TableId::PDFEditWrite, 14, 1);  // the first text run
    calls().injectFault(host::TableId::AcroView, 5, 1);       // and the alert that shows it
    StderrCapture log;
    RunFontReport(nullptr);
    EXPECT_EQ(log.text(), kLine84);
    EXPECT_TRUE(host().viewer().alerts().empty());
    EXPECT_TRUE(host().windows().opened().empty());
    expectFramesBalanced();
}

TEST_F(GuardedRun, ARaiseInTheMiddleOfAReportIsShownAndTheReportGoesOn) {
    calls().injectFault(host::TableId::PDFEditWrite, 14, 40);
    StderrCapture log;
    RunFontReport(nullptr);
    EXPECT_EQ(log.text(), "ortheo: Injected fault in PDFEditWrite 14\n") << "the alert, and no line 84";
    EXPECT_EQ(host().viewer().alerts(), (Lines{"Injected fault in PDFEditWrite 14"}));
    EXPECT_EQ(host().windows().opened().size(), 1u);
    expectFramesBalanced();
}

TEST_F(GuardedRun, ARaiseInAQueryAnswersNo) {
    calls().injectFault(host::TableId::AcroView, 48, 1);
    EXPECT_EQ(IsFontReportEnabled(nullptr), 0);
    EXPECT_EQ(IsFontReportEnabled(nullptr), 1) << "the next query is answered again";
    calls().injectFault(host::TableId::AcroView, 18, 1);
    EXPECT_EQ(IsFontReportToolActive(nullptr), 0);
    calls().injectFault(host::TableId::AcroView, 5, 1);
    ShowHelpNote(nullptr);
    EXPECT_TRUE(host().viewer().alerts().empty());
    expectFramesBalanced();
}

struct Nesting {
    host::Handle document;
    int outerCalls = 0;
    int innerCalls = 0;
};
Nesting* nesting = nullptr;

host::Bool16 ORTHEO_CDECL failingInner(host::Handle, void*, host::ClientData) noexcept {
    return enumerationStep([] {
        ++nesting->innerCalls;
        throw std::runtime_error("the inner procedure failed");
    });
}

host::Bool16 ORTHEO_CDECL enumeratingOuter(host::Handle, void*, host::ClientData) noexcept {
    return enumerationStep([] {
        ++nesting->outerCalls;
        callHostEnumeration<host::op::DocEnumFonts>(nesting->document, 1, 1, &failingInner, nullptr, 0, 0);
    });
}

TEST_F(GuardedRun, AFailureInANestedEnumerationEndsBothAndComesOutOfTheOuterCall) {
    Nesting state{host().viewer().documentOf(host().viewer().activeView())};
    nesting = &state;
    try {
        callHostEnumeration<host::op::DocEnumFonts>(state.document, 0, 0, &enumeratingOuter, nullptr, 0, 0);
        ADD_FAILURE() << "the failure was lost";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "the inner procedure failed");
    }
    EXPECT_EQ(state.outerCalls, 1);
    EXPECT_EQ(state.innerCalls, 1);
    nesting = nullptr;
    expectFramesBalanced();
}

TEST(PluginNotLoaded, ItsProceduresAnswerNoAndRaiseNothing) {
    host::HostConfig config;
    config.tables.withhold(host::TableId::AcroView);
    testing::LoadedPlugin loaded(config);
    ASSERT_FALSE(loaded.outcome().loaded);
    EXPECT_EQ(OnPluginInit(), 0);
    EXPECT_EQ(IsFontReportEnabled(nullptr), 0);
    EXPECT_EQ(IsFontReportToolActive(nullptr), 0);
    StderrCapture log;
    RunFontReport(nullptr);
    ShowAboutNote(nullptr);
    EXPECT_EQ(log.text(), "");
    EXPECT_EQ(loaded.host().errors().framesPushed(), loaded.host().errors().framesPopped());
}

}  // namespace
}  // namespace ortheo
