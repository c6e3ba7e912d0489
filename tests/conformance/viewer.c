/* AcroView: the viewer's menus, toolbar, tool, alerts and active view.
 * Every call adds a line to the call log, with the handles named by what
 * they are and the callbacks numbered from the last mark. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "conformance.h"

enum { kMenuBar = 0x10, kFirstMenu = 0x20, kToolBar = 0x30, kAnchorButton = 0x31, kButton = 0x32 };
enum { kFirstItem = 0x100, kItemCapacity = 8, kNameLength = 40, kAlertLength = 1024, kWindow = 0x3D0 };

static const char *const kMenuNames[] = {"Advanced", "UsingExtensions", "AboutExtensions", "Prefs"};
enum { kMenuCount = sizeof kMenuNames / sizeof kMenuNames[0] };

typedef struct {
    char name[kNameLength];
    ItemProcs procs;
} Item;

typedef struct {
    char text[kNameLength + 16];
} Name;

static ViewerState state;
static Item items[kItemCapacity];
static size_t itemCount;
static int menusHeld[kMenuCount];
static ItemProcs button;
static Atom buttonName = kNullAtom;
static void *buttonImage;
static const ToolRecord *tool;
static char alert[kAlertLength];
static size_t alerts;

ViewerState *viewer(void) { return &state; }

static bool isMenu(Handle handle) { return handle >= kFirstMenu && handle < kFirstMenu + kMenuCount; }
static bool isItem(Handle handle) { return handle >= kFirstItem && handle < kFirstItem + itemCount; }

static Name nameOf(Handle handle) {
    Name name;
    if (handle == kMenuBar) snprintf(name.text, sizeof name.text, "menubar");
    else if (handle == kToolBar) snprintf(name.text, sizeof name.text, "toolbar");
    else if (handle == kAnchorButton) snprintf(name.text, sizeof name.text, "anchor");
    else if (handle == kButton) snprintf(name.text, sizeof name.text, "button");
    else if (handle == kView) snprintf(name.text, sizeof name.text, "view");
    else if (handle == kReportDocument) snprintf(name.text, sizeof name.text, "report");
    else if (isMenu(handle)) snprintf(name.text, sizeof name.text, "menu %s", kMenuNames[handle - kFirstMenu]);
    else if (isItem(handle)) snprintf(name.text, sizeof name.text, "item %s", items[handle - kFirstItem].name);
    else snprintf(name.text, sizeof name.text, "%#x", (unsigned)handle);
    return name;
}

static Name callbackName(Callback callback) {
    Name name;
    const int number = callbackNumber(callback);
    if (number > 0) snprintf(name.text, sizeof name.text, "cb%d", number);
    else snprintf(name.text, sizeof name.text, "%#x", (unsigned)callback);
    return name;
}

static Name atomName(Atom atom) {
    Name name;
    const char *text = atomText(atom);
    if (text != NULL) snprintf(name.text, sizeof name.text, "\"%s\"", text);
    else snprintf(name.text, sizeof name.text, "%#x", (unsigned)atom);
    return name;
}

static void CDECL_PROC viewAlert(const char *message) {
    logCall("AcroView 5 (note)");
    snprintf(alert, sizeof alert, "%s", message != NULL ? message : "(null)");
    ++alerts;
}

static Handle CDECL_PROC viewActiveView(void) {
    logCall("AcroView 12 ()");
    return state.activeView;
}

static Handle CDECL_PROC viewMenuBar(void) {
    logCall("AcroView 16 ()");
    return kMenuBar;
}

static Handle CDECL_PROC viewToolBar(void) {
    logCall("AcroView 17 ()");
    return kToolBar;
}

static void *CDECL_PROC viewActiveTool(void) {
    logCall("AcroView 18 ()");
    return state.activeTool;
}

static Handle CDECL_PROC viewDocument(Handle view) {
    logCall("AcroView 48 (%s)", nameOf(view).text);
    if (state.raiseOnViewDocument) {
        state.raiseOnViewDocument = false;
        raiseError(0x40000048, "AcroView 48 raised, as the scenario asks");
    }
    return state.viewDocument;
}

static Atom CDECL_PROC viewSelectionType(Handle view) {
    logCall("AcroView 56 (%s)", nameOf(view).text);
    return state.selectionKind;
}

static Handle CDECL_PROC viewSelection(Handle view) {
    logCall("AcroView 57 (%s)", nameOf(view).text);
    return kSelection;
}

static Handle CDECL_PROC viewAcquireMenu(Handle menuBar, const char *name) {
    logCall("AcroView 71 (%s, \"%s\")", nameOf(menuBar).text, name != NULL ? name : "(null)");
    for (size_t i = 0; name != NULL && i < kMenuCount; ++i) {
        if (strcmp(kMenuNames[i], name) == 0) {
            ++menusHeld[i];
            return (Handle)(kFirstMenu + i);
        }
    }
    return 0;
}

static void CDECL_PROC viewReleaseMenu(Handle menu) {
    logCall("AcroView 80 (%s)", nameOf(menu).text);
    if (!isMenu(menu) || menusHeld[menu - kFirstMenu] == 0) differ("AcroView 80 releases a menu it does not hold");
    else --menusHeld[menu - kFirstMenu];
}

static void CDECL_PROC viewAddItem(Handle menu, Handle item, int32_t position) {
    logCall("AcroView 89 (%s, %s, %d)", nameOf(menu).text, nameOf(item).text, (int)position);
}

static Handle CDECL_PROC viewNewItem(const char *title, const char *name, Handle submenu, Bool16 longMenusOnly,
                                     char shortcut, int32_t flags, Handle icon, uint32_t extension) {
    logCall("AcroView 90 (\"%s\", \"%s\", %u, %u, %d, %d, %u, %s)", title, name, (unsigned)submenu,
            (unsigned)longMenusOnly, shortcut, (int)flags, (unsigned)icon,
            extension == kExtension ? "extension" : "another extension");
    if (itemCount == kItemCapacity || strlen(name) >= kNameLength) giveUp("AcroView 90: too many or too long");
    memset(&items[itemCount], 0, sizeof items[itemCount]);
    strcpy(items[itemCount].name, name);
    return (Handle)(kFirstItem + itemCount++);
}

enum Role { kExecute, kEnabled, kMarked };

/* Attaches a procedure to an item or to the button. */
static void attach(int selector, enum Role role, Handle target, Callback proc, void *data) {
    logCall("AcroView %d (%s, %s, %u)", selector, nameOf(target).text, callbackName(proc).text,
            (unsigned)(uintptr_t)data);
    ItemProcs *procs = target == kButton ? &button : isItem(target) ? &items[target - kFirstItem].procs : NULL;
    if (procs == NULL) return;
    Callback *callbacks[] = {&procs->execute, &procs->enabled, &procs->marked};
    void **clientData[] = {&procs->executeData, &procs->enabledData, &procs->markedData};
    *callbacks[role] = proc;
    *clientData[role] = data;
}

static void CDECL_PROC viewItemExecute(Handle item, Callback cb, void *data) { attach(99, kExecute, item, cb, data); }
static void CDECL_PROC viewItemEnabled(Handle item, Callback cb, void *data) { attach(100, kEnabled, item, cb, data); }
static void CDECL_PROC viewItemMarked(Handle item, Callback cb, void *data) { attach(101, kMarked, item, cb, data); }
static void CDECL_PROC viewButtonExecute(Handle button, Callback cb, void *data) {
    attach(175, kExecute, button, cb, data);
}
static void CDECL_PROC viewButtonEnabled(Handle button, Callback cb, void *data) {
    attach(176, kEnabled, button, cb, data);
}
static void CDECL_PROC viewButtonMarked(Handle button, Callback cb, void *data) {
    attach(177, kMarked, button, cb, data);
}

static Handle CDECL_PROC viewButtonByName(Handle toolBar, Atom name) {
    logCall("AcroView 163 (%s, %s)", nameOf(toolBar).text, atomName(name).text);
    const char *text = atomText(name);
    return text != NULL && strcmp(text, "endToolsGroup") == 0 ? kAnchorButton : 0;
}

static void CDECL_PROC viewAddButton(Handle toolBar, Handle newButton, Bool16 before, Handle other) {
    logCall("AcroView 165 (%s, %s, %u, %s)", nameOf(toolBar).text, nameOf(newButton).text, (unsigned)before,
            nameOf(other).text);
}

static Handle CDECL_PROC viewNewButton(Atom name, void *icon, Bool16 longOnly, Bool16 separator) {
    logCall("AcroView 169 (%s, %s, %u, %u)", atomName(name).text, icon != NULL ? "bitmap" : "null",
            (unsigned)longOnly, (unsigned)separator);
    buttonName = name;
    buttonImage = icon;
    return kButton;
}

static void CDECL_PROC viewRegisterTool(ToolRecord *record) {
    logCall("AcroView 443 (%s)", record != NULL ? "tool record" : "null");
    tool = record;
}

static Handle CDECL_PROC viewOpenInNewWindow(Handle document, int32_t flags) {
    logCall("AcroView 486 (%s, %d)", nameOf(document).text, (int)flags);
    return kWindow;
}

void fillViewer(Proc *view) {
    view[5] = (Proc)viewAlert;
    view[12] = (Proc)viewActiveView;
    view[16] = (Proc)viewMenuBar;
    view[17] = (Proc)viewToolBar;
    view[18] = (Proc)viewActiveTool;
    view[48] = (Proc)viewDocument;
    view[56] = (Proc)viewSelectionType;
    view[57] = (Proc)viewSelection;
    view[71] = (Proc)viewAcquireMenu;
    view[80] = (Proc)viewReleaseMenu;
    view[89] = (Proc)viewAddItem;
    view[90] = (Proc)viewNewItem;
    view[99] = (Proc)viewItemExecute;
    view[100] = (Proc)viewItemEnabled;
    view[101] = (Proc)viewItemMarked;
    view[163] = (Proc)viewButtonByName;
    view[165] = (Proc)viewAddButton;
    view[169] = (Proc)viewNewButton;
    view[175] = (Proc)viewButtonExecute;
    view[176] = (Proc)viewButtonEnabled;
    view[177] = (Proc)viewButtonMarked;
    view[443] = (Proc)viewRegisterTool;
    view[486] = (Proc)viewOpenInNewWindow;
}

const ItemProcs *itemProcs(const char *name) {
    for (size_t i = 0; i < itemCount; ++i) {
        if (strcmp(items[i].name, name) == 0) return &items[i].procs;
    }
    return NULL;
}

const ItemProcs *buttonProcs(void) { return &button; }
const ToolRecord *registeredTool(void) { return tool; }
Atom buttonAtom(void) { return buttonName; }
void *buttonIcon(void) { return buttonImage; }
size_t alertCount(void) { return alerts; }
const char *lastAlert(void) { return alert; }

int menusStillHeld(void) {
    int held = 0;
    for (size_t i = 0; i < kMenuCount; ++i) held += menusHeld[i];
    return held;
}
