/* Differences and recorded lines. Every difference is printed as it is
 * found; the host exits non-zero when there was any. */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "conformance.h"

/* A plug-in that gets one thing wrong often gets it wrong at every call:
 * the first differences tell, the rest are counted. */
enum { kDifferencesShown = 40 };

static int differences;
static Lines callLog;
static bool callLogOn;

static void printDifference(const char *format, va_list args) {
    printf("DIFFERS: ");
    vprintf(format, args);
    printf("\n");
}

void differ(const char *format, ...) {
    if (++differences > kDifferencesShown) return;
    va_list args;
    va_start(args, format);
    printDifference(format, args);
    va_end(args);
}

void giveUp(const char *format, ...) {
    va_list args;
    va_start(args, format);
    printDifference(format, args);
    va_end(args);
    printf("conformance: stopped after %d differences\n", differences + 1);
    exit(1);
}

int differenceCount(void) { return differences; }

void expectNumber(const char *what, long long got, long long wanted) {
    if (got != wanted) differ("%s: %lld (%#llx), wanted %lld (%#llx)", what, got, got, wanted, wanted);
}

void expectText(const char *what, const char *got, const char *wanted) {
    if (got == NULL || strcmp(got, wanted) != 0) {
        differ("%s: \"%s\", wanted \"%s\"", what, got != NULL ? got : "(null)", wanted);
    }
}

static void addLineV(Lines *lines, const char *format, va_list args) {
    if (lines->count == kLineCapacity) {
        lines->overflowed = true;
        return;
    }
    vsnprintf(lines->text[lines->count++], kLineLength, format, args);
}

void addLine(Lines *lines, const char *format, ...) {
    va_list args;
    va_start(args, format);
    addLineV(lines, format, args);
    va_end(args);
}

void expectLines(const char *what, const Lines *got, const char *const *wanted, size_t count) {
    if (got->overflowed) differ("%s: more than %d lines", what, kLineCapacity);
    size_t shared = got->count < count ? got->count : count;
    for (size_t i = 0; i < shared; ++i) {
        if (strcmp(got->text[i], wanted[i]) != 0) {
            differ("%s, line %zu: \"%s\", wanted \"%s\"", what, i + 1, got->text[i], wanted[i]);
            return;
        }
    }
    if (got->count > count) {
        differ("%s: %zu lines, wanted %zu; the first too many is \"%s\"", what, got->count, count, got->text[shared]);
    } else if (got->count < count) {
        differ("%s: %zu lines, wanted %zu; the first missing is \"%s\"", what, got->count, count, wanted[shared]);
    }
}

void expectSameLines(const char *what, const Lines *got, const Lines *wanted) {
    const char *lines[kLineCapacity];
    for (size_t i = 0; i < wanted->count; ++i) lines[i] = wanted->text[i];
    expectLines(what, got, lines, wanted->count);
}

void startCallLog(void) {
    callLog.count = 0;
    callLog.overflowed = false;
    callLogOn = true;
}

const Lines *stopCallLog(void) {
    callLogOn = false;
    return &callLog;
}

void logCall(const char *format, ...) {
    if (!callLogOn) return;
    va_list args;
    va_start(args, format);
    addLineV(&callLog, format, args);
    va_end(args);
}
