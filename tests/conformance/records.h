/* The values and records that cross the boundary between the viewer and a
 * plug-in, declared from their byte layouts alone, as the viewer's own C
 * code declares them. Nothing here comes from the plug-in's headers: a
 * layout on which the two sides disagree shows as a difference at run time.
 *
 * A function table is the address of its first entry: selector n is the
 * entry at index n from that address, and nothing stands before it. */
#ifndef CONFORMANCE_RECORDS_H
#define CONFORMANCE_RECORDS_H

#include <stddef.h>
#include <stdint.h>

/* Every procedure that crosses the boundary, in either direction, uses the
 * C calling convention. */
#if defined(_WIN32)
#define CDECL_PROC __cdecl
#else
#define CDECL_PROC
#endif

typedef uint16_t Atom; /* an interned string; 0xFFFF is the null atom */
typedef uint32_t Handle; /* 0 is none */
typedef uint32_t Callback; /* a procedure registered with Core 8 */
typedef uint16_t Bool16;
typedef int32_t Fixed; /* 16.16 */

enum { kNullAtom = 0xFFFF, kHandshakeVersion = 0x20000 };

/* Cos objects, bookmarks, destinations and actions: 8 bytes by value. */
typedef struct {
    uint32_t word0;
    uint32_t word1;
} Object;

typedef struct {
    Fixed left, top, right, bottom;
} FixedRect;

typedef struct {
    Fixed a, b, c, d, e, f;
} FixedMatrix;

/* An entry of a function table, cast to its own type where it is called. */
typedef void(CDECL_PROC *Proc)(void);

typedef struct {
    uint32_t unused;
    void *moduleInstance;
} WindowsData;

typedef struct {
    uint32_t version; /* 0x20000 */
    uint32_t extension;
    Proc *coreTable;
    Callback handshake; /* written by the plug-in */
} SetupRecord;

typedef struct {
    uint32_t size; /* not touched by the plug-in */
    uint16_t flags; /* not touched by the plug-in */
    Atom extensionName;
    Callback exportTables;
    Callback importReplace;
    Callback init;
    Callback unload;
} HandshakeRecord;

typedef struct {
    uint32_t fields[22]; /* field n of the layout is fields[n - 1] */
} ToolRecord;

typedef struct {
    unsigned char bytes[64];
} FrameRecord;

typedef void(CDECL_PROC *RestoreProc)(FrameRecord *record);
typedef Bool16(CDECL_PROC *SetupProc)(uint32_t handshakeVersion, SetupRecord *record);
typedef Bool16(CDECL_PROC *HandshakeProc)(uint32_t handshakeVersion, HandshakeRecord *record);
typedef Bool16(CDECL_PROC *PlugInMainProc)(uint32_t hostVersion, uint32_t *handshakeVersion, SetupProc *setup,
                                           WindowsData *windowsData);
typedef Bool16(CDECL_PROC *AnswerProc)(void);
typedef void(CDECL_PROC *ClientProc)(void *data);
typedef Bool16(CDECL_PROC *QueryProc)(void *data);
typedef Atom(CDECL_PROC *ToolAtomProc)(ToolRecord *tool);
typedef Bool16(CDECL_PROC *FontEnumProc)(Handle font, void *fontFlags, void *data);
typedef Bool16(CDECL_PROC *SelectionFontProc)(void *data, Handle font, void *fontFlags);

/* Byte offsets of the records that travel as bytes with their size. */
enum {
    kFontAttrsSize = 84,
    kFontAttrsName = 0,
    kFontAttrsType = 2,
    kFontAttrsCharSet = 4,
    kFontAttrsEncoding = 6,
    kFontAttrsCidType = 50,
    kFontAttrsProtection = 76,

    kGraphicStateSize = 164,
    kGraphicStateFillSpace = 4,
    kGraphicStateFillColor = 8,
    kGraphicStateStrokeSpace = 44,
    kGraphicStateStrokeColor = 48,
    kGraphicStateLineWidth = 136,
    kGraphicStateMiterLimit = 140,
    kGraphicStateFlatness = 144,
};

_Static_assert(sizeof(Object) == 8, "an object is two 32-bit words");
_Static_assert(sizeof(FixedRect) == 16, "a rectangle is four 16.16 values");
_Static_assert(sizeof(HandshakeRecord) == 24, "the handshake record is 24 bytes");
_Static_assert(offsetof(HandshakeRecord, extensionName) == 6, "the extension name is at bytes 6-7");
_Static_assert(offsetof(HandshakeRecord, init) == 16, "init is at bytes 16-19");
_Static_assert(sizeof(ToolRecord) == 88, "the tool record is 88 bytes");
_Static_assert(sizeof(FrameRecord) == 64, "the frame record is 64 bytes");
#if UINTPTR_MAX == 0xFFFFFFFFu
/* The viewer's own layouts, where pointers are 32-bit. */
_Static_assert(sizeof(WindowsData) == 8, "the Windows data is 8 bytes");
_Static_assert(sizeof(SetupRecord) == 16, "the setup record is 16 bytes");
_Static_assert(offsetof(SetupRecord, coreTable) == 8, "the Core table is field 3");
#endif

#endif
