/* Loading the plug-in on Windows: LoadLibraryA and GetProcAddress. The
 * plug-in's trace goes to the debugger through OutputDebugStringA, which
 * raises DBG_PRINTEXCEPTION_C with the text; a vectored handler sees it
 * before anyone else and keeps a copy. */
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "conformance.h"

enum { kTraceCapacity = 1024 };

static int savedStandardError = -1;
static FILE *captured;
static void *traceHandler;
static char trace[kTraceCapacity];

void *openPlugin(const char *path) {
    HMODULE library = LoadLibraryA(path);
    if (library == NULL) printf("conformance: LoadLibraryA cannot load %s (error %lu)\n", path, GetLastError());
    return library;
}

PlugInMainProc pluginEntry(void *library) {
    const FARPROC found = GetProcAddress((HMODULE)library, "PlugInMain");
    PlugInMainProc entry;
    memcpy(&entry, &found, sizeof entry);
    return entry;
}

void closePlugin(void *library) { FreeLibrary((HMODULE)library); }

void switchOnPluginLog(void) { _putenv("ORTHEO_LOG_ERRORS=1"); }

static LONG CALLBACK keepTrace(EXCEPTION_POINTERS *exception) {
    const EXCEPTION_RECORD *record = exception->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        const char *text = (const char *)record->ExceptionInformation[1];
        const size_t used = strlen(trace);
        if (text != NULL) snprintf(trace + used, sizeof trace - used, "%s", text);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

/* A temporary file that goes when it is closed ("D", msvcrt's flag). */
static FILE *temporaryFile(void) {
    char folder[MAX_PATH], path[MAX_PATH];
    if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, "och", 0, path) == 0) return NULL;
    return fopen(path, "w+bD");
}

void startCapture(void) {
    fflush(stderr);
    trace[0] = '\0';
    traceHandler = AddVectoredExceptionHandler(1, keepTrace);
    captured = temporaryFile();
    savedStandardError = _dup(2);
    if (traceHandler == NULL || captured == NULL || savedStandardError < 0 || _dup2(_fileno(captured), 2) < 0) {
        giveUp("cannot capture standard error and the debugger output");
    }
}

void endCapture(char *text, size_t size) {
    fflush(stderr);
    _dup2(savedStandardError, 2);
    _close(savedStandardError);
    RemoveVectoredExceptionHandler(traceHandler);
    const size_t used = (size_t)snprintf(text, size, "%s", trace);
    rewind(captured);
    if (used < size - 1) text[used + fread(text + used, 1, size - 1 - used, captured)] = '\0';
    fclose(captured);
}

bool describeIcon(void *icon, char *text, size_t size) {
    BITMAP bitmap;
    if (icon == NULL || GetObjectA((HGDIOBJ)icon, sizeof bitmap, &bitmap) != sizeof bitmap) return false;
    snprintf(text, size, "%ld x %ld", bitmap.bmWidth, bitmap.bmHeight);
    return true;
}

bool canAskDeletedIcon(void) { return true; }
