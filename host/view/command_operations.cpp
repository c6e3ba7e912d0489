// What a plug-in's command needs of the viewer: menus and items, the
// toolbar and its buttons, tools, new windows (AcroView), and the
// permissions of a document (PDModel 114).

#include "core/atoms.h"
#include "core/callbacks.h"
#include "core/errors.h"
#include "core/tables.h"
#include "host.h"
#include "model/documents.h"
#include "operations.h"
#include "view/menus.h"
#include "view/windows.h"

namespace host {
namespace {

Menus& menus() { return Host::current().menus(); }

std::string textOf(const char* text, const char* what) {
    if (text == nullptr) raise(kErrBadArgument, std::string(what) + ": no text");
    return text;
}

Procedure procedure(Callback callback, ClientData data) {
    Host::current().callbacks().resolve<Proc>(callback);
    return {callback, data};
}

Handle menuBar() { return menus().menuBar(); }
Handle toolBar() { return menus().toolBar(); }
void* activeTool() { return menus().activeTool(); }
Handle acquireMenu(Handle menuBar, const char* name) { return menus().acquireMenu(menuBar, name); }
void releaseMenu(Handle menu) { menus().releaseMenu(menu); }
void addItem(Handle menu, Handle item, std::int32_t position) { menus().addItem(menu, item, position); }

Handle newItem(const char* title, const char* name, Handle submenu, Bool16 longMenusOnly, char, std::int32_t,
               Handle, ExtensionHandle extension) {
    if (submenu != kNoHandle) raise(kErrNotImplemented, "AcroView 90: submenus are not offered");
    if (extension != Host::current().extension()) raise(kErrBadArgument, "AcroView 90: unknown extension handle");
    MenuItem item;
    item.title = textOf(title, "AcroView 90");
    item.name = textOf(name, "AcroView 90");
    item.longMenusOnly = longMenusOnly != 0;
    item.extension = extension;
    return menus().newItem(std::move(item));
}

void itemSetExecute(Handle item, Callback proc, ClientData data) { menus().item(item).execute = procedure(proc, data); }
void itemSetEnabled(Handle item, Callback proc, ClientData data) { menus().item(item).enabled = procedure(proc, data); }
void itemSetMarked(Handle item, Callback proc, ClientData data) { menus().item(item).marked = procedure(proc, data); }

Handle buttonByName(Handle toolBar, Atom name) {
    Host::current().atoms().text(name);
    return menus().buttonNamed(toolBar, name);
}

void addButton(Handle toolBar, Handle button, Bool16 before, Handle other) {
    menus().addButton(toolBar, button, before != 0, other);
}

Handle newButton(Atom name, void* icon, Bool16 longOnly, Bool16 separator) {
    Host::current().atoms().text(name);
    Button button;
    button.name = name;
    button.icon = icon;
    button.longOnly = longOnly != 0;
    button.separator = separator != 0;
    return menus().newButton(button);
}

void buttonSetExecute(Handle button, Callback proc, ClientData data) { menus().button(button).execute = procedure(proc, data); }
void buttonSetEnabled(Handle button, Callback proc, ClientData data) { menus().button(button).enabled = procedure(proc, data); }
void buttonSetMarked(Handle button, Callback proc, ClientData data) { menus().button(button).marked = procedure(proc, data); }

void registerTool(ToolRecord* tool) { menus().registerTool(tool); }

Handle openInNewWindow(Handle document, std::int32_t) { return Host::current().windows().open(document); }

// The permission bits a document grants: 0x04 print, 0x08 modify, 0x10 copy
// its content, 0x20 annotate. An unencrypted document grants them all, and
// so does one opened with its owner password, as viewers treat it; one read
// without the encryption of its embedded files grants what its /P says.
std::uint32_t documentPermissions(Handle document) {
    const Document& opened = Host::current().documents().get(document);
    constexpr std::uint32_t kAll = 0x04 | 0x08 | op::kPermitCopy | 0x20;
    if (opened.declaredPermissions) return 0x01 | (*opened.declaredPermissions & kAll);
    QPDF& pdf = *opened.pdf;
    if (pdf.ownerPasswordMatched()) return 0x01 | kAll;
    std::uint32_t flags = 0x01;
    if (pdf.allowPrintLowRes()) flags |= 0x04;
    if (pdf.allowModifyAll()) flags |= 0x08;
    if (pdf.allowExtractAll()) flags |= op::kPermitCopy;
    if (pdf.allowModifyAnnotation()) flags |= 0x20;
    return flags;
}

}  // namespace

void installCommandOperations(TableRegistry& tables) {
    tables.install<op::MenuBar, &menuBar>();
    tables.install<op::ToolBar, &toolBar>();
    tables.install<op::ActiveTool, &activeTool>();
    tables.install<op::MenuAcquireByName, &acquireMenu>();
    tables.install<op::MenuRelease, &releaseMenu>();
    tables.install<op::MenuAddItem, &addItem>();
    tables.install<op::MenuItemNew, &newItem>();
    tables.install<op::MenuItemSetExecute, &itemSetExecute>();
    tables.install<op::MenuItemSetEnabled, &itemSetEnabled>();
    tables.install<op::MenuItemSetMarked, &itemSetMarked>();
    tables.install<op::ToolBarButtonByName, &buttonByName>();
    tables.install<op::ToolBarAddButton, &addButton>();
    tables.install<op::ButtonNew, &newButton>();
    tables.install<op::ButtonSetExecute, &buttonSetExecute>();
    tables.install<op::ButtonSetEnabled, &buttonSetEnabled>();
    tables.install<op::ButtonSetMarked, &buttonSetMarked>();
    tables.install<op::RegisterTool, &registerTool>();
    tables.install<op::OpenInNewWindow, &openInNewWindow>();
    tables.install<op::DocPermissions, &documentPermissions>();
}

}  // namespace host
