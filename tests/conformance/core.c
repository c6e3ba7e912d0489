/* Core and AcroSupport: atoms, callbacks, exception frames and the error in
 * flight. A raise records the error and calls the restore procedure of the
 * plug-in's top frame, which jumps back into the plug-in and never returns;
 * the plug-in pops the frame itself. */
#include <stdio.h>
#include <string.h>

#include "conformance.h"

enum { kAtomCapacity = 128, kAtomLength = 64, kFirstAtom = 0x100 };
enum { kCallbackCapacity = 64 };
enum { kFrameCapacity = 32 };
enum { kErrorTextSize = 256 };

static const Callback kFirstCallback = 0xCB000001u;

static char atoms[kAtomCapacity][kAtomLength];
static size_t atomCount;

static struct {
    Proc proc;
    bool live;
} callbacks[kCallbackCapacity];
static size_t callbackCount;
static size_t callbackMark;

static struct {
    FrameRecord *record;
    RestoreProc restore;
} frames[kFrameCapacity];
static size_t depth, pushed, popped, raised;

static int32_t errorInFlight;
static char errorText[kErrorTextSize];

/* --- atoms --- */

Atom atomOf(const char *text) {
    for (size_t i = 0; i < atomCount; ++i) {
        if (strcmp(atoms[i], text) == 0) return (Atom)(kFirstAtom + i);
    }
    if (atomCount == kAtomCapacity || strlen(text) >= kAtomLength) {
        differ("no room for the atom \"%.80s\"", text);
        return kNullAtom;
    }
    strcpy(atoms[atomCount], text);
    return (Atom)(kFirstAtom + atomCount++);
}

const char *atomText(Atom atom) {
    if (atom < kFirstAtom || atom - kFirstAtom >= (int)atomCount) return NULL;
    return atoms[atom - kFirstAtom];
}

static Atom CDECL_PROC coreAtomFromString(const char *text) {
    if (text == NULL) raiseError(1, "Core 5 was given no text");
    return atomOf(text);
}

static const char *CDECL_PROC coreStringFromAtom(Atom atom) {
    const char *text = atomText(atom);
    if (text == NULL) {
        differ("Core 7 was given %#x, which is no atom of this host", atom);
        raiseError(1, "Core 7: no such atom");
    }
    return text;
}

/* --- callbacks --- */

static Callback CDECL_PROC coreNewCallback(uint32_t extension, Proc proc) {
    if (extension != kExtension) differ("Core 8 with extension %#x, not the one of the setup record", extension);
    if (proc == NULL) differ("Core 8 was given no procedure");
    if (callbackCount == kCallbackCapacity) giveUp("Core 8: more than %d callbacks", kCallbackCapacity);
    callbacks[callbackCount].proc = proc;
    callbacks[callbackCount].live = true;
    return kFirstCallback + (Callback)callbackCount++;
}

static bool isLive(Callback callback) {
    const Callback index = callback - kFirstCallback;
    return callback >= kFirstCallback && index < callbackCount && callbacks[index].live;
}

static void CDECL_PROC coreDestroyCallback(Callback callback) {
    if (!isLive(callback)) {
        differ("Core 9 was given %#x, which is no live callback", callback);
        return;
    }
    callbacks[callback - kFirstCallback].live = false;
}

void markCallbacks(void) { callbackMark = callbackCount; }

int callbackNumber(Callback callback) {
    const Callback index = callback - kFirstCallback;
    if (callback < kFirstCallback || index < callbackMark || index >= callbackCount) return 0;
    return (int)(index - callbackMark + 1);
}

bool callbackLive(Callback callback) { return isLive(callback); }

Proc procOf(Callback callback) {
    if (!isLive(callback)) {
        differ("%#x is no live callback of this host", callback);
        return NULL;
    }
    return callbacks[callback - kFirstCallback].proc;
}

/* --- frames and errors --- */

static void CDECL_PROC corePushFrame(FrameRecord *record, RestoreProc restore) {
    if (record == NULL || restore == NULL) {
        differ("Core 2 without a frame record or a restore procedure");
        return;
    }
    if (depth == kFrameCapacity) giveUp("Core 2: frames %d deep", kFrameCapacity);
    frames[depth].record = record;
    frames[depth].restore = restore;
    ++depth;
    ++pushed;
}

static void CDECL_PROC corePopFrame(void) {
    if (depth == 0) {
        differ("Core 3 with no frame pushed");
        return;
    }
    --depth;
    ++popped;
}

size_t frameDepth(void) { return depth; }
size_t framesPushed(void) { return pushed; }
size_t framesPopped(void) { return popped; }
size_t raisedCount(void) { return raised; }

void raiseError(int32_t code, const char *text) {
    errorInFlight = code;
    snprintf(errorText, sizeof errorText, "%s", text);
    ++raised;
    if (depth == 0) giveUp("a host operation raised (\"%s\") with no frame pushed", text);
    frames[depth - 1].restore(frames[depth - 1].record);
    giveUp("the restore procedure of a frame returned to the host");
}

static int32_t CDECL_PROC coreErrorInFlight(void) { return errorInFlight; }

static char *CDECL_PROC supportErrorText(int32_t code, char *buffer, int32_t size) {
    if (buffer == NULL || size != kErrorTextSize) {
        differ("AcroSupport 4 with a buffer of %d bytes, wanted one of %d", (int)size, kErrorTextSize);
        if (buffer == NULL || size <= 0) return buffer;
    }
    snprintf(buffer, (size_t)size, "%s", code == errorInFlight ? errorText : "Unknown error");
    return buffer;
}

void fillCore(Proc *core) {
    core[2] = (Proc)corePushFrame;
    core[3] = (Proc)corePopFrame;
    core[4] = (Proc)coreErrorInFlight;
    core[5] = (Proc)coreAtomFromString;
    core[7] = (Proc)coreStringFromAtom;
    core[8] = (Proc)coreNewCallback;
    core[9] = (Proc)coreDestroyCallback;
    core[10] = (Proc)coreGetTable;
}

void fillSupport(Proc *support) {
    support[4] = (Proc)supportErrorText;
    support[103] = (Proc)supportTableVersion;
}
