/* Loading the plug-in on Linux: dlopen and dlsym. The plug-in's Windows
 * calls have stand-ins there: its debugger output goes to standard error,
 * and a bitmap is the BMP file of the resource, kept as its bytes and
 * their count. */
#define _POSIX_C_SOURCE 200809L

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "conformance.h"

static int savedStandardError = -1;
static FILE *captured;

void *openPlugin(const char *path) {
    void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == NULL) printf("conformance: cannot load %s: %s\n", path, dlerror());
    return library;
}

PlugInMainProc pluginEntry(void *library) {
    PlugInMainProc entry;
    void *symbol = dlsym(library, "PlugInMain");
    memcpy(&entry, &symbol, sizeof entry);
    return entry;
}

void closePlugin(void *library) { dlclose(library); }

void switchOnPluginLog(void) { setenv("ORTHEO_LOG_ERRORS", "1", 1); }

void startCapture(void) {
    fflush(stderr);
    captured = tmpfile();
    savedStandardError = dup(STDERR_FILENO);
    if (captured == NULL || savedStandardError < 0 || dup2(fileno(captured), STDERR_FILENO) < 0) {
        giveUp("cannot capture standard error");
    }
}

void endCapture(char *text, size_t size) {
    fflush(stderr);
    dup2(savedStandardError, STDERR_FILENO);
    close(savedStandardError);
    rewind(captured);
    const size_t length = fread(text, 1, size - 1, captured);
    text[length] = '\0';
    fclose(captured);
}

/* Reads a little-endian number from the BMP's headers. */
static long littleEndian(const unsigned char *bytes, int count) {
    long value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

bool describeIcon(void *icon, char *text, size_t size) {
    if (icon == NULL) return false;
    const struct {
        const unsigned char *bytes;
        size_t size;
    } *bitmap = icon;
    if (bitmap->size < 26 || memcmp(bitmap->bytes, "BM", 2) != 0) return false;
    snprintf(text, size, "%ld x %ld", littleEndian(bitmap->bytes + 18, 4), littleEndian(bitmap->bytes + 22, 4));
    return true;
}

bool canAskDeletedIcon(void) { return false; }
