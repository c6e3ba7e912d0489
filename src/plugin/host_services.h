// The contract between the plug-in and its host.
//
// The host hands out its services as function tables, by name and version.
// This header holds the value kinds that cross that boundary, the records the
// two sides exchange, and one list of every operation the plug-in calls: a
// table, a selector (the entry's index in the table, counted from 0) and a
// signature. The plug-in calls through `callHost<Op>()` (host_call.h); the
// host fills its tables from the same list, so a signature that does not
// match fails to compile on either side.
//
// Failures: a host operation that fails raises instead of returning. The
// host records the error in flight (Core 4) and calls the restore procedure
// of the plug-in's top frame (Core 2), which resumes the plug-in at the
// point it saved and never returns. No C++ exception crosses the boundary
// in either direction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>

// Procedures that cross the boundary, in either direction, use the C calling
// convention, whatever a compiler's default is.
#if defined(_WIN32)
#define ORTHEO_CDECL __cdecl
#else
#define ORTHEO_CDECL
#endif

namespace host {

// --- Value kinds -----------------------------------------------------------

using Atom = std::uint16_t;           // an interned string
constexpr Atom kNullAtom = 0xFFFF;

using Handle = std::uint32_t;         // document, page, view, menu, font, element, stream...
constexpr Handle kNoHandle = 0;

using Callback = std::uint32_t;       // a procedure registered with Core 8
constexpr Callback kNoCallback = 0;

using ExtensionHandle = std::uint32_t;  // stands for one plug-in in the host's calls

using Bool16 = std::uint16_t;         // a truth value answered to or by the host

using Fixed = std::int32_t;           // 16.16 fixed point
constexpr Fixed kFixedOne = 0x10000;
constexpr Fixed kFixedMin = static_cast<Fixed>(0x80000000u);
constexpr Fixed kFixedMax = 0x7FFFFFFF;

using ErrorCode = std::int32_t;

using ClientData = void*;             // passed back unchanged to a procedure

// An 8-byte value handed around by value: Cos objects, bookmarks,
// destinations and actions. Its two words mean something to the host only.
struct Object {
    std::uint32_t word0 = 0;
    std::uint32_t word1 = 0;
    friend bool operator==(const Object&, const Object&) = default;
};
static_assert(sizeof(Object) == 8);

struct FixedRect {
    Fixed left = 0;
    Fixed top = 0;
    Fixed right = 0;
    Fixed bottom = 0;
};

struct FixedMatrix {
    Fixed a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
};

// Cos type codes answered by Cos 2.
enum CosType : std::int32_t {
    kCosNull = 0,
    kCosInteger = 1,
    kCosFixed = 2,
    kCosBoolean = 3,
    kCosName = 4,
    kCosString = 5,
    kCosDict = 6,
    kCosArray = 7,
    kCosStream = 8,
};

// --- Procedures the host calls ---------------------------------------------

// A procedure as the host stores it behind a callback handle; the host casts
// it back to the signature its use calls for (the aliases below).
using Proc = void(ORTHEO_CDECL*)();

using AnswerProc = Bool16(ORTHEO_CDECL*)();                      // init, unload, do-nothing
using ClientProc = void(ORTHEO_CDECL*)(ClientData data);       // menu item and button execute
using QueryProc = Bool16(ORTHEO_CDECL*)(ClientData data);      // enabled and marked queries
using ToolAtomProc = Atom(ORTHEO_CDECL*)(void* toolRecord);    // the tool's name

// A font enumeration procedure (PDModel 95), handed over as a plain address.
using FontEnumProc = Bool16(ORTHEO_CDECL*)(Handle font, void* fontFlags, ClientData data);
// A text selection font procedure (PDModel 223), handed over as a callback.
using SelectionFontProc = Bool16(ORTHEO_CDECL*)(ClientData data, Handle font, void* fontFlags);

// --- Records exchanged with the host ---------------------------------------

// A host function table as the host hands it out: the address of its first
// entry. Selector n is the entry at index n from there; nothing precedes the
// entries and nothing tells their number, so the version agreed at import is
// the host's promise that the selectors the plug-in calls exist.
using HostTable = const Proc*;
static_assert(sizeof(HostTable) == sizeof(void*));

// Where a pushed frame keeps its resume point.
struct FrameRecord {
    unsigned char bytes[64] = {};
};
using RestoreProc = void(ORTHEO_CDECL*)(FrameRecord* record);

constexpr std::uint32_t kHandshakeVersion = 0x20000;

struct WindowsData {
    std::uint32_t unused = 0;
    void* moduleInstance = nullptr;
};

struct SetupRecord {
    std::uint32_t version = 0;
    ExtensionHandle extension = 0;
    HostTable coreTable = nullptr;
    Callback handshake = kNoCallback;  // written by the plug-in
};

using SetupProc = Bool16(ORTHEO_CDECL*)(std::uint32_t handshakeVersion, SetupRecord* record);
using HandshakeProc = Bool16(ORTHEO_CDECL*)(std::uint32_t handshakeVersion, struct HandshakeRecord* record);

struct HandshakeRecord {
    std::uint32_t size = 0;            // not touched by the plug-in
    std::uint16_t flags = 0;           // not touched by the plug-in
    Atom extensionName = kNullAtom;
    Callback exportTables = kNoCallback;
    Callback importReplace = kNoCallback;
    Callback init = kNoCallback;
    Callback unload = kNoCallback;
};

using PlugInMainProc = Bool16(ORTHEO_CDECL*)(std::uint32_t hostVersion, std::uint32_t* handshakeVersion,
                                  SetupProc* setup, WindowsData* windowsData);

// The 88-byte tool record registered with AcroView 443.
struct ToolRecord {
    std::uint32_t fields[22] = {};
};

// The records as the 32-bit viewer lays them out, byte for byte. A 64-bit
// build widens the pointer fields, and only those.
constexpr bool kViewerPointerWidth = sizeof(void*) == 4;
static_assert(sizeof(FrameRecord) == 64);
static_assert(sizeof(ToolRecord) == 88);
static_assert(sizeof(FixedRect) == 16 && sizeof(FixedMatrix) == 24);
static_assert(sizeof(HandshakeRecord) == 24 && offsetof(HandshakeRecord, extensionName) == 6 &&
              offsetof(HandshakeRecord, exportTables) == 8 && offsetof(HandshakeRecord, importReplace) == 12 &&
              offsetof(HandshakeRecord, init) == 16 && offsetof(HandshakeRecord, unload) == 20);
static_assert(!kViewerPointerWidth || (sizeof(WindowsData) == 8 && offsetof(WindowsData, moduleInstance) == 4));
static_assert(!kViewerPointerWidth ||
              (sizeof(SetupRecord) == 16 && offsetof(SetupRecord, extension) == 4 &&
               offsetof(SetupRecord, coreTable) == 8 && offsetof(SetupRecord, handshake) == 12));

// The 84-byte font attribute record of PDFEditRead 41 and PDFEditWrite 34.
constexpr std::size_t kFontAttrsSize = 84;
constexpr std::size_t kFontAttrsName = 0;
constexpr std::size_t kFontAttrsType = 2;
constexpr std::size_t kFontAttrsCharSet = 4;
constexpr std::size_t kFontAttrsEncoding = 6;
constexpr std::size_t kFontAttrsCidType = 50;
constexpr std::size_t kFontAttrsProtection = 76;

// The 164-byte graphic-state record of PDFEditWrite 5 and 14.
constexpr std::size_t kGraphicStateSize = 164;
constexpr std::size_t kGraphicStateFillSpace = 4;
constexpr std::size_t kGraphicStateFillColor = 8;     // three 16.16 components
constexpr std::size_t kGraphicStateStrokeSpace = 44;
constexpr std::size_t kGraphicStateStrokeColor = 48;  // three 16.16 components
constexpr std::size_t kGraphicStateLineWidth = 136;
constexpr std::size_t kGraphicStateMiterLimit = 140;
constexpr std::size_t kGraphicStateFlatness = 144;

// --- Tables ----------------------------------------------------------------

enum class TableId : std::uint8_t {
    AcroSupport,
    Core,
    Cos,
    PDModel,
    PDFEditWrite,
    PDFEditRead,
    PDSysFont,
    PagePDEContent,
    AcroView,
    PDSWrite,
    PDSRead,
    Win,
    ASExtra,
    AcroViewSweetPea,
    AcroColorHFT,
};
constexpr std::size_t kTableCount = 15;

struct TableRequest {
    TableId id;
    const char* name;
    std::uint32_t version;
};

// Every table the plug-in needs, in import order, at the version it asks for.
constexpr TableRequest kTableRequests[kTableCount] = {
    {TableId::AcroSupport, "AcroSupport", 0x60000},
    {TableId::Core, "Core", 0x50000},
    {TableId::Cos, "Cos", 0x60000},
    {TableId::PDModel, "PDModel", 0x60000},
    {TableId::PDFEditWrite, "PDFEditWrite", 0x60000},
    {TableId::PDFEditRead, "PDFEditRead", 0x60000},
    {TableId::PDSysFont, "PDSysFont", 0x40000},
    {TableId::PagePDEContent, "PagePDEContent", 0x60000},
    {TableId::AcroView, "AcroView", 0x60000},
    {TableId::PDSWrite, "PDSWrite", 0x60000},
    {TableId::PDSRead, "PDSRead", 0x60000},
    {TableId::Win, "Win", 0x50000},
    {TableId::ASExtra, "ASExtra", 0x60000},
    {TableId::AcroViewSweetPea, "AcroViewSweetPea", 0x50000},
    {TableId::AcroColorHFT, "AcroColorHFT", 0x60000},
};

constexpr const char* tableName(TableId id) {
    return kTableRequests[static_cast<std::size_t>(id)].name;
}

// --- Operations ------------------------------------------------------------

template <TableId Table, std::uint32_t Selector, class Signature>
struct HostOperation {
    static constexpr TableId table = Table;
    static constexpr std::uint32_t selector = Selector;
    using Type = Signature;
};

namespace op {

// Core
using PushFrame = HostOperation<TableId::Core, 2, void(FrameRecord* record, RestoreProc restore)>;
using PopFrame = HostOperation<TableId::Core, 3, void()>;
using ErrorCodeInFlight = HostOperation<TableId::Core, 4, ErrorCode()>;
using AtomFromString = HostOperation<TableId::Core, 5, Atom(const char* text)>;
using StringFromAtom = HostOperation<TableId::Core, 7, const char*(Atom atom)>;
using NewCallback = HostOperation<TableId::Core, 8, Callback(ExtensionHandle extension, Proc proc)>;
using DestroyCallback = HostOperation<TableId::Core, 9, void(Callback callback)>;
using GetTable = HostOperation<TableId::Core, 10, HostTable(Atom name, std::uint32_t version)>;

// AcroSupport
using ErrorText = HostOperation<TableId::AcroSupport, 4,
                                char*(ErrorCode code, char* buffer, std::int32_t size)>;
using StreamRead = HostOperation<TableId::AcroSupport, 43,
                                 std::int32_t(void* destination, std::int32_t itemSize,
                                              std::int32_t itemCount, Handle stream)>;
using StreamClose = HostOperation<TableId::AcroSupport, 45, std::int32_t(Handle stream)>;
using TableVersion = HostOperation<TableId::AcroSupport, 103, std::uint32_t(HostTable table)>;

// Cos
using CosEqual = HostOperation<TableId::Cos, 1, Bool16(Object a, Object b)>;
using CosTypeOf = HostOperation<TableId::Cos, 2, std::int32_t(Object object)>;
using CosNull = HostOperation<TableId::Cos, 6, Object()>;
using CosDictGet = HostOperation<TableId::Cos, 21, Object(Object dict, Atom key)>;
using CosStreamOpen = HostOperation<TableId::Cos, 32, Handle(Object stream, std::int32_t mode)>;
constexpr std::int32_t kStreamDecoded = 2;

// PDModel
using ActionNewGoTo = HostOperation<TableId::PDModel, 2,
                                    Object(Handle document, Object destination, Handle destDocument)>;
using BookmarkAddNewChild = HostOperation<TableId::PDModel, 39, Object(Object parent, const char* title)>;
using BookmarkSetAction = HostOperation<TableId::PDModel, 61, void(Object bookmark, Object action)>;
using DocCreate = HostOperation<TableId::PDModel, 69, Handle()>;
using DocSetPageMode = HostOperation<TableId::PDModel, 77, void(Handle document, std::int32_t mode)>;
constexpr std::int32_t kPageModeUseBookmarks = 3;
using DocRootBookmark = HostOperation<TableId::PDModel, 82, Object(Handle document)>;
using DocPageCount = HostOperation<TableId::PDModel, 83, std::int32_t(Handle document)>;
using DocAcquirePage = HostOperation<TableId::PDModel, 84, Handle(Handle document, std::int32_t index)>;
using DocCreatePage = HostOperation<TableId::PDModel, 85,
                                    Handle(Handle document, std::int32_t afterIndex, FixedRect box)>;
using DocEnumFonts = HostOperation<TableId::PDModel, 95,
                                   void(Handle document, std::int32_t firstPage, std::int32_t lastPage,
                                        FontEnumProc proc, ClientData data, std::int32_t flags,
                                        std::int32_t progress)>;
using DocPermissions = HostOperation<TableId::PDModel, 114, std::uint32_t(Handle document)>;
constexpr std::uint32_t kPermitCopy = 0x10;
using FontName = HostOperation<TableId::PDModel, 118,
                               std::int32_t(Handle font, char* buffer, std::int32_t size)>;
using FontGlyphNames = HostOperation<TableId::PDModel, 122, const char* const*(Handle font)>;
using FontFreeGlyphNames = HostOperation<TableId::PDModel, 123, void(const char* const* names)>;
using FontCosObject = HostOperation<TableId::PDModel, 135, Object(Handle font)>;
using PageRelease = HostOperation<TableId::PDModel, 138, void(Handle page)>;
using PageBox = HostOperation<TableId::PDModel, 144, void(Handle page, FixedRect* box)>;
using ViewDestCreate = HostOperation<TableId::PDModel, 215,
                                     Object(Handle document, Handle page, Atom fitType,
                                            const FixedRect* rect, Fixed zoom, std::int32_t pageNumber)>;
constexpr Fixed kZoomUnchanged = kFixedMin;
using ViewDestIsValid = HostOperation<TableId::PDModel, 217, Bool16(Object destination)>;
using TextSelectEnumFonts = HostOperation<TableId::PDModel, 223,
                                          void(Handle selection, Callback proc, ClientData data)>;
using FontTranslate = HostOperation<TableId::PDModel, 308,
                                    std::int32_t(Handle font, const std::uint8_t* input,
                                                 std::int32_t inputLength, std::uint8_t* output,
                                                 std::int32_t outputCapacity)>;

// PDFEditRead
using FontGetAttrs = HostOperation<TableId::PDFEditRead, 41,
                                   void(Handle font, void* attrs, std::int32_t size)>;
using FontGetCosObject = HostOperation<TableId::PDFEditRead, 43, void(Handle font, Object* dict)>;
using ElementRelease = HostOperation<TableId::PDFEditRead, 52, void(Handle element)>;
using FontIsMultiByte = HostOperation<TableId::PDFEditRead, 70, Bool16(Handle font)>;
using FontIsEmbedded = HostOperation<TableId::PDFEditRead, 120, Bool16(Handle font)>;

// PDFEditWrite
using ContentAddElement = HostOperation<TableId::PDFEditWrite, 4,
                                        void(Handle content, std::int32_t afterIndex, Handle element)>;
constexpr std::int32_t kAfterLastElement = 0x7FFFFFFE;
using ElementSetGraphicState = HostOperation<TableId::PDFEditWrite, 5,
                                             void(Handle element, const void* state, std::int32_t size)>;
using TextAdd = HostOperation<TableId::PDFEditWrite, 14,
                             void(Handle text, std::int32_t mode, std::int32_t index,
                                  const std::uint8_t* bytes, std::int32_t byteCount, Handle font,
                                  const void* graphicState, std::int32_t graphicStateSize,
                                  const void* textState, std::int32_t textStateSize,
                                  const FixedMatrix* textMatrix, const FixedMatrix* strokeMatrix)>;
constexpr std::int32_t kTextRun = 1;
constexpr std::int32_t kTextChar = 2;
using TextCreate = HostOperation<TableId::PDFEditWrite, 16, Handle()>;
using PathSetPaintOp = HostOperation<TableId::PDFEditWrite, 18, void(Handle path, std::int32_t op)>;
constexpr std::int32_t kPaintStroke = 1;
using PathCreate = HostOperation<TableId::PDFEditWrite, 19, Handle()>;
using FontCreate = HostOperation<TableId::PDFEditWrite, 34,
                                 Handle(const void* attrs, std::int32_t attrsSize, std::int32_t firstCode,
                                        std::int32_t lastCode, const std::int16_t* widths,
                                        const char* const* encoding, Atom baseEncoding,
                                        Handle fontStream, std::int32_t, std::int32_t, std::int32_t)>;
using FontCreateFromCos = HostOperation<TableId::PDFEditWrite, 35, Handle(const Object* dict)>;
using ColorSpaceCreate = HostOperation<TableId::PDFEditWrite, 37, Handle(Atom family)>;
using PathAddSegment = HostOperation<TableId::PDFEditWrite, 56,
                                     void(Handle path, std::int32_t kind, Fixed x1, Fixed y1, Fixed x2,
                                          Fixed y2, Fixed x3, Fixed y3)>;
constexpr std::int32_t kSegmentRect = 5;

// PagePDEContent
using PageAcquireContent = HostOperation<TableId::PagePDEContent, 1,
                                         Handle(Handle page, ExtensionHandle extension)>;
using PageReleaseContent = HostOperation<TableId::PagePDEContent, 2,
                                         void(Handle page, ExtensionHandle extension)>;
using PageSetContent = HostOperation<TableId::PagePDEContent, 3,
                                     void(Handle page, ExtensionHandle extension)>;

// AcroView
using AlertNote = HostOperation<TableId::AcroView, 5, void(const char* message)>;
using ActiveDocView = HostOperation<TableId::AcroView, 12, Handle()>;
using MenuBar = HostOperation<TableId::AcroView, 16, Handle()>;
using ToolBar = HostOperation<TableId::AcroView, 17, Handle()>;
using ActiveTool = HostOperation<TableId::AcroView, 18, void*()>;
using ViewDocument = HostOperation<TableId::AcroView, 48, Handle(Handle view)>;
using ViewSelectionType = HostOperation<TableId::AcroView, 56, Atom(Handle view)>;
using ViewSelection = HostOperation<TableId::AcroView, 57, Handle(Handle view)>;
using MenuAcquireByName = HostOperation<TableId::AcroView, 71, Handle(Handle menuBar, const char* name)>;
using MenuRelease = HostOperation<TableId::AcroView, 80, void(Handle menu)>;
using MenuAddItem = HostOperation<TableId::AcroView, 89, void(Handle menu, Handle item, std::int32_t position)>;
constexpr std::int32_t kAppendPosition = 9999;
using MenuItemNew = HostOperation<TableId::AcroView, 90,
                                  Handle(const char* title, const char* name, Handle submenu,
                                         Bool16 longMenusOnly, char shortcut, std::int32_t flags,
                                         Handle icon, ExtensionHandle extension)>;
using MenuItemSetExecute = HostOperation<TableId::AcroView, 99, void(Handle item, Callback proc, ClientData data)>;
using MenuItemSetEnabled = HostOperation<TableId::AcroView, 100, void(Handle item, Callback proc, ClientData data)>;
using MenuItemSetMarked = HostOperation<TableId::AcroView, 101, void(Handle item, Callback proc, ClientData data)>;
using ToolBarButtonByName = HostOperation<TableId::AcroView, 163, Handle(Handle toolBar, Atom name)>;
using ToolBarAddButton = HostOperation<TableId::AcroView, 165,
                                       void(Handle toolBar, Handle button, Bool16 before, Handle other)>;
using ButtonNew = HostOperation<TableId::AcroView, 169,
                                Handle(Atom name, void* icon, Bool16 longOnly, Bool16 separator)>;
using ButtonSetExecute = HostOperation<TableId::AcroView, 175, void(Handle button, Callback proc, ClientData data)>;
using ButtonSetEnabled = HostOperation<TableId::AcroView, 176, void(Handle button, Callback proc, ClientData data)>;
using ButtonSetMarked = HostOperation<TableId::AcroView, 177, void(Handle button, Callback proc, ClientData data)>;
using RegisterTool = HostOperation<TableId::AcroView, 443, void(ToolRecord* tool)>;
using OpenInNewWindow = HostOperation<TableId::AcroView, 486, Handle(Handle document, std::int32_t flags)>;

}  // namespace op

// Every operation of the list, for the host to fill and for tests to walk.
using AllOperations = std::tuple<
    op::PushFrame, op::PopFrame, op::ErrorCodeInFlight, op::AtomFromString, op::StringFromAtom,
    op::NewCallback, op::DestroyCallback, op::GetTable,
    op::ErrorText, op::StreamRead, op::StreamClose, op::TableVersion,
    op::CosEqual, op::CosTypeOf, op::CosNull, op::CosDictGet, op::CosStreamOpen,
    op::ActionNewGoTo, op::BookmarkAddNewChild, op::BookmarkSetAction, op::DocCreate,
    op::DocSetPageMode, op::DocRootBookmark, op::DocPageCount, op::DocAcquirePage,
    op::DocCreatePage, op::DocEnumFonts, op::DocPermissions, op::FontName, op::FontGlyphNames,
    op::FontFreeGlyphNames, op::FontCosObject, op::PageRelease, op::PageBox, op::ViewDestCreate,
    op::ViewDestIsValid, op::TextSelectEnumFonts, op::FontTranslate,
    op::FontGetAttrs, op::FontGetCosObject, op::ElementRelease, op::FontIsMultiByte,
    op::FontIsEmbedded,
    op::ContentAddElement, op::ElementSetGraphicState, op::TextAdd, op::TextCreate,
    op::PathSetPaintOp, op::PathCreate, op::FontCreate, op::FontCreateFromCos,
    op::ColorSpaceCreate, op::PathAddSegment,
    op::PageAcquireContent, op::PageReleaseContent, op::PageSetContent,
    op::AlertNote, op::ActiveDocView, op::MenuBar, op::ToolBar, op::ActiveTool, op::ViewDocument,
    op::ViewSelectionType, op::ViewSelection, op::MenuAcquireByName, op::MenuRelease,
    op::MenuAddItem, op::MenuItemNew, op::MenuItemSetExecute, op::MenuItemSetEnabled,
    op::MenuItemSetMarked, op::ToolBarButtonByName, op::ToolBarAddButton, op::ButtonNew,
    op::ButtonSetExecute, op::ButtonSetEnabled, op::ButtonSetMarked, op::RegisterTool,
    op::OpenInNewWindow>;

}  // namespace host
