#include "plugin/command.h"

#include <cstdint>

#include "plugin/host_call.h"
#include "plugin/host_edge.h"
#include "plugin/log.h"
#include "plugin/win_platform.h"
#include "report/driver.h"

namespace ortheo {
namespace {

constexpr int kButtonBitmap = 106;
constexpr const char* kToolName = "ZORV:Ortheo";
constexpr std::uintptr_t kNeedsCopyPermission = host::op::kPermitCopy;

constexpr const char* kHelpNote =
    "Press Document Ortheo menu item or  Loop Tool button in Advanced Edit toolbar.\n"
    "Detailed Font info will be created in new PDF document. ";
constexpr const char* kAboutNote =
    "About Ortheo\n"
    "Ortheo make report which allows you to make deep PDF fonts analyze\n"
    " Built by the Ortheo team for everyone who needs to see inside the fonts of a PDF.";

constexpr int kLineNoView = 66;
constexpr int kLineNoDocument = 71;
constexpr int kLineReportFailed = 84;

// What the plug-in keeps from initialisation until it is unloaded.
struct Registration {
    void* buttonBitmap = nullptr;
    host::Atom toolName = host::kNullAtom;
    host::Callback command = host::kNoCallback;
    host::Callback enabledQuery = host::kNoCallback;
    host::Callback markedQuery = host::kNoCallback;
    host::ToolRecord tool;
    host::Handle button = host::kNoHandle;
    host::Handle reportItem = host::kNoHandle;
};

Registration& registration() {
    static Registration state;
    return state;
}

host::Bool16 ORTHEO_CDECL DoNothing() noexcept { return 1; }

host::Atom ORTHEO_CDECL AnswerToolName(void*) noexcept { return registration().toolName; }

host::ClientData clientData(std::uintptr_t value) { return reinterpret_cast<host::ClientData>(value); }

void registerTool(Registration& state) {
    state.tool = {};
    state.tool.fields[0] = sizeof(host::ToolRecord);
    state.tool.fields[1] = makeCallback(&DoNothing);
    state.tool.fields[6] = makeCallback(&AnswerToolName);
    state.tool.fields[9] = state.enabledQuery;
    state.tool.fields[10] = 0;
    callHost<host::op::RegisterTool>(&state.tool);
}

void addToolbarButton(Registration& state) {
    state.buttonBitmap = win::LoadBitmapA(pluginState().moduleInstance, kButtonBitmap);
    const host::Handle toolbar = callHost<host::op::ToolBar>();
    const host::Handle anchor =
        callHost<host::op::ToolBarButtonByName>(toolbar, callHost<host::op::AtomFromString>("endToolsGroup"));
    state.button = callHost<host::op::ButtonNew>(state.toolName, state.buttonBitmap, 1, 0);
    callHost<host::op::ButtonSetExecute>(state.button, state.command, nullptr);
    callHost<host::op::ButtonSetEnabled>(state.button, state.enabledQuery, clientData(kNeedsCopyPermission));
    callHost<host::op::ButtonSetMarked>(state.button, state.markedQuery, nullptr);
    callHost<host::op::ToolBarAddButton>(toolbar, state.button, 1, anchor);
}

host::Handle newItem(const char* title, const char* name, host::Bool16 longMenusOnly) {
    return callHost<host::op::MenuItemNew>(title, name, host::kNoHandle, longMenusOnly, '\0', 0, host::kNoHandle,
                                          pluginState().extension);
}

void addReportItem(Registration& state, host::Handle menuBar) {
    const host::Handle advanced = callHost<host::op::MenuAcquireByName>(menuBar, "Advanced");
    state.reportItem = newItem("ortheo", "ZORV:Ortheo", 1);
    callHost<host::op::MenuItemSetExecute>(state.reportItem, state.command, nullptr);
    callHost<host::op::MenuItemSetEnabled>(state.reportItem, state.enabledQuery, clientData(kNeedsCopyPermission));
    callHost<host::op::MenuItemSetMarked>(state.reportItem, state.markedQuery, nullptr);
    if (advanced == host::kNoHandle) return;  // made, but placed nowhere
    callHost<host::op::MenuAddItem>(advanced, state.reportItem, host::op::kAppendPosition);
    callHost<host::op::MenuRelease>(advanced);
}

// Adds a note item to the named menu when the host has that menu; answers
// the item, or none.
host::Handle addNoteItem(host::Handle menuBar, const char* menuName, const char* itemName,
                         void(ORTHEO_CDECL* showNote)(host::ClientData) noexcept) {
    const host::Handle menu = callHost<host::op::MenuAcquireByName>(menuBar, menuName);
    if (menu == host::kNoHandle) return host::kNoHandle;
    const host::Handle item = newItem("Ortheo", itemName, 0);
    callHost<host::op::MenuItemSetExecute>(item, makeCallback(showNote), nullptr);
    callHost<host::op::MenuAddItem>(menu, item, host::op::kAppendPosition);
    callHost<host::op::MenuRelease>(menu);
    return item;
}

// Builds the report of the active document and opens it in a new window.
void runReport() {
    const host::Handle view = callHost<host::op::ActiveDocView>();
    if (view == host::kNoHandle) {
        LogError(kCommandModule, kLineNoView, "There is no active document to process.");
        return;
    }
    if (callHost<host::op::ViewDocument>(view) == host::kNoHandle) {
        LogError(kCommandModule, kLineNoDocument, "There is no active document to process.");
        return;
    }
    const host::Handle report = BuildFontReport();
    if (report != host::kNoHandle) callHost<host::op::OpenInNewWindow>(report, 0);
}

// Answers whether the report ran to its end. Everything the run makes lives
// in here, below the command's resume point.
bool reportRan() noexcept {
    try {
        runReport();
        return true;
    } catch (...) {
        return false;
    }
}

void logReportFailed() { LogError(kCommandModule, kLineReportFailed, "Error While converting() failed."); }

// The command's own frame, around the whole run. Every host call of the run
// is guarded on its own as well, so a raise normally arrives here as an
// exception that reportRan() catches; the frame stays the last guard.
void runUnderCommandFrame() {
    CallFrame frame;
    callHost<host::op::PushFrame>(&frame.record, &ResumeAtFrame);
    if (setjmp(frame.resume) != 0) {
        callHost<host::op::PopFrame>();
        logReportFailed();
        return;
    }
    const bool ran = reportRan();
    callHost<host::op::PopFrame>();
    if (!ran) logReportFailed();
}

// Registers the tool, the toolbar button, the report item and the note items.
host::Bool16 registerEverything() {
    Registration& state = registration();
    state.toolName = callHost<host::op::AtomFromString>(kToolName);
    state.command = makeCallback(&RunFontReport);
    state.enabledQuery = makeCallback(&IsFontReportEnabled);
    state.markedQuery = makeCallback(&IsFontReportToolActive);

    registerTool(state);
    addToolbarButton(state);
    const host::Handle menuBar = callHost<host::op::MenuBar>();
    addReportItem(state, menuBar);

    host::Handle lastNoteItem = addNoteItem(menuBar, "UsingExtensions", "ZORV:OrtheoHelp", &ShowHelpNote);
    if (const host::Handle about = addNoteItem(menuBar, "AboutExtensions", "ZORV:OrtheoAbout", &ShowAboutNote)) {
        lastNoteItem = about;
    }
    const host::Handle prefs = callHost<host::op::MenuAcquireByName>(menuBar, "Prefs");
    if (prefs != host::kNoHandle) {
        if (lastNoteItem != host::kNoHandle) callHost<host::op::MenuAddItem>(prefs, lastNoteItem, host::op::kAppendPosition);
        callHost<host::op::MenuRelease>(prefs);
    }
    return 1;
}

host::Bool16 reportEnabled(host::ClientData data) {
    const host::Handle view = callHost<host::op::ActiveDocView>();
    if (view == host::kNoHandle) return 0;
    const host::Handle document = callHost<host::op::ViewDocument>(view);
    if (document == host::kNoHandle) return 0;
    const std::uint32_t flags = callHost<host::op::DocPermissions>(document);
    const auto wanted = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data));
    return wanted != 0 && (wanted & flags) == 0 ? 0 : 1;
}

}  // namespace

host::Bool16 ORTHEO_CDECL OnPluginInit() noexcept {
    return answerAtEdge<host::Bool16>(0, [] { return registerEverything(); });
}

host::Bool16 ORTHEO_CDECL OnPluginUnload() noexcept {
    Registration& state = registration();
    if (state.buttonBitmap != nullptr) win::DeleteObject(std::exchange(state.buttonBitmap, nullptr));
    return 1;
}

void ORTHEO_CDECL RunFontReport(host::ClientData) noexcept { runAtEdge(&runUnderCommandFrame); }

host::Bool16 ORTHEO_CDECL IsFontReportEnabled(host::ClientData data) noexcept {
    return answerAtEdge<host::Bool16>(0, [data] { return reportEnabled(data); });
}

host::Bool16 ORTHEO_CDECL IsFontReportToolActive(host::ClientData) noexcept {
    return answerAtEdge<host::Bool16>(0, [] { return callHost<host::op::ActiveTool>() == &registration().tool ? 1 : 0; });
}

void ORTHEO_CDECL ShowHelpNote(host::ClientData) noexcept {
    runAtEdge([] { callHost<host::op::AlertNote>(kHelpNote); });
}

void ORTHEO_CDECL ShowAboutNote(host::ClientData) noexcept {
    runAtEdge([] { callHost<host::op::AlertNote>(kAboutNote); });
}

const host::ToolRecord& toolRecord() { return registration().tool; }

}  // namespace ortheo
