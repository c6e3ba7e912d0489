#include "test_viewer.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "core/errors.h"
#include "core/tables.h"

namespace test_host {
namespace {

constexpr host::Handle kMenuBar = 0x10;
constexpr host::Handle kToolBar = 0x20;
constexpr host::Handle kFirstMenu = 0x30;
constexpr host::Handle kEndToolsGroupButton = 0x40;
constexpr host::Handle kButton = 0x50;
constexpr host::Handle kFirstItem = 0x100;
constexpr host::Handle kViewDocument = 0x70;

// The menus this viewer has, in the order of their handles.
constexpr std::array<std::string_view, 4> kMenuNames = {"Advanced", "UsingExtensions", "AboutExtensions", "Prefs"};

const char* checkedText(const char* text, const char* what) {
    if (text == nullptr) host::raise(host::kErrBadArgument, std::string(what) + ": no text");
    return text;
}

host::Handle menuBar() { return kMenuBar; }
host::Handle toolBar() { return kToolBar; }

host::Handle acquireMenu(host::Handle bar, const char* name) {
    if (bar != kMenuBar) host::raise(host::kErrBadHandle, "AcroView 71: not the menu bar");
    const std::string_view wanted = checkedText(name, "AcroView 71");
    for (std::size_t i = 0; i < kMenuNames.size(); ++i) {
        if (kMenuNames[i] == wanted) return kFirstMenu + static_cast<host::Handle>(i);
    }
    return host::kNoHandle;
}

void releaseMenu(host::Handle) {}
void addItem(host::Handle, host::Handle, std::int32_t) {}

host::Handle newItem(const char* title, const char* name, host::Handle, host::Bool16, char, std::int32_t,
                     host::Handle, host::ExtensionHandle) {
    checkedText(title, "AcroView 90");
    auto& items = testViewer().itemsByName;
    const host::Handle item = kFirstItem + static_cast<host::Handle>(items.size());
    items[checkedText(name, "AcroView 90")] = item;
    return item;
}

void itemSetExecute(host::Handle item, host::Callback proc, host::ClientData) { testViewer().executeOf[item] = proc; }
void setProcedure(host::Handle, host::Callback, host::ClientData) {}

host::Handle buttonByName(host::Handle, host::Atom) { return kEndToolsGroupButton; }
void addButton(host::Handle, host::Handle, host::Bool16, host::Handle) {}

host::Handle newButton(host::Atom, void* icon, host::Bool16, host::Bool16) {
    testViewer().buttonIcon = icon;
    return kButton;
}

void registerTool(host::ToolRecord* tool) {
    if (tool == nullptr) host::raise(host::kErrBadArgument, "AcroView 443: no tool record");
}

void alertNote(const char* message) { std::printf("alert: %s\n", checkedText(message, "AcroView 5")); }

host::Handle activeDocView() { return testViewer().activeView; }
host::Handle viewDocument(host::Handle) { return kViewDocument; }

}  // namespace

TestViewer& testViewer() {
    static TestViewer viewer;
    return viewer;
}

void installViewerOperations(host::TableRegistry& tables) {
    using namespace host::op;
    tables.install<MenuBar, &menuBar>();
    tables.install<ToolBar, &toolBar>();
    tables.install<MenuAcquireByName, &acquireMenu>();
    tables.install<MenuRelease, &releaseMenu>();
    tables.install<MenuAddItem, &addItem>();
    tables.install<MenuItemNew, &newItem>();
    tables.install<MenuItemSetExecute, &itemSetExecute>();
    tables.install<MenuItemSetEnabled, &setProcedure>();
    tables.install<MenuItemSetMarked, &setProcedure>();
    tables.install<ToolBarButtonByName, &buttonByName>();
    tables.install<ToolBarAddButton, &addButton>();
    tables.install<ButtonNew, &newButton>();
    tables.install<ButtonSetExecute, &setProcedure>();
    tables.install<ButtonSetEnabled, &setProcedure>();
    tables.install<ButtonSetMarked, &setProcedure>();
    tables.install<RegisterTool, &registerTool>();
    tables.install<AlertNote, &alertNote>();
    tables.install<ActiveDocView, &activeDocView>();
    tables.install<ViewDocument, &viewDocument>();
}

host::Callback executeProcedureOf(const std::string& name) {
    const TestViewer& viewer = testViewer();
    const auto item = viewer.itemsByName.find(name);
    if (item == viewer.itemsByName.end()) return host::kNoCallback;
    const auto procedure = viewer.executeOf.find(item->second);
    return procedure != viewer.executeOf.end() ? procedure->second : host::kNoCallback;
}

}  // namespace test_host
