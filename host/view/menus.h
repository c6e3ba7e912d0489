// The viewer's menus, menu items, toolbar, buttons and tools (AcroView 16,
// 17, 18, 71, 80, 89, 90, 99, 100, 101, 163, 165, 169, 175, 176, 177 and
// 443), and what a user does with them: look at them, ask whether an item
// is enabled or marked, and choose it.
//
// The viewer owns its menus, items, buttons and the toolbar; a plug-in's
// tool record stays the plug-in's, the viewer keeps only its address. A
// menu acquired by name must be released (AcroView 80) once for each time
// it was acquired; the viewer counts, so a test can see that none is held.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/handles.h"

namespace host {

// The menus a viewer has; tests leave some out.
std::set<std::string> standardMenus();

// A procedure with the client data it is called with.
struct Procedure {
    Callback callback = kNoCallback;
    ClientData data = nullptr;
};

struct MenuItem {
    std::string title;
    std::string name;
    bool longMenusOnly = false;
    ExtensionHandle extension = 0;
    Procedure execute, enabled, marked;
};

struct Button {
    Atom name = kNullAtom;
    void* icon = nullptr;
    bool longOnly = false;
    bool separator = false;
    Procedure execute, enabled, marked;
};

class AtomTable;
class CallbackRegistry;

class Menus {
public:
    // The menus are named `menuNames`; buttons are named by atoms, and the
    // plug-in's procedures are reached through its callbacks.
    Menus(const std::set<std::string>& menuNames, AtomTable& atoms, CallbackRegistry& callbacks);

    Handle menuBar() const { return menuBar_; }
    Handle toolBar();  // made, with its "endToolsGroup" button, on first use

    Handle acquireMenu(Handle menuBar, const char* name);  // kNoHandle when there is no such menu
    void releaseMenu(Handle menu);
    void addItem(Handle menu, Handle item, std::int32_t position);
    Handle newItem(MenuItem item);
    MenuItem& item(Handle item) { return items_.get(item); }

    Handle buttonNamed(Handle toolBar, Atom name);  // kNoHandle when there is none
    Handle newButton(Button button);
    Button& button(Handle button) { return buttons_.get(button); }
    void addButton(Handle toolBar, Handle button, bool before, Handle other);

    void registerTool(void* toolRecord);
    void* activeTool() const { return activeTool_; }
    // Makes a registered tool the active one (null: the viewer's own).
    void activateTool(void* toolRecord);

    // What a user sees and does.
    Handle findItem(const std::string& name);  // kNoHandle when no item has it
    bool isEnabled(const Procedure& query);     // no query: enabled
    bool isMarked(const Procedure& query);      // no query: not marked
    void choose(Handle item);
    int heldMenus() const;
    std::string describe();  // the menus, toolbar and tools, one line each

private:
    struct Menu {
        std::string name;
        std::vector<Handle> items;
        int held = 0;
    };
    Menu& menuOf(Handle menu);

    AtomTable& atoms_;
    CallbackRegistry& callbacks_;
    HandleRegistry<Menu> menus_{HandleKind::Menu};
    HandleRegistry<MenuItem> items_{HandleKind::MenuItem};
    HandleRegistry<Button> buttons_{HandleKind::Button};
    HandleRegistry<std::vector<Handle>> toolBars_{HandleKind::ToolBar};  // each bar's buttons, in order
    std::map<std::string, Handle> menusByName_;
    Handle menuBar_ = kNoHandle;
    Handle toolBar_ = kNoHandle;
    std::vector<void*> tools_;
    void* activeTool_ = nullptr;
};

}  // namespace host
