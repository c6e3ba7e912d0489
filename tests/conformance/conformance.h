/* The pieces of the conformance host: the checks and the call log, the
 * core (atoms, callbacks, frames, errors), the tables, the viewer, the
 * minimal document, and the platform's way of loading a library. */
#ifndef CONFORMANCE_H
#define CONFORMANCE_H

#include <stdbool.h>
#include <stddef.h>

#include "records.h"

/* On Windows the host is built with mingw's C99 printf (msvcrt's knows no
 * %zu), whose formats GCC checks as gnu_printf. */
#if defined(_WIN32)
#define PRINTF_FORMAT(string, first) __attribute__((format(gnu_printf, string, first)))
#else
#define PRINTF_FORMAT(string, first) __attribute__((format(printf, string, first)))
#endif

enum { kExtension = 0x0E7E0001, kView = 0x71E, kSourceDocument = 0xD0C1, kReportDocument = 0xD0C2, kSelection = 0x5E1 };

/* --- checks.c: differences and recorded lines --- */

enum { kLineCapacity = 64, kLineLength = 192 };

typedef struct {
    char text[kLineCapacity][kLineLength];
    size_t count;
    bool overflowed;
} Lines;

/* Prints one difference and counts it. */
void differ(const char *format, ...) PRINTF_FORMAT(1, 2);
/* Prints one difference after which nothing more can be checked, and exits. */
_Noreturn void giveUp(const char *format, ...) PRINTF_FORMAT(1, 2);
int differenceCount(void);
void expectNumber(const char *what, long long got, long long wanted);
void expectText(const char *what, const char *got, const char *wanted);

void addLine(Lines *lines, const char *format, ...) PRINTF_FORMAT(2, 3);
void expectLines(const char *what, const Lines *got, const char *const *wanted, size_t count);
void expectSameLines(const char *what, const Lines *got, const Lines *wanted);

/* The call log: while it is on, the viewer and the table look-ups add a
 * line for each call. */
void startCallLog(void);
const Lines *stopCallLog(void);
void logCall(const char *format, ...) PRINTF_FORMAT(1, 2);

/* --- core.c: Core and AcroSupport --- */

Atom atomOf(const char *text);
const char *atomText(Atom atom); /* null for no atom of this host */

void markCallbacks(void);
/* The callback's number counted from the last mark (1 for the first made
 * since), or 0 for a callback made before it or unknown. */
int callbackNumber(Callback callback);
bool callbackLive(Callback callback);
Proc procOf(Callback callback); /* null, with a difference, when it is no live callback */

size_t frameDepth(void);
size_t framesPushed(void);
size_t framesPopped(void);
size_t raisedCount(void);
/* Records the error and resumes the plug-in at its top frame. */
_Noreturn void raiseError(int32_t code, const char *text);

void fillCore(Proc *core);
void fillSupport(Proc *support);

/* --- tables.c: the tables as plain entry arrays, by name and version --- */

void installTables(void);
void offerAllTables(void);
void withholdTable(const char *name);
Proc *setupCoreTable(void);
Proc *CDECL_PROC coreGetTable(Atom name, uint32_t version);
uint32_t CDECL_PROC supportTableVersion(Proc *table);

/* --- viewer.c: AcroView --- */

typedef struct {
    Handle activeView;
    Handle viewDocument;
    uint32_t permissions;
    Atom selectionKind;
    void *activeTool;
    bool raiseOnViewDocument; /* AcroView 48 raises once */
} ViewerState;

ViewerState *viewer(void);
void fillViewer(Proc *acroView);

typedef struct {
    Callback execute, enabled, marked;
    void *executeData, *enabledData, *markedData;
} ItemProcs;

const ItemProcs *itemProcs(const char *name); /* null for no such item */
const ItemProcs *buttonProcs(void);
const ToolRecord *registeredTool(void);
Atom buttonAtom(void);
void *buttonIcon(void);
int menusStillHeld(void);
size_t alertCount(void);
const char *lastAlert(void);

/* --- document.c: the minimal document and the report built from it --- */

void fillDocument(Proc *pdModel, Proc *cos, Proc *editRead, Proc *editWrite, Proc *pageContent);
void startReport(void);
void checkReport(bool selectionMode);

/* --- platform_posix.c or platform_windows.c --- */

void *openPlugin(const char *path);
PlugInMainProc pluginEntry(void *library);
void closePlugin(void *library);
void switchOnPluginLog(void);
/* What the plug-in writes to standard error and to the debugger output
 * between the two calls. */
void startCapture(void);
void endCapture(char *text, size_t size);
/* The icon's width and height in the text; false when it is no bitmap. */
bool describeIcon(void *icon, char *text, size_t size);
/* Whether a bitmap can still be asked about once deleted: on Windows a
 * deleted one is known to be gone; elsewhere its memory is freed. */
bool canAskDeletedIcon(void);

#endif
