// The Windows test host: loads Ortheo.api as the viewer does (LoadLibraryA,
// GetProcAddress, then the entry, setup and handshake steps), hands it the
// function tables of the host's core with a recording viewer, and drives it
// through init, the help note, the command and unload. It prints what the
// viewer sees, one fact a line, for the check to compare with its expected
// run; the plug-in's own log lines arrive on standard error in between.
//
// Usage: test_host PLUGIN_LIBRARY
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/atoms.h"
#include "core/call_log.h"
#include "core/callbacks.h"
#include "core/core.h"
#include "core/errors.h"
#include "core/handshake.h"
#include "core/plugin_calls.h"
#include "core/tables.h"
#include "test_viewer.h"

namespace {

using test_host::testViewer;

constexpr host::Handle kActiveView = 0x60;

struct Loaded {
    host::Callback init = host::kNoCallback;
    host::Callback unload = host::kNoCallback;
};

[[noreturn]] void stop(const char* why) {
    std::printf("test host: %s\n", why);
    std::exit(1);
}

// The library's PlugInMain, or null. GetProcAddress answers a FARPROC; it
// goes through void (*)(), the generic procedure type, to its own type.
host::PlugInMainProc findEntry(HMODULE module) {
    const FARPROC found = GetProcAddress(module, "PlugInMain");
    return reinterpret_cast<host::PlugInMainProc>(reinterpret_cast<void (*)()>(found));
}

// Runs PlugInMain, the setup step and the handshake as every host of ours
// does, and prints what they answered.
Loaded shakeHands(host::Core& core, HMODULE module) {
    const host::PlugInMainProc entry = findEntry(module);
    if (entry == nullptr) stop("the library does not export PlugInMain");
    const host::HandshakeOutcome outcome = host::runHandshake(core, entry, module);
    std::printf("handshake version %#x\n", outcome.handshakeVersion);
    if (!outcome.loaded) stop(("the plug-in was not loaded: " + outcome.refusal).c_str());
    std::printf("loaded, extension name \"%s\"\n", outcome.extensionName.c_str());
    return {outcome.init, outcome.unload};
}

void printViewerCalls(const host::CallLog& calls) {
    for (const host::CallRecord& call : calls.records()) {
        if (call.table == host::TableId::AcroView) std::printf("  %s\n", call.toString().c_str());
    }
}

void initialise(host::Core& core, host::Callback init) {
    core.calls().clear();
    const host::Bool16 answer = host::callPlugin(core.callbacks().resolve<host::AnswerProc>(init));
    std::printf("init answered %u; the viewer calls it made:\n", answer);
    printViewerCalls(core.calls());
}

// What GetObject tells of the toolbar button's icon.
void describeButtonIcon(const char* when) {
    BITMAP bitmap{};
    const auto icon = static_cast<HGDIOBJ>(testViewer().buttonIcon);
    if (icon == nullptr || GetObjectA(icon, sizeof bitmap, &bitmap) != sizeof bitmap) {
        std::printf("button icon %s: no bitmap\n", when);
        return;
    }
    std::printf("button icon %s: a %ld x %ld bitmap\n", when, bitmap.bmWidth, bitmap.bmHeight);
}

void chooseItem(host::Core& core, const char* name) {
    const host::Callback execute = test_host::executeProcedureOf(name);
    if (execute == host::kNoCallback) stop("the plug-in registered no such item");
    host::callPlugin(core.callbacks().resolve<host::ClientProc>(execute), nullptr);
}

void printFrames(const host::ErrorState& errors) {
    std::printf("frames pushed %zu, popped %zu, depth %zu; errors raised %zu\n", errors.framesPushed(),
                errors.framesPopped(), errors.frameDepth(), errors.raisedCount());
}

void runCommandWithoutDocument(host::Core& core) {
    std::printf("command, no active document:\n");
    testViewer().activeView = host::kNoHandle;
    chooseItem(core, "ZORV:Ortheo");
}

void runCommandWithRaise(host::Core& core) {
    std::printf("command, AcroView 48 raising:\n");
    testViewer().activeView = kActiveView;
    core.calls().injectFault(host::TableId::AcroView, 48, 1);
    chooseItem(core, "ZORV:Ortheo");
    printFrames(core.errors());
}

void unload(host::Core& core, host::Callback unloadProc) {
    const host::Bool16 answer = host::callPlugin(core.callbacks().resolve<host::AnswerProc>(unloadProc));
    std::printf("unload answered %u\n", answer);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) stop("usage: test_host PLUGIN_LIBRARY");
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    host::Core core(host::TableOffer::everything(), true);
    test_host::installViewerOperations(core.tables());

    const HMODULE module = LoadLibraryA(argv[1]);
    if (module == nullptr) stop("LoadLibraryA could not load the plug-in library");

    const Loaded loaded = shakeHands(core, module);
    initialise(core, loaded.init);
    describeButtonIcon("after init");

    std::printf("the help note:\n");
    chooseItem(core, "ZORV:OrtheoHelp");

    runCommandWithoutDocument(core);
    runCommandWithRaise(core);

    unload(core, loaded.unload);
    describeButtonIcon("after unload");
    FreeLibrary(module);
    return 0;
}
