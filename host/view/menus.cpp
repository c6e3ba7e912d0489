#include "view/menus.h"

#include <algorithm>
#include <sstream>

#include "core/atoms.h"
#include "core/callbacks.h"
#include "core/errors.h"
#include "core/plugin_calls.h"

namespace host {
namespace {

constexpr const char* kAnchorButton = "endToolsGroup";

std::string procedureText(const Procedure& procedure) {
    if (procedure.callback == kNoCallback) return "none";
    return "callback, data " + std::to_string(reinterpret_cast<std::uintptr_t>(procedure.data));
}

}  // namespace

std::set<std::string> standardMenus() { return {"File", "Advanced", "UsingExtensions", "AboutExtensions", "Prefs"}; }

Menus::Menus(const std::set<std::string>& menuNames, AtomTable& atoms, CallbackRegistry& callbacks)
    : atoms_(atoms), callbacks_(callbacks) {
    menuBar_ = menus_.add({"(menu bar)", {}, 0});
    for (const std::string& name : menuNames) menusByName_[name] = menus_.add({name, {}, 0});
}

Menus::Menu& Menus::menuOf(Handle menu) {
    if (menu == menuBar_) raise(kErrBadArgument, "the menu bar is not a menu of items");
    return menus_.get(menu);
}

Handle Menus::acquireMenu(Handle menuBar, const char* name) {
    menus_.get(menuBar);
    if (menuBar != menuBar_) raise(kErrBadArgument, "AcroView 71: not the menu bar");
    if (name == nullptr) raise(kErrBadArgument, "AcroView 71: no menu name");
    const auto found = menusByName_.find(name);
    if (found == menusByName_.end()) return kNoHandle;
    ++menus_.get(found->second).held;
    return found->second;
}

void Menus::releaseMenu(Handle menu) {
    Menu& released = menuOf(menu);
    if (released.held == 0) raise(kErrBadArgument, "AcroView 80: the menu \"" + released.name + "\" is not acquired");
    --released.held;
}

void Menus::addItem(Handle menu, Handle item, std::int32_t position) {
    Menu& target = menuOf(menu);
    items_.get(item);
    if (std::find(target.items.begin(), target.items.end(), item) != target.items.end()) {
        raise(kErrBadArgument, "AcroView 89: the item is in the menu already");
    }
    const auto count = static_cast<std::int32_t>(target.items.size());
    const std::int32_t at = position < 0 || position > count ? count : position;
    target.items.insert(target.items.begin() + at, item);
}

Handle Menus::newItem(MenuItem item) {
    if (item.name.empty()) raise(kErrBadArgument, "AcroView 90: a menu item needs a name");
    if (findItem(item.name) != kNoHandle) raise(kErrBadArgument, "AcroView 90: an item named " + item.name + " exists");
    return items_.add(std::move(item));
}

Handle Menus::toolBar() {
    if (toolBar_ == kNoHandle) {
        Button anchor;
        anchor.name = atoms_.intern(kAnchorButton);
        toolBar_ = toolBars_.add({buttons_.add(anchor)});
    }
    return toolBar_;
}

Handle Menus::buttonNamed(Handle toolBar, Atom name) {
    for (const Handle button : toolBars_.get(toolBar)) {
        if (buttons_.get(button).name == name) return button;
    }
    return kNoHandle;
}

Handle Menus::newButton(Button button) { return buttons_.add(button); }

void Menus::addButton(Handle toolBar, Handle button, bool before, Handle other) {
    std::vector<Handle>& buttons = toolBars_.get(toolBar);
    buttons_.get(button);
    if (std::find(buttons.begin(), buttons.end(), button) != buttons.end()) {
        raise(kErrBadArgument, "AcroView 165: the button is on the toolbar already");
    }
    auto at = std::find(buttons.begin(), buttons.end(), other);
    if (at == buttons.end()) {
        at = before ? buttons.begin() : buttons.end();
    } else if (!before) {
        ++at;
    }
    buttons.insert(at, button);
}

void Menus::registerTool(void* toolRecord) {
    if (toolRecord == nullptr) raise(kErrBadArgument, "AcroView 443: no tool record");
    if (std::find(tools_.begin(), tools_.end(), toolRecord) == tools_.end()) tools_.push_back(toolRecord);
}

void Menus::activateTool(void* toolRecord) {
    if (toolRecord != nullptr && std::find(tools_.begin(), tools_.end(), toolRecord) == tools_.end()) {
        raise(kErrBadArgument, "no such tool is registered");
    }
    activeTool_ = toolRecord;
}

Handle Menus::findItem(const std::string& name) {
    Handle found = kNoHandle;
    items_.forEach([&](Handle handle, const MenuItem& item) {
        if (item.name == name) found = handle;
    });
    return found;
}

bool Menus::isEnabled(const Procedure& query) {
    if (query.callback == kNoCallback) return true;
    return callPlugin(callbacks_.resolve<QueryProc>(query.callback), query.data) != 0;
}

bool Menus::isMarked(const Procedure& query) {
    if (query.callback == kNoCallback) return false;
    return callPlugin(callbacks_.resolve<QueryProc>(query.callback), query.data) != 0;
}

void Menus::choose(Handle item) {
    const Procedure execute = items_.get(item).execute;
    if (execute.callback == kNoCallback) return;
    callPlugin(callbacks_.resolve<ClientProc>(execute.callback), execute.data);
}

int Menus::heldMenus() const {
    int held = 0;
    menus_.forEach([&](Handle, const Menu& menu) { held += menu.held; });
    return held;
}

std::string Menus::describe() {
    std::ostringstream text;
    menus_.forEach([&](Handle handle, const Menu& menu) {
        if (handle == menuBar_) return;
        text << "Menu \"" << menu.name << "\"\n";
        for (const Handle itemHandle : menu.items) {
            const MenuItem& item = items_.get(itemHandle);
            text << "  item \"" << item.title << "\" " << item.name << ": execute " << procedureText(item.execute)
                 << "; enabled " << procedureText(item.enabled) << "; marked " << procedureText(item.marked) << "\n";
        }
    });
    text << "Toolbar\n";
    for (const Handle buttonHandle : toolBars_.get(toolBar())) {
        const Button& button = buttons_.get(buttonHandle);
        text << "  button " << atoms_.text(button.name) << (button.icon ? " with an image" : "")
             << ": execute " << procedureText(button.execute) << "; enabled " << procedureText(button.enabled)
             << "; marked " << procedureText(button.marked) << "\n";
    }
    text << "Tools: " << tools_.size() << " registered by plug-ins\n";
    return text.str();
}

}  // namespace host
