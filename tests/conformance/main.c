/* The conformance host: an independent host written in C from the byte
 * layouts of the records alone. It loads the plug-in library as the viewer
 * does (PlugInMain, SetupPlugin, HandshakePlugin), hands out its function
 * tables as plain entry arrays, and drives the plug-in through every phase:
 * a refused load, the load, init, the queries, the notes, the command
 * without a document and with a raise, the report of a minimal document by
 * pages and by selected text, and unload. Each difference from what the
 * plug-in must do is printed; the host exits with 1 when there was any.
 *
 * Usage: conformance_host PLUGIN_LIBRARY */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "conformance.h"

enum { kOutputSize = 4096 };

/* The tables the plug-in imports, in its order, at the versions it asks. */
static const struct {
    const char *name;
    uint32_t version;
} kImports[] = {
    {"AcroSupport", 0x60000}, {"Core", 0x50000},        {"Cos", 0x60000},        {"PDModel", 0x60000},
    {"PDFEditWrite", 0x60000}, {"PDFEditRead", 0x60000}, {"PDSysFont", 0x40000},  {"PagePDEContent", 0x60000},
    {"AcroView", 0x60000},    {"PDSWrite", 0x60000},    {"PDSRead", 0x60000},    {"Win", 0x50000},
    {"ASExtra", 0x60000},     {"AcroViewSweetPea", 0x50000}, {"AcroColorHFT", 0x60000},
};
enum { kImportCount = sizeof kImports / sizeof kImports[0] };

static const char kNoDocumentLog[] =
    "Error: There is no active document to process. f:\\pdf\\pdf\\src\\zelta\\convert(%d)\n";
static const char kFailedLog[] = "Error: Error While converting() failed. f:\\pdf\\pdf\\src\\zelta\\convert(84)\n";
static const char kHelpNote[] = "Press Document Ortheo menu item or  Loop Tool button in Advanced Edit toolbar.\n"
                                "Detailed Font info will be created in new PDF document. ";
static const char kAboutNoteStart[] =
    "About Ortheo\nOrtheo make report which allows you to make deep PDF fonts analyze\n";

typedef struct {
    void *library;
    Callback init, unload;
} Loaded;

/* --- calls into the plug-in, each of which must leave the frames as it
 * found them --- */

static void expectFramesAsFound(const char *what, size_t depth) {
    if (frameDepth() != depth) differ("%s left %zu exception frames where it found %zu", what, frameDepth(), depth);
}

static Bool16 callAnswer(const char *what, Callback callback) {
    const AnswerProc proc = (AnswerProc)procOf(callback);
    if (proc == NULL) return 0;
    const size_t depth = frameDepth();
    const Bool16 answer = proc();
    expectFramesAsFound(what, depth);
    return answer;
}

static Bool16 callQuery(const char *what, Callback callback, void *data) {
    const QueryProc proc = (QueryProc)procOf(callback);
    if (proc == NULL) return 0;
    const size_t depth = frameDepth();
    const Bool16 answer = proc(data);
    expectFramesAsFound(what, depth);
    return answer;
}

static void chooseItem(const char *name) {
    const ItemProcs *item = itemProcs(name);
    const ClientProc proc = item != NULL ? (ClientProc)procOf(item->execute) : NULL;
    if (proc == NULL) {
        differ("no item %s with an execute procedure", name);
        return;
    }
    const size_t depth = frameDepth();
    proc(item->executeData);
    expectFramesAsFound(name, depth);
}

/* --- loading --- */

static SetupProc enter(void *library, uint32_t hostVersion, uint32_t wantedVersion) {
    const PlugInMainProc entry = pluginEntry(library);
    if (entry == NULL) giveUp("the library does not export PlugInMain");
    uint32_t version = 0;
    SetupProc setup = NULL;
    WindowsData windowsData = {0, library};
    expectNumber("PlugInMain's answer", entry(hostVersion, &version, &setup, &windowsData), 1);
    expectNumber("the handshake version PlugInMain agrees on", version, wantedVersion);
    if (setup == NULL) giveUp("PlugInMain handed back no setup procedure");
    return setup;
}

/* The look-ups of an import: AcroSupport directly, then every table in
 * order, Win through the list of known versions, up to the missing table. */
static void expectImports(const char *what, const char *missing) {
    Lines wanted = {.count = 0};
    addLine(&wanted, "Core 10 (\"AcroSupport\", 0x60000) -> table");
    addLine(&wanted, "AcroSupport 103 (AcroSupport at 0x60000)");
    for (size_t i = 0; i < kImportCount; ++i) {
        const char *name = kImports[i].name;
        const unsigned version = kImports[i].version;
        const bool isMissing = missing != NULL && strcmp(name, missing) == 0;
        addLine(&wanted, "Core 10 (\"%s\", %#x) -> %s", name, version,
                isMissing || strcmp(name, "Win") == 0 ? "none" : "table");
        if (isMissing) break;
        if (strcmp(name, "Win") == 0) addLine(&wanted, "Core 10 (\"Win\", 0x50001) -> table");
        else addLine(&wanted, "AcroSupport 103 (%s at %#x)", name, version);
    }
    expectSameLines(what, stopCallLog(), &wanted);
}

static void checkRefusedLoad(const char *path) {
    printf("-- a host without AcroColorHFT, offering handshake version 0x30000\n");
    void *library = openPlugin(path);
    if (library == NULL) giveUp("the plug-in library cannot be loaded");
    withholdTable("AcroColorHFT");
    const SetupProc setup = enter(library, 0x30000, kHandshakeVersion);
    SetupRecord record = {kHandshakeVersion, kExtension, setupCoreTable(), 0};
    startCallLog();
    expectNumber("SetupPlugin's answer to handshake version 0x10000", setup(0x10000, &record), 0);
    expectNumber("look-ups for handshake version 0x10000", (long long)stopCallLog()->count, 0);

    char output[kOutputSize];
    startCallLog();
    startCapture();
    const Bool16 answer = setup(kHandshakeVersion, &record);
    endCapture(output, sizeof output);
    expectImports("the look-ups without AcroColorHFT", "AcroColorHFT");
    expectNumber("SetupPlugin's answer without AcroColorHFT", answer, 0);
    expectText("the trace of the failed import", output, "failed on AcroColorHFT version 60000\n");
    expectNumber("the handshake callback of a refused setup", record.handshake, 0);
    expectFramesAsFound("SetupPlugin", 0);
    closePlugin(library);
    offerAllTables();
}

static Loaded load(const char *path) {
    printf("-- the load, with Win offered only at 0x50001\n");
    Loaded loaded = {openPlugin(path), 0, 0};
    if (loaded.library == NULL) giveUp("the plug-in library cannot be loaded");
    const SetupProc setup = enter(loaded.library, kHandshakeVersion, kHandshakeVersion);
    SetupRecord record = {kHandshakeVersion, kExtension, setupCoreTable(), 0};
    startCallLog();
    const Bool16 answer = setup(kHandshakeVersion, &record);
    expectImports("the look-ups of the load", NULL);
    expectFramesAsFound("SetupPlugin", 0);
    if (answer != 1) giveUp("SetupPlugin answered %u: the plug-in does not load", (unsigned)answer);

    const HandshakeProc handshake = (HandshakeProc)procOf(record.handshake);
    if (handshake == NULL) giveUp("the setup record holds no handshake callback");
    HandshakeRecord shake = {sizeof shake, 0x5A5A, kNullAtom, 0, 0, 0, 0};
    expectNumber("HandshakePlugin's answer to version 0x10000", handshake(0x10000, &shake), 0);
    expectNumber("HandshakePlugin's answer", handshake(kHandshakeVersion, &shake), 1);
    expectFramesAsFound("HandshakePlugin", 0);
    expectNumber("the handshake record's size, not to be touched", shake.size, 24);
    expectNumber("the handshake record's flags, not to be touched", shake.flags, 0x5A5A);
    expectText("the extension name", atomText(shake.extensionName), "ZORV:ortheo");
    const char *doNothing = "the do-nothing procedure";
    expectNumber("the answer of the first do-nothing procedure", callAnswer(doNothing, shake.exportTables), 1);
    expectNumber("the answer of the second do-nothing procedure", callAnswer(doNothing, shake.importReplace), 1);
    loaded.init = shake.init;
    loaded.unload = shake.unload;
    return loaded;
}

/* --- init: the tool, the button, the items --- */

/* The viewer calls of init; the callbacks are numbered in the order they
 * are made: the command, the enabled and marked queries, the tool's two
 * procedures, the help and the about notes. Line 4 names the tool's atom. */
static const char *const kInitCalls[] = {
    "AcroView 443 (tool record)",
    "AcroView 17 ()",
    "AcroView 163 (toolbar, \"endToolsGroup\")",
    NULL,
    "AcroView 175 (button, cb1, 0)",
    "AcroView 176 (button, cb2, 16)",
    "AcroView 177 (button, cb3, 0)",
    "AcroView 165 (toolbar, button, 1, anchor)",
    "AcroView 16 ()",
    "AcroView 71 (menubar, \"Advanced\")",
    "AcroView 90 (\"ortheo\", \"ZORV:Ortheo\", 0, 1, 0, 0, 0, extension)",
    "AcroView 99 (item ZORV:Ortheo, cb1, 0)",
    "AcroView 100 (item ZORV:Ortheo, cb2, 16)",
    "AcroView 101 (item ZORV:Ortheo, cb3, 0)",
    "AcroView 89 (menu Advanced, item ZORV:Ortheo, 9999)",
    "AcroView 80 (menu Advanced)",
    "AcroView 71 (menubar, \"UsingExtensions\")",
    "AcroView 90 (\"Ortheo\", \"ZORV:OrtheoHelp\", 0, 0, 0, 0, 0, extension)",
    "AcroView 99 (item ZORV:OrtheoHelp, cb6, 0)",
    "AcroView 89 (menu UsingExtensions, item ZORV:OrtheoHelp, 9999)",
    "AcroView 80 (menu UsingExtensions)",
    "AcroView 71 (menubar, \"AboutExtensions\")",
    "AcroView 90 (\"Ortheo\", \"ZORV:OrtheoAbout\", 0, 0, 0, 0, 0, extension)",
    "AcroView 99 (item ZORV:OrtheoAbout, cb7, 0)",
    "AcroView 89 (menu AboutExtensions, item ZORV:OrtheoAbout, 9999)",
    "AcroView 80 (menu AboutExtensions)",
    "AcroView 71 (menubar, \"Prefs\")",
    "AcroView 89 (menu Prefs, item ZORV:OrtheoAbout, 9999)",
    "AcroView 80 (menu Prefs)",
};
enum { kInitCallCount = sizeof kInitCalls / sizeof kInitCalls[0] };

/* 88 bytes, all zero but its size, the do-nothing and atom procedures, and
 * the enabled query with its client data 0. Answers the tool's atom. */
static Atom expectToolRecord(void) {
    const ToolRecord *tool = registeredTool();
    const ItemProcs *report = itemProcs("ZORV:Ortheo");
    if (tool == NULL || report == NULL) {
        differ("init registered no tool or no report item");
        return kNullAtom;
    }
    ToolRecord wanted = {{0}};
    wanted.fields[0] = 88;
    wanted.fields[1] = callbackLive(tool->fields[1]) ? tool->fields[1] : 0xDEAD;
    wanted.fields[6] = callbackLive(tool->fields[6]) ? tool->fields[6] : 0xDEAD;
    wanted.fields[9] = report->enabled;
    for (int i = 0; i < 22; ++i) {
        if (tool->fields[i] != wanted.fields[i]) {
            differ("tool record field %d: %#x, wanted %#x", i + 1, (unsigned)tool->fields[i],
                   (unsigned)wanted.fields[i]);
        }
    }
    const ToolAtomProc atomProc = (ToolAtomProc)procOf(tool->fields[6]);
    const Atom atom = atomProc != NULL ? atomProc((ToolRecord *)tool) : kNullAtom;
    if (atomText(atom) == NULL) differ("the tool's atom procedure answers %#x, which is no atom", atom);
    expectNumber("the tool's atom, against the button's", atom, buttonAtom());
    return atom;
}

static void checkInit(const Loaded *loaded) {
    printf("-- OnPluginInit\n");
    markCallbacks();
    startCallLog();
    expectNumber("OnPluginInit's answer", callAnswer("OnPluginInit", loaded->init), 1);
    const Lines *calls = stopCallLog();
    const Atom toolAtom = expectToolRecord();

    const char *wanted[kInitCallCount];
    char buttonLine[kLineLength];
    memcpy(wanted, kInitCalls, sizeof wanted);
    snprintf(buttonLine, sizeof buttonLine, "AcroView 169 (\"%s\", bitmap, 1, 0)",
             atomText(toolAtom) != NULL ? atomText(toolAtom) : "?");
    wanted[3] = buttonLine;
    expectLines("the viewer calls of init", calls, wanted, kInitCallCount);
    expectNumber("menus acquired and not released", menusStillHeld(), 0);

    char icon[64];
    if (!describeIcon(buttonIcon(), icon, sizeof icon)) differ("the button's image is no bitmap");
    else expectText("the button's bitmap", icon, "20 x 20");
}

/* The item and the button are enabled for a document that permits copying
 * (bit 0x10), the tool for any document; both are marked while the tool
 * is the active one. */
static void checkQueries(void) {
    printf("-- the enabled and marked queries\n");
    static const struct {
        const char *what;
        Handle view;
        uint32_t permissions;
        Bool16 itemEnabled, toolEnabled;
    } cases[] = {
        {"no document", 0, 0x10, 0, 0},
        {"a document that permits copying", kView, 0x10, 1, 1},
        {"a document that does not", kView, 0x04, 0, 1},
    };
    const ItemProcs *item = itemProcs("ZORV:Ortheo");
    const ItemProcs *button = buttonProcs();
    const ToolRecord *tool = registeredTool();
    if (item == NULL || tool == NULL) return;
    char what[160];
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        viewer()->activeView = cases[i].view;
        viewer()->viewDocument = kSourceDocument;
        viewer()->permissions = cases[i].permissions;
        snprintf(what, sizeof what, "the report item, enabled, with %s", cases[i].what);
        expectNumber(what, callQuery(what, item->enabled, item->enabledData), cases[i].itemEnabled);
        snprintf(what, sizeof what, "the button, enabled, with %s", cases[i].what);
        expectNumber(what, callQuery(what, button->enabled, button->enabledData), cases[i].itemEnabled);
        snprintf(what, sizeof what, "the tool, enabled, with %s", cases[i].what);
        expectNumber(what, callQuery(what, tool->fields[9], (void *)(uintptr_t)tool->fields[10]), cases[i].toolEnabled);
    }
    const char *marked = "the marked query";
    viewer()->activeTool = (void *)tool;
    expectNumber("the item, marked while the tool is active", callQuery(marked, item->marked, item->markedData), 1);
    expectNumber("the button, marked while the tool is active", callQuery(marked, button->marked, button->markedData),
                 1);
    viewer()->activeTool = NULL;
    expectNumber("the item, marked while no tool is active", callQuery(marked, item->marked, item->markedData), 0);
}

static void checkNotes(void) {
    printf("-- the Help and About items\n");
    const size_t alerts = alertCount();
    chooseItem("ZORV:OrtheoHelp");
    expectText("the help note", lastAlert(), kHelpNote);
    chooseItem("ZORV:OrtheoAbout");
    expectNumber("alerts of the two notes", (long long)(alertCount() - alerts), 2);
    const char *about = lastAlert();
    const char *credit = about + strlen(kAboutNoteStart);
    if (strncmp(about, kAboutNoteStart, strlen(kAboutNoteStart)) != 0 || credit[0] != ' ' || credit[1] == '\0' ||
        strchr(credit, '\n') != NULL) {
        differ("the about note \"%s\" is not its two lines and a credit line that begins with a blank", about);
    }
}

/* --- the command --- */

static bool calledOpen(const Lines *calls) {
    for (size_t i = 0; i < calls->count; ++i) {
        if (strncmp(calls->text[i], "AcroView 486", 12) == 0) return true;
    }
    return false;
}

/* Chooses the report item; answers the viewer calls it made, and what the
 * plug-in wrote to standard error in the output. */
static const Lines *runCommand(char *output, size_t size) {
    startCallLog();
    startCapture();
    chooseItem("ZORV:Ortheo");
    endCapture(output, size);
    return stopCallLog();
}

static void checkFailingCommand(const char *what, Handle view, Handle document, bool raising, const char *log) {
    printf("-- the command, %s\n", what);
    viewer()->activeView = view;
    viewer()->viewDocument = document;
    viewer()->raiseOnViewDocument = raising;
    const size_t alerts = alertCount(), pushed = framesPushed(), popped = framesPopped(), raised = raisedCount();
    char output[kOutputSize];
    const Lines *calls = runCommand(output, sizeof output);
    expectText("the log line", output, log);
    expectNumber("alerts", (long long)(alertCount() - alerts), 0);
    if (calledOpen(calls)) differ("a failed command opened a window");
    expectNumber("raises", (long long)(raisedCount() - raised), raising ? 1 : 0);
    expectNumber("frames popped, against those pushed", (long long)(framesPopped() - popped),
                 (long long)(framesPushed() - pushed));
    viewer()->raiseOnViewDocument = false;
}

static void checkReportCommand(bool selectionMode) {
    printf("-- the report of a one-page document, %s\n", selectionMode ? "of its selected text" : "by pages");
    static const char *const wanted[] = {"AcroView 12 ()",   "AcroView 48 (view)", "AcroView 12 ()",
                                         "AcroView 48 (view)", "AcroView 56 (view)", "AcroView 57 (view)",
                                         "AcroView 486 (report, 0)"};
    const char *const pageModeWanted[] = {wanted[0], wanted[1], wanted[2], wanted[3], wanted[4], wanted[6]};
    viewer()->activeView = kView;
    viewer()->viewDocument = kSourceDocument;
    viewer()->selectionKind = selectionMode ? atomOf("Text") : kNullAtom;
    startReport();
    const size_t alerts = alertCount(), pushed = framesPushed(), popped = framesPopped();
    char output[kOutputSize];
    const Lines *calls = runCommand(output, sizeof output);
    expectText("what the plug-in wrote to standard error", output, "");
    if (alertCount() != alerts) differ("the report alerted: \"%s\"", lastAlert());
    if (selectionMode) expectLines("the viewer calls of the command", calls, wanted, 7);
    else expectLines("the viewer calls of the command", calls, pageModeWanted, 6);
    checkReport(selectionMode);
    expectNumber("frames popped, against those pushed", (long long)(framesPopped() - popped),
                 (long long)(framesPushed() - pushed));
    printf("frames: %zu pushed, %zu popped\n", framesPushed() - pushed, framesPopped() - popped);
}

static void checkUnload(const Loaded *loaded) {
    printf("-- OnPluginUnload\n");
    expectNumber("OnPluginUnload's answer", callAnswer("OnPluginUnload", loaded->unload), 1);
    char icon[64];
    if (canAskDeletedIcon() && describeIcon(buttonIcon(), icon, sizeof icon)) {
        differ("the button's bitmap is still there after unload");
    }
    closePlugin(loaded->library);
}

int main(int argc, char **argv) {
    if (argc != 2) {
        printf("usage: conformance_host PLUGIN_LIBRARY\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    switchOnPluginLog();
    installTables();

    checkRefusedLoad(argv[1]);
    const Loaded loaded = load(argv[1]);
    checkInit(&loaded);
    checkQueries();
    checkNotes();

    char noView[160], noDocument[160];
    snprintf(noView, sizeof noView, kNoDocumentLog, 66);
    snprintf(noDocument, sizeof noDocument, kNoDocumentLog, 71);
    checkFailingCommand("with no active document", 0, 0, false, noView);
    checkFailingCommand("with a view that has no document", kView, 0, false, noDocument);
    checkFailingCommand("with AcroView 48 raising inside its frame", kView, kSourceDocument, true, kFailedLog);
    checkReportCommand(false);
    checkReportCommand(true);
    checkUnload(&loaded);

    printf("conformance: %zu frames pushed, %zu popped, %zu raises\n", framesPushed(), framesPopped(), raisedCount());
    if (differenceCount() > 0) {
        printf("conformance: %d differences\n", differenceCount());
        return 1;
    }
    printf("conformance: no differences\n");
    return 0;
}
