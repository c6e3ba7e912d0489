/* The minimal document this host serves, and the report the plug-in builds
 * from it: PDModel, Cos, PDFEditRead, PDFEditWrite and PagePDEContent.
 *
 * The source document has one page and one simple font, Helvetica, without
 * a program and without a ToUnicode map. The host records what it is asked
 * to build (the report's pages, bookmarks, text runs and rectangles) and
 * checks it against the layout the report must have. Objects carry a check
 * word, so that one that was cut, swapped or made up on the way is seen. */
#include <stdio.h>
#include <string.h>

#include "conformance.h"

enum { kSourceFont = 0xF0A1, kPageSize = 1100, kCodes = 256 };
enum { kElementCapacity = 2048, kFirstElement = 0xE0001 };
enum { kPageCapacity = 4, kFirstPage = 0x9A01, kFirstContent = 0xC001 };
enum { kBookmarkCapacity = 16, kDestinationCapacity = 16, kTitleLength = 256 };
enum { kRunCapacity = 1024, kRunTextLength = 104, kRectangleCapacity = 1024 };

static const char kFontName[] = "Helvetica";
static const Fixed kOne = 0x10000;
static const uint32_t kCheckWord = 0xA5C3E10Fu; /* an object's second word is its first one xor this */

enum ObjectKind { kCosNullObject = 1, kFontDict, kBookmark, kDestination, kAction };
enum ElementKind { kNoElement, kTextElement, kPathElement, kColourSpace, kReportFont, kAnalysedFont };

typedef struct {
    enum ElementKind kind;
    bool live;
    Atom family;
    Fixed lineWidth;
} Element;

typedef struct {
    FixedRect box;
    int acquired;
    int contentHeld;
    Handle content[4];
    size_t contentCount;
    size_t storedCount;
} Page;

typedef struct {
    int parent;
    char title[kTitleLength];
    int destination; /* of its go-to action, or -1 */
} Bookmark;

typedef struct {
    int page;
    Atom fitType;
    FixedRect rect;
    Fixed zoom;
} Destination;

typedef struct {
    enum ElementKind element, font;
    int32_t mode;
    int32_t length;
    char text[kRunTextLength];
    FixedMatrix matrix;
} TextRun;

typedef struct {
    Handle path;
    Fixed x, y, width, height;
} Rectangle;

static Element elements[kElementCapacity];
static size_t elementCount;
static Page pages[kPageCapacity];
static size_t pageCount;
static Bookmark bookmarks[kBookmarkCapacity];
static size_t bookmarkCount;
static Destination destinations[kDestinationCapacity];
static size_t destinationCount;
static int actionOf[kDestinationCapacity];
static size_t actionCount;
static TextRun runs[kRunCapacity];
static size_t runCount;
static Rectangle rectangles[kRectangleCapacity];
static size_t rectangleCount;
static int namesHandedOut, namesHandedBack, reportsCreated;
static Callback selectionProc;
static uint32_t fontFlags[2];

/* The per-code names and translation of the source font: the standard
 * names of a few codes, and one code that the host translates into
 * another byte. Codes below 0x20 get no translation at all. */
static const char *codeNames[kCodes];
static char letterNames[26][2];
enum { kTranslatedCode = 0x60, kTranslatedInto = 0x91 };

static uint8_t translationOf(int code) {
    if (code == kTranslatedCode) return kTranslatedInto;
    return code < 0x20 ? ' ' : (uint8_t)code;
}

/* --- objects and elements --- */

static Object makeObject(enum ObjectKind kind, size_t index) {
    const uint32_t word0 = (uint32_t)kind << 24 | (uint32_t)index;
    const Object object = {word0, word0 ^ kCheckWord};
    return object;
}

/* The object's index, or -1 with a difference when it is not one of this
 * kind that the host made. */
static int indexOf(const char *where, Object object, enum ObjectKind kind, size_t count) {
    const size_t index = object.word0 & 0xFFFFFF;
    if (object.word0 >> 24 == kind && object.word1 == (object.word0 ^ kCheckWord) && index < count) return (int)index;
    differ("%s was given the object %08x %08x, which is not one of the host's", where, (unsigned)object.word0,
           (unsigned)object.word1);
    return -1;
}

static Handle newElement(enum ElementKind kind) {
    if (elementCount == kElementCapacity) giveUp("more than %d page-content objects in one report", kElementCapacity);
    Element *element = &elements[elementCount];
    memset(element, 0, sizeof *element);
    element->kind = kind;
    element->live = true;
    return (Handle)(kFirstElement + elementCount++);
}

/* The live element behind the handle, or null. */
static Element *elementOf(Handle handle) {
    const size_t index = handle - kFirstElement;
    if (handle < kFirstElement || index >= elementCount || !elements[index].live) return NULL;
    return &elements[index];
}

static enum ElementKind kindOf(Handle handle) {
    const Element *element = elementOf(handle);
    return element != NULL ? element->kind : kNoElement;
}

static void expectKind(const char *where, Handle handle, enum ElementKind kind) {
    if (kindOf(handle) != kind) {
        differ("%s was given %#x, which is not the live object it needs", where, (unsigned)handle);
    }
}

static Page *pageOf(const char *where, Handle handle) {
    const size_t index = handle - kFirstPage;
    if (handle >= kFirstPage && index < pageCount && pages[index].acquired > 0) return &pages[index];
    differ("%s was given %#x, which is no acquired page of the report", where, (unsigned)handle);
    return NULL;
}

static void expectReport(const char *where, Handle document) {
    if (document != kReportDocument) differ("%s was given the document %#x, not the report", where, (unsigned)document);
}

/* --- PDModel --- */

static Object CDECL_PROC modelNewGoTo(Handle document, Object destination, Handle destDocument) {
    expectReport("PDModel 2", document);
    expectReport("PDModel 2, its third argument", destDocument);
    const int target = indexOf("PDModel 2", destination, kDestination, destinationCount);
    if (actionCount == kDestinationCapacity) giveUp("PDModel 2: more than %d actions", kDestinationCapacity);
    actionOf[actionCount] = target;
    return makeObject(kAction, actionCount++);
}

static Object CDECL_PROC modelAddChild(Object parent, const char *title) {
    const int above = indexOf("PDModel 39", parent, kBookmark, bookmarkCount);
    if (bookmarkCount == kBookmarkCapacity || title == NULL || strlen(title) >= kTitleLength) {
        giveUp("PDModel 39: too many bookmarks, or a title that is none or too long");
    }
    Bookmark *bookmark = &bookmarks[bookmarkCount];
    bookmark->parent = above;
    strcpy(bookmark->title, title);
    bookmark->destination = -1;
    return makeObject(kBookmark, bookmarkCount++);
}

static void CDECL_PROC modelSetAction(Object bookmark, Object action) {
    const int marked = indexOf("PDModel 61", bookmark, kBookmark, bookmarkCount);
    const int chosen = indexOf("PDModel 61", action, kAction, actionCount);
    if (marked >= 0 && chosen >= 0) bookmarks[marked].destination = actionOf[chosen];
}

static Handle CDECL_PROC modelCreateDocument(void) {
    ++reportsCreated;
    return kReportDocument;
}

static void CDECL_PROC modelSetPageMode(Handle document, int32_t mode) {
    expectReport("PDModel 77", document);
    expectNumber("PDModel 77, the mode", mode, 3);
}

static Object CDECL_PROC modelRootBookmark(Handle document) {
    expectReport("PDModel 82", document);
    return makeObject(kBookmark, 0);
}

static int32_t CDECL_PROC modelPageCount(Handle document) {
    if (document == kSourceDocument) return 1;
    expectReport("PDModel 83", document);
    return (int32_t)pageCount;
}

static Handle CDECL_PROC modelAcquirePage(Handle document, int32_t index) {
    expectReport("PDModel 84", document);
    if (index < 0 || (size_t)index >= pageCount) {
        differ("PDModel 84 asks for page %d of a report of %zu", (int)index, pageCount);
        raiseError(2, "PDModel 84: no such page");
    }
    ++pages[index].acquired;
    return (Handle)(kFirstPage + index);
}

static Handle CDECL_PROC modelCreatePage(Handle document, int32_t afterIndex, FixedRect box) {
    expectReport("PDModel 85", document);
    expectNumber("PDModel 85, the page after which the new one goes", afterIndex, (long long)pageCount - 1);
    if (pageCount == kPageCapacity) giveUp("PDModel 85: more than %d report pages", kPageCapacity);
    memset(&pages[pageCount], 0, sizeof pages[pageCount]);
    pages[pageCount].box = box;
    pages[pageCount].acquired = 1;
    return (Handle)(kFirstPage + pageCount++);
}

static void CDECL_PROC modelEnumFonts(Handle document, int32_t first, int32_t last, FontEnumProc proc, void *data,
                                      int32_t flags, int32_t progress) {
    if (document != kSourceDocument || first != 0 || last != 0 || data != NULL || flags != 0 || progress != 0) {
        differ("PDModel 95 (%#x, %d, %d, proc, %p, %d, %d), wanted (document, 0, 0, proc, null, 0, 0)",
               (unsigned)document, (int)first, (int)last, data, (int)flags, (int)progress);
    }
    const size_t depth = frameDepth();
    expectNumber("CollectFont's answer", proc(kSourceFont, fontFlags, data), 1);
    expectNumber("exception frames left by CollectFont", (long long)frameDepth(), (long long)depth);
}

static uint32_t CDECL_PROC modelPermissions(Handle document) {
    expectNumber("PDModel 114, the document", document, kSourceDocument);
    return viewer()->permissions;
}

static void expectSourceFont(const char *where, Handle font) {
    if (font != kSourceFont) differ("%s was given %#x, not the document's font", where, (unsigned)font);
}

static int32_t CDECL_PROC modelFontName(Handle font, char *buffer, int32_t size) {
    expectSourceFont("PDModel 118", font);
    expectNumber("PDModel 118, the buffer's size", size, 256);
    if (buffer == NULL || size <= 0) return 0;
    snprintf(buffer, (size_t)size, "%s", kFontName);
    return (int32_t)strlen(buffer);
}

static const char *const *CDECL_PROC modelCodeNames(Handle font) {
    expectSourceFont("PDModel 122", font);
    ++namesHandedOut;
    return codeNames;
}

static void CDECL_PROC modelFreeCodeNames(const char *const *names) {
    if (names != codeNames) differ("PDModel 123 hands back %p, not the table of PDModel 122", (void *)names);
    ++namesHandedBack;
}

static Object CDECL_PROC modelFontDict(Handle font) {
    expectSourceFont("PDModel 135", font);
    return makeObject(kFontDict, 0);
}

static void CDECL_PROC modelReleasePage(Handle handle) {
    Page *page = pageOf("PDModel 138", handle);
    if (page != NULL) --page->acquired;
}

static void CDECL_PROC modelPageBox(Handle handle, FixedRect *box) {
    const Page *page = pageOf("PDModel 144", handle);
    if (page != NULL && box != NULL) *box = page->box;
}

static Object CDECL_PROC modelNewDestination(Handle document, Handle page, Atom fitType, const FixedRect *rect,
                                             Fixed zoom, int32_t pageNumber) {
    expectReport("PDModel 215", document);
    pageOf("PDModel 215", page);
    expectNumber("PDModel 215, its last argument", pageNumber, 0);
    if (destinationCount == kDestinationCapacity || rect == NULL) giveUp("PDModel 215: too many, or no rectangle");
    const Destination destination = {(int)(page - kFirstPage), fitType, *rect, zoom};
    destinations[destinationCount] = destination;
    return makeObject(kDestination, destinationCount++);
}

static Bool16 CDECL_PROC modelDestinationValid(Object destination) {
    return indexOf("PDModel 217", destination, kDestination, destinationCount) >= 0;
}

static void CDECL_PROC modelEnumSelectionFonts(Handle selection, Callback proc, void *data) {
    expectNumber("PDModel 223, the selection", selection, kSelection);
    selectionProc = proc;
    const SelectionFontProc collect = (SelectionFontProc)procOf(proc);
    if (collect == NULL) return;
    const size_t depth = frameDepth();
    expectNumber("the selection procedure's answer", collect(data, kSourceFont, fontFlags), 1);
    expectNumber("exception frames left by the selection procedure", (long long)frameDepth(), (long long)depth);
}

static int32_t CDECL_PROC modelTranslate(Handle font, const uint8_t *input, int32_t inputLength, uint8_t *output,
                                         int32_t capacity) {
    expectSourceFont("PDModel 308", font);
    if (input == NULL || output == NULL || inputLength != kCodes || capacity != kCodes) {
        differ("PDModel 308 with %d bytes into %d, wanted 256 into 256", (int)inputLength, (int)capacity);
        return 0;
    }
    for (int i = 0; i < kCodes; ++i) {
        if (input[i] != i) differ("PDModel 308: input byte %d is %d", i, input[i]);
        if (translationOf(i) != ' ') output[i] = translationOf(i);
    }
    return kCodes;
}

/* --- Cos: the font dictionary has no ToUnicode entry --- */

static Bool16 CDECL_PROC cosEqual(Object a, Object b) { return a.word0 == b.word0 && a.word1 == b.word1; }

static int32_t CDECL_PROC cosTypeOf(Object object) {
    if (object.word0 >> 24 == kFontDict) return 6;
    indexOf("Cos 2", object, kCosNullObject, 1);
    return 0;
}

static Object CDECL_PROC cosNull(void) { return makeObject(kCosNullObject, 0); }

static Object CDECL_PROC cosDictGet(Object dict, Atom key) {
    indexOf("Cos 21", dict, kFontDict, 1);
    if (atomText(key) == NULL) differ("Cos 21 was given %#x, which is no atom", key);
    return cosNull();
}

/* --- PDFEditRead --- */

static void CDECL_PROC readFontAttrs(Handle font, void *attrs, int32_t size) {
    expectKind("PDFEditRead 41", font, kAnalysedFont);
    expectNumber("PDFEditRead 41, the record's size", size, kFontAttrsSize);
    if (attrs == NULL || size != kFontAttrsSize) return;
    const Atom fields[][2] = {{kFontAttrsName, atomOf(kFontName)}, {kFontAttrsType, atomOf("Type1")},
                              {kFontAttrsCharSet, kNullAtom}, {kFontAttrsEncoding, atomOf("WinAnsiEncoding")},
                              {kFontAttrsCidType, kNullAtom}};
    for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
        memcpy((char *)attrs + fields[i][0], &fields[i][1], sizeof(Atom));
    }
    memset((char *)attrs + kFontAttrsProtection, 0, 4);
}

static void CDECL_PROC readFontDict(Handle font, Object *dict) {
    expectKind("PDFEditRead 43", font, kAnalysedFont);
    if (dict != NULL) *dict = makeObject(kFontDict, 0);
}

static void CDECL_PROC readRelease(Handle handle) {
    Element *element = elementOf(handle);
    if (element == NULL) differ("PDFEditRead 52 releases %#x, which is no live object", (unsigned)handle);
    else element->live = false;
}

static Bool16 CDECL_PROC readAnswerNo(Handle font) {
    expectKind("PDFEditRead 70 or 120", font, kAnalysedFont);
    return 0;
}

/* --- PDFEditWrite --- */

static void CDECL_PROC writeAddElement(Handle content, int32_t afterIndex, Handle element) {
    const size_t index = content - kFirstContent;
    expectNumber("PDFEditWrite 4, the place", afterIndex, 0x7FFFFFFE);
    if (content < kFirstContent || index >= pageCount || pages[index].contentHeld == 0 ||
        pages[index].contentCount == 4 || elementOf(element) == NULL) {
        differ("PDFEditWrite 4 (%#x, %#x): no held content, or no live element", (unsigned)content, (unsigned)element);
        return;
    }
    pages[index].content[pages[index].contentCount++] = element;
}

static Fixed fixedAt(const unsigned char *record, size_t offset) {
    Fixed value;
    memcpy(&value, record + offset, sizeof value);
    return value;
}

/* A graphic state of one colour space for fill and stroke, a black fill, a
 * stroke colour, a miter limit of 10 and a flatness of 1. */
static void expectGraphicState(const char *where, const void *record, int32_t size, const char *family,
                               const Fixed stroke[3]) {
    if (record == NULL || size != kGraphicStateSize) {
        differ("%s: a graphic state of %d bytes, wanted 164", where, (int)size);
        return;
    }
    const unsigned char *bytes = record;
    const Fixed fill[3] = {0, 0, 0};
    const Element *space = elementOf((Handle)fixedAt(bytes, kGraphicStateFillSpace));
    const bool right = space != NULL && space->kind == kColourSpace && space->family == atomOf(family) &&
                       fixedAt(bytes, kGraphicStateStrokeSpace) == fixedAt(bytes, kGraphicStateFillSpace) &&
                       memcmp(bytes + kGraphicStateFillColor, fill, sizeof fill) == 0 &&
                       memcmp(bytes + kGraphicStateStrokeColor, stroke, 3 * sizeof(Fixed)) == 0 &&
                       fixedAt(bytes, kGraphicStateMiterLimit) == 10 * kOne &&
                       fixedAt(bytes, kGraphicStateFlatness) == kOne;
    if (!right) differ("%s: not the graphic state of a %s colour", where, family);
}

static void CDECL_PROC writeGraphicState(Handle handle, const void *state, int32_t size) {
    Element *path = elementOf(handle);
    if (path == NULL || path->kind != kPathElement) {
        differ("PDFEditWrite 5 styles %#x, which is no live path", (unsigned)handle);
        return;
    }
    const Fixed lightBlue[3] = {0xCCCD, 0xCCCD, kOne};
    expectGraphicState("PDFEditWrite 5", state, size, "DeviceRGB", lightBlue);
    if (state != NULL && size == kGraphicStateSize) path->lineWidth = fixedAt(state, kGraphicStateLineWidth);
}

static void CDECL_PROC writeAddText(Handle text, int32_t mode, int32_t index, const uint8_t *bytes, int32_t count,
                                    Handle font, const void *state, int32_t stateSize, const void *textState,
                                    int32_t textStateSize, const FixedMatrix *matrix, const FixedMatrix *strokeMatrix) {
    const Fixed black[3] = {0, 0, 0};
    expectGraphicState("PDFEditWrite 14", state, stateSize, "DeviceGray", black);
    if (state != NULL && stateSize == kGraphicStateSize && fixedAt(state, kGraphicStateLineWidth) != kOne) {
        differ("PDFEditWrite 14: a line width of %#x, wanted 1.0", (unsigned)fixedAt(state, kGraphicStateLineWidth));
    }
    if (index != 0 || textState != NULL || textStateSize != 0 || strokeMatrix != NULL || matrix == NULL ||
        count < 0 || count >= kRunTextLength || (count > 0 && bytes == NULL)) {
        differ("PDFEditWrite 14: index %d, text state %p (%d), stroke matrix %p, %d bytes", (int)index, textState,
               (int)textStateSize, (const void *)strokeMatrix, (int)count);
        return;
    }
    if (runCount == kRunCapacity) giveUp("more than %d text runs in one report", kRunCapacity);
    TextRun *run = &runs[runCount++];
    memset(run, 0, sizeof *run);
    run->element = kindOf(text);
    run->font = kindOf(font);
    run->mode = mode;
    run->length = count;
    if (count > 0) memcpy(run->text, bytes, (size_t)count);
    run->matrix = *matrix;
}

static Handle CDECL_PROC writeNewText(void) { return newElement(kTextElement); }
static Handle CDECL_PROC writeNewPath(void) { return newElement(kPathElement); }

static void CDECL_PROC writePaintOp(Handle path, int32_t op) {
    expectKind("PDFEditWrite 18", path, kPathElement);
    expectNumber("PDFEditWrite 18, the painting", op, 1);
}

static Handle CDECL_PROC writeNewFont(const void *attrs, int32_t size, int32_t firstCode, int32_t lastCode,
                                      const int16_t *widths, const char *const *encoding, Atom baseEncoding,
                                      Handle fontStream, int32_t a, int32_t b, int32_t c) {
    Atom fields[4] = {0, 0, 0, 0};
    if (attrs != NULL && size == kFontAttrsSize) memcpy(fields, attrs, sizeof fields);
    if (size != kFontAttrsSize || fields[0] != atomOf("Times-Roman") || fields[1] != atomOf("Type1") ||
        fields[2] != kNullAtom || fields[3] != atomOf("Identity-H") || firstCode != 0 || lastCode != 255 ||
        widths != NULL || encoding != NULL || baseEncoding != kNullAtom || fontStream != 0 || a || b || c) {
        differ("PDFEditWrite 34: not the report font (Times-Roman, Type1, codes 0 to 255, nothing else)");
    }
    return newElement(kReportFont);
}

static Handle CDECL_PROC writeFontFromCos(const Object *dict) {
    if (dict == NULL) differ("PDFEditWrite 35 was given no dictionary");
    else indexOf("PDFEditWrite 35", *dict, kFontDict, 1);
    return newElement(kAnalysedFont);
}

static Handle CDECL_PROC writeNewColourSpace(Atom family) {
    const Handle space = newElement(kColourSpace);
    elementOf(space)->family = family;
    return space;
}

static void CDECL_PROC writeAddSegment(Handle path, int32_t kind, Fixed x, Fixed y, Fixed width, Fixed height, Fixed x3,
                                       Fixed y3) {
    expectKind("PDFEditWrite 56", path, kPathElement);
    if (kind != 5 || x3 != 0 || y3 != 0) differ("PDFEditWrite 56: segment kind %d, last two %d %d", (int)kind, x3, y3);
    if (rectangleCount == kRectangleCapacity) giveUp("more than %d rectangles in one report", kRectangleCapacity);
    const Rectangle rectangle = {path, x, y, width, height};
    rectangles[rectangleCount++] = rectangle;
}

/* --- PagePDEContent --- */

static Page *contentPage(const char *where, Handle handle, uint32_t extension) {
    if (extension != kExtension) differ("%s with extension %#x", where, (unsigned)extension);
    return pageOf(where, handle);
}

static Handle CDECL_PROC contentAcquire(Handle handle, uint32_t extension) {
    Page *page = contentPage("PagePDEContent 1", handle, extension);
    if (page == NULL) return 0;
    ++page->contentHeld;
    return (Handle)(kFirstContent + (page - pages));
}

static void CDECL_PROC contentRelease(Handle handle, uint32_t extension) {
    Page *page = contentPage("PagePDEContent 2", handle, extension);
    if (page != NULL && page->contentHeld-- == 0) differ("PagePDEContent 2 without PagePDEContent 1");
}

static void CDECL_PROC contentStore(Handle handle, uint32_t extension) {
    Page *page = contentPage("PagePDEContent 3", handle, extension);
    if (page != NULL) page->storedCount = page->contentCount;
}

void fillDocument(Proc *model, Proc *cos, Proc *editRead, Proc *editWrite, Proc *pageContent) {
    model[2] = (Proc)modelNewGoTo;
    model[39] = (Proc)modelAddChild;
    model[61] = (Proc)modelSetAction;
    model[69] = (Proc)modelCreateDocument;
    model[77] = (Proc)modelSetPageMode;
    model[82] = (Proc)modelRootBookmark;
    model[83] = (Proc)modelPageCount;
    model[84] = (Proc)modelAcquirePage;
    model[85] = (Proc)modelCreatePage;
    model[95] = (Proc)modelEnumFonts;
    model[114] = (Proc)modelPermissions;
    model[118] = (Proc)modelFontName;
    model[122] = (Proc)modelCodeNames;
    model[123] = (Proc)modelFreeCodeNames;
    model[135] = (Proc)modelFontDict;
    model[138] = (Proc)modelReleasePage;
    model[144] = (Proc)modelPageBox;
    model[215] = (Proc)modelNewDestination;
    model[217] = (Proc)modelDestinationValid;
    model[223] = (Proc)modelEnumSelectionFonts;
    model[308] = (Proc)modelTranslate;
    cos[1] = (Proc)cosEqual;
    cos[2] = (Proc)cosTypeOf;
    cos[6] = (Proc)cosNull;
    cos[21] = (Proc)cosDictGet;
    editRead[41] = (Proc)readFontAttrs;
    editRead[43] = (Proc)readFontDict;
    editRead[52] = (Proc)readRelease;
    editRead[70] = (Proc)readAnswerNo;
    editRead[120] = (Proc)readAnswerNo;
    editWrite[4] = (Proc)writeAddElement;
    editWrite[5] = (Proc)writeGraphicState;
    editWrite[14] = (Proc)writeAddText;
    editWrite[16] = (Proc)writeNewText;
    editWrite[18] = (Proc)writePaintOp;
    editWrite[19] = (Proc)writeNewPath;
    editWrite[34] = (Proc)writeNewFont;
    editWrite[35] = (Proc)writeFontFromCos;
    editWrite[37] = (Proc)writeNewColourSpace;
    editWrite[56] = (Proc)writeAddSegment;
    pageContent[1] = (Proc)contentAcquire;
    pageContent[2] = (Proc)contentRelease;
    pageContent[3] = (Proc)contentStore;
    for (int i = 0; i < 26; ++i) {
        letterNames[i][0] = (char)('A' + i);
        codeNames['A' + i] = letterNames[i];
    }
    codeNames[' '] = "space";
    codeNames[kTranslatedCode] = "quoteleft";
}

/* --- the report the plug-in was asked to build --- */

void startReport(void) {
    elementCount = pageCount = destinationCount = actionCount = runCount = rectangleCount = 0;
    bookmarkCount = 1; /* the root */
    namesHandedOut = namesHandedBack = reportsCreated = 0;
    selectionProc = 0;
}

static Fixed points(int value) { return (Fixed)(value * kOne); }

/* Compares the next recorded run with one placed at (x, y) from the page's
 * top-left corner, `width` wide and `height` tall; false on a difference. */
static bool expectRun(size_t *next, enum ElementKind font, int32_t mode, const char *text, int x, int y, int width,
                      int height) {
    const FixedMatrix wanted = {points(width), 0, 0, points(height), points(x), points(kPageSize - y - height)};
    if (*next == runCount) {
        differ("text run %zu: none, wanted \"%s\"", *next + 1, text);
        return false;
    }
    const TextRun *run = &runs[(*next)++];
    if (run->element == kTextElement && run->font == font && run->mode == mode &&
        run->length == (int32_t)strlen(text) && strcmp(run->text, text) == 0 &&
        memcmp(&run->matrix, &wanted, sizeof wanted) == 0) {
        return true;
    }
    const FixedMatrix *m = &run->matrix;
    differ("text run %zu: \"%s\", font kind %d, mode %d, matrix %#x %#x %#x %#x %#x %#x; wanted \"%s\", font kind %d, "
           "mode %d, matrix %#x 0 0 %#x %#x %#x",
           *next, run->text, run->font, (int)run->mode, (unsigned)m->a, (unsigned)m->b, (unsigned)m->c,
           (unsigned)m->d, (unsigned)m->e, (unsigned)m->f, text, font, (int)mode, (unsigned)wanted.a,
           (unsigned)wanted.d, (unsigned)wanted.e, (unsigned)wanted.f);
    return false;
}

/* The description's two lines, then the 256 cells of the chart: a label,
 * the glyph, the translated byte where there is one, and the name. With a
 * complete description the cells are 62 by 59 points, 67 and 64 apart, and
 * their text is 12 wide and 16 tall. */
static void expectRuns(void) {
    size_t next = 0;
    bool same = expectRun(&next, kReportFont, 1, "Font Name: Helvetica ", 30, 30, 12, 15) &&
                expectRun(&next, kReportFont, 1, "Type: Type1  Encoding: WinAnsiEncoding", 30, 50, 12, 15);
    for (int code = 0; same && code < kCodes; ++code) {
        const int x = 30 + 67 * (code % 16), y = 70 + 64 * (code / 16);
        char label[8], glyph[2] = {(char)code, '\0'};
        snprintf(label, sizeof label, "%02X", (unsigned)code);
        same = expectRun(&next, kReportFont, 1, label, x + 2, y, 12, 16) &&
               expectRun(&next, kAnalysedFont, 2, glyph, x + 36, y, 24, 32);
        if (same && translationOf(code) != ' ' && translationOf(code) != code) {
            snprintf(label, sizeof label, "->%02X", (unsigned)translationOf(code));
            same = expectRun(&next, kReportFont, 1, label, x + 2, y + 21, 12, 16);
        }
        same = same && expectRun(&next, kReportFont, 1, codeNames[code] ? codeNames[code] : " ", x + 2, y + 42, 12, 16);
    }
    if (same && next != runCount) differ("text runs: %zu, wanted %zu", runCount, next);
}

/* Each cell's frame into the page's first path (half a point wide), its
 * glyph box into the second (one point), as corner, width and height in
 * page space: the rectangles reach downwards. */
static void expectRectangles(Handle cellFrames, Handle glyphBoxes) {
    expectNumber("rectangles", (long long)rectangleCount, 2 * kCodes);
    for (size_t i = 0; i < rectangleCount && i < 2 * kCodes; ++i) {
        const int code = (int)(i / 2), x = 30 + 67 * (code % 16), y = 70 + 64 * (code / 16);
        const Rectangle frame = {cellFrames, points(x), points(kPageSize - y), points(62), points(-59)};
        const Rectangle glyphBox = {glyphBoxes, points(x + 36), points(kPageSize - y), points(24), points(-32)};
        const Rectangle wanted = i % 2 == 0 ? frame : glyphBox;
        if (memcmp(&rectangles[i], &wanted, sizeof wanted) != 0) {
            const Rectangle *got = &rectangles[i];
            differ("rectangle %zu: path %#x at %#x %#x, %#x by %#x; wanted path %#x at %#x %#x, %#x by %#x", i + 1,
                   (unsigned)got->path, (unsigned)got->x, (unsigned)got->y, (unsigned)got->width,
                   (unsigned)got->height, (unsigned)wanted.path, (unsigned)wanted.x, (unsigned)wanted.y,
                   (unsigned)wanted.width, (unsigned)wanted.height);
            return;
        }
    }
}

/* One page of 1100 by 1100 points, released, whose content is the cell
 * frames, the glyph boxes and the text, in this order. */
static void expectPage(void) {
    expectNumber("report pages", (long long)pageCount, 1);
    if (pageCount == 0) return;
    const Page *page = &pages[0];
    const FixedRect box = {0, points(kPageSize), points(kPageSize), 0};
    if (memcmp(&page->box, &box, sizeof box) != 0) differ("the report page's box is not 0, 1100, 1100, 0");
    expectNumber("acquisitions of the report page left", page->acquired, 0);
    expectNumber("acquisitions of its content left", page->contentHeld, 0);
    expectNumber("elements stored as its content", (long long)page->storedCount, 3);
    if (page->storedCount != 3) return;
    const Element *frames = &elements[page->content[0] - kFirstElement];
    const Element *boxes = &elements[page->content[1] - kFirstElement];
    if (frames->kind != kPathElement || frames->lineWidth != kOne / 2 || boxes->kind != kPathElement ||
        boxes->lineWidth != kOne || elements[page->content[2] - kFirstElement].kind != kTextElement) {
        differ("the page's content is not a path half a point wide, a path one point wide, then the text");
    }
    expectRectangles(page->content[0], page->content[1]);
}

static void describeChildren(Lines *outline, int parent, int depth) {
    for (size_t i = 1; i < bookmarkCount; ++i) {
        const Bookmark *bookmark = &bookmarks[i];
        if (bookmark->parent != parent) continue;
        if (bookmark->destination < 0) {
            addLine(outline, "%*s%s", 2 * depth, "", bookmark->title);
        } else {
            const Destination *to = &destinations[bookmark->destination];
            addLine(outline, "%*s%s -> page %d, %s, rect %#x %#x %#x %#x, zoom %#x", 2 * depth, "", bookmark->title,
                    to->page + 1, atomText(to->fitType) ? atomText(to->fitType) : "?", (unsigned)to->rect.left,
                    (unsigned)to->rect.top, (unsigned)to->rect.right, (unsigned)to->rect.bottom, (unsigned)to->zoom);
        }
        describeChildren(outline, (int)i, depth + 1);
    }
}

static void expectOutline(bool selectionMode) {
    static const char *const wanted[] = {
        "Fonts by names",
        "  1 Helvetica -> page 1, XYZ, rect 0 0x44c0000 0 0, zoom 0x80000000",
        "Fonts by pages",
        "  Page 1/1",
        "    0 Helvetica -> page 1, XYZ, rect 0 0x44c0000 0 0, zoom 0x80000000",
    };
    Lines outline = {.count = 0};
    describeChildren(&outline, 0, 0);
    expectLines("the outline", &outline, wanted, selectionMode ? 2 : 5);
}

static size_t liveElements(void) {
    size_t live = 0;
    for (size_t i = 0; i < elementCount; ++i) live += elements[i].live;
    return live;
}

void checkReport(bool selectionMode) {
    expectNumber("report documents created", reportsCreated, 1);
    expectPage();
    expectOutline(selectionMode);
    expectRuns();
    expectNumber("page-content objects not released", (long long)liveElements(), 0);
    expectNumber("code-name tables handed out", namesHandedOut, 1);
    expectNumber("code-name tables handed back", namesHandedBack, 1);
    if (selectionMode && (selectionProc == 0 || callbackLive(selectionProc))) {
        differ("the selection procedure's callback was not destroyed after the enumeration");
    }
    printf("report (%s): %zu page, %zu bookmarks, %zu text runs, %zu rectangles, %zu page-content objects\n",
           selectionMode ? "selected text" : "pages", pageCount, bookmarkCount - 1, runCount, rectangleCount,
           elementCount);
}
