// The page-content tables: PDFEditWrite 4, 5, 14, 16, 18, 19, 37, 56,
// PDFEditRead 52 and PagePDEContent 1, 2, 3. Each operation checks and
// decodes what the plug-in handed over, then lets PageContent do the work.

#include <cstring>
#include <string>
#include <string_view>

#include "core/atoms.h"
#include "core/errors.h"
#include "core/tables.h"
#include "edit/content_writer.h"
#include "edit/page_content.h"
#include "host.h"
#include "model/fonts.h"
#include "operations.h"

namespace host {
namespace {

constexpr std::int32_t kMaxCharBytes = 4;  // the longest character code PDF has

struct ColorSpaceName {
    std::string_view name;
    ColorFamily family;
};

constexpr ColorSpaceName kColorSpaceNames[] = {
    {"DeviceGray", ColorFamily::Gray},
    {"DeviceRGB", ColorFamily::Rgb},
    {"DeviceCMYK", ColorFamily::Cmyk},
};

PageContent& content() { return Host::current().content(); }

[[noreturn]] void raiseArgument(const char* operation, const std::string& problem) {
    raise(kErrBadArgument, std::string(operation) + ": " + problem);
}

// --- The graphic-state record --------------------------------------------

Fixed fieldAt(const void* record, std::size_t offset) {
    Fixed value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

// The components follow the colour space, four bytes each; a CMYK colour has
// its fourth after the three that gray and RGB colours use.
Color colorAt(const void* record, std::size_t spaceOffset, std::size_t componentOffset, const char* operation) {
    Color color;
    color.family = content().colorSpace(static_cast<Handle>(fieldAt(record, spaceOffset)));
    for (std::size_t i = 0; i < componentCount(color.family); ++i) {
        const Fixed component = fieldAt(record, componentOffset + 4 * i);
        if (component < 0 || component > kFixedOne) {
            raiseArgument(operation, "colour component " + formatFixed(component) + " is outside 0 to 1");
        }
        color.components[i] = component;
    }
    return color;
}

Fixed nonNegativeAt(const void* record, std::size_t offset, const char* what, const char* operation) {
    const Fixed value = fieldAt(record, offset);
    if (value < 0) raiseArgument(operation, std::string(what) + " " + formatFixed(value) + " is negative");
    return value;
}

GraphicState decodeGraphicState(const void* record, std::int32_t size, const char* operation) {
    if (record == nullptr) raiseArgument(operation, "no graphic-state record");
    if (size != static_cast<std::int32_t>(kGraphicStateSize)) {
        raiseArgument(operation, "a graphic-state record has " + std::to_string(kGraphicStateSize) + " bytes, not " +
                                     std::to_string(size));
    }
    GraphicState state;
    state.fill = colorAt(record, kGraphicStateFillSpace, kGraphicStateFillColor, operation);
    state.stroke = colorAt(record, kGraphicStateStrokeSpace, kGraphicStateStrokeColor, operation);
    state.lineWidth = nonNegativeAt(record, kGraphicStateLineWidth, "line width", operation);
    state.miterLimit = nonNegativeAt(record, kGraphicStateMiterLimit, "miter limit", operation);
    state.flatness = nonNegativeAt(record, kGraphicStateFlatness, "flatness", operation);
    return state;
}

// --- Elements ----------------------------------------------------------------

Handle textCreate() { return content().createElement(TextElement{}); }

Handle pathCreate() { return content().createElement(PathElement{}); }

// Any page-content object goes back this way: elements, colour spaces, and
// page-content fonts, which the fonts part keeps.
void elementRelease(Handle object) {
    if (HandleRegistry<PageFontEntry>::kindOf(object) == HandleKind::PageFont) {
        Host::current().fonts().releasePageFont(object);
    } else {
        content().release(object);
    }
}

Handle colorSpaceCreate(Atom family) {
    const std::string_view name = Host::current().atoms().text(family);
    for (const ColorSpaceName& known : kColorSpaceNames) {
        if (known.name == name) return content().acquireColorSpace(known.family);
    }
    raiseArgument("PDFEditWrite 37", "colour space " + std::string(name) +
                                         " is not offered; DeviceGray, DeviceRGB and DeviceCMYK are");
}

// A text keeps a state per run, which each TextAdd sets; setting the
// element's state restyles the runs it already has.
struct ApplyState {
    const GraphicState& state;
    void operator()(TextElement& text) const {
        for (TextRun& run : text.runs) run.state = state;
    }
    void operator()(PathElement& path) const { path.state = state; }
};

void elementSetGraphicState(Handle element, const void* state, std::int32_t size) {
    Element& target = content().element(element);
    std::visit(ApplyState{decodeGraphicState(state, size, "PDFEditWrite 5")}, target);
}

// --- Text ----------------------------------------------------------------

void checkTextBytes(std::int32_t mode, const std::uint8_t* bytes, std::int32_t byteCount) {
    constexpr const char* kOperation = "PDFEditWrite 14";
    if (mode != op::kTextRun && mode != op::kTextChar) {
        raiseArgument(kOperation, "mode " + std::to_string(mode) + " is neither a run (1) nor a character (2)");
    }
    if (byteCount < 0) raiseArgument(kOperation, "a byte count of " + std::to_string(byteCount));
    if (bytes == nullptr && byteCount > 0) raiseArgument(kOperation, "no bytes for a count of " + std::to_string(byteCount));
    if (mode == op::kTextChar && byteCount > kMaxCharBytes) {
        raiseArgument(kOperation, "a character of " + std::to_string(byteCount) + " bytes; a character has at most " +
                                      std::to_string(kMaxCharBytes));
    }
}

void textAdd(Handle text, std::int32_t mode, std::int32_t index, const std::uint8_t* bytes, std::int32_t byteCount,
             Handle font, const void* graphicState, std::int32_t graphicStateSize, const void* textState,
             std::int32_t textStateSize, const FixedMatrix* textMatrix, const FixedMatrix* strokeMatrix) {
    constexpr const char* kOperation = "PDFEditWrite 14";
    TextElement& element = content().text(text);
    checkTextBytes(mode, bytes, byteCount);
    if (index < 0) raiseArgument(kOperation, "index " + std::to_string(index) + " is negative");
    PageFontEntry& fontEntry = Host::current().fonts().pageFont(font);
    const GraphicState state = decodeGraphicState(graphicState, graphicStateSize, kOperation);
    if (textState != nullptr || textStateSize != 0) {
        raise(kErrNotImplemented, std::string(kOperation) + ": a text state is not offered; the matrix sizes the text");
    }
    if (textMatrix == nullptr) raiseArgument(kOperation, "no text matrix");
    if (strokeMatrix != nullptr) raise(kErrNotImplemented, std::string(kOperation) + ": a stroke matrix is not offered");
    if (byteCount == 0) return;  // nothing to draw

    content().anchorFont(fontEntry);
    // Runs are drawn in the order they were added, whatever the index.
    element.runs.push_back({std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(byteCount)),
                            fontEntry, state, *textMatrix});
}

// --- Paths ---------------------------------------------------------------

void pathSetPaintOp(Handle path, std::int32_t paintOp) {
    constexpr std::int32_t kKnownOps = op::kPaintStroke | kPaintFill | kPaintEvenOddFill;
    PathElement& element = content().path(path);
    if ((paintOp & ~kKnownOps) != 0 || (paintOp & kPaintFill && paintOp & kPaintEvenOddFill)) {
        raiseArgument("PDFEditWrite 18", "paint operation " + std::to_string(paintOp) +
                                             " is not 0 or a mix of stroke (1) and one fill (2 or 4)");
    }
    element.paintOp = paintOp;
}

void pathAddSegment(Handle path, std::int32_t kind, Fixed x1, Fixed y1, Fixed x2, Fixed y2, Fixed x3, Fixed y3) {
    constexpr const char* kOperation = "PDFEditWrite 56";
    PathElement& element = content().path(path);
    if (kind < static_cast<std::int32_t>(SegmentKind::MoveTo) || kind > static_cast<std::int32_t>(SegmentKind::Close)) {
        raiseArgument(kOperation, "segment kind " + std::to_string(kind) + " is not one of 0 to 6");
    }
    const auto segmentKind = static_cast<SegmentKind>(kind);
    const bool startsSubpath = segmentKind == SegmentKind::MoveTo || segmentKind == SegmentKind::Rect;
    if (!startsSubpath && element.segments.empty()) {
        raiseArgument(kOperation, "segment kind " + std::to_string(kind) +
                                      " needs a current point; begin the path with a move-to or a rectangle");
    }
    element.segments.push_back({segmentKind, {x1, y1, x2, y2, x3, y3}});
}

// --- Content objects -------------------------------------------------------

void checkExtension(ExtensionHandle extension, const char* operation) {
    if (extension != Host::current().extension()) raiseArgument(operation, "the extension handle is not this plug-in's");
}

Handle pageAcquireContent(Handle page, ExtensionHandle extension) {
    checkExtension(extension, "PagePDEContent 1");
    return content().acquireContent(page);
}

void pageReleaseContent(Handle page, ExtensionHandle extension) {
    checkExtension(extension, "PagePDEContent 2");
    content().releaseContent(page);
}

void pageSetContent(Handle page, ExtensionHandle extension) {
    checkExtension(extension, "PagePDEContent 3");
    content().store(page);
}

void contentAddElement(Handle contentObject, std::int32_t afterIndex, Handle element) {
    content().addElement(contentObject, afterIndex, element);
}

}  // namespace

void installEditOperations(TableRegistry& tables) {
    tables.install<op::TextCreate, &textCreate>();
    tables.install<op::PathCreate, &pathCreate>();
    tables.install<op::ElementRelease, &elementRelease>();
    tables.install<op::ColorSpaceCreate, &colorSpaceCreate>();
    tables.install<op::ElementSetGraphicState, &elementSetGraphicState>();
    tables.install<op::TextAdd, &textAdd>();
    tables.install<op::PathSetPaintOp, &pathSetPaintOp>();
    tables.install<op::PathAddSegment, &pathAddSegment>();
    tables.install<op::ContentAddElement, &contentAddElement>();
    tables.install<op::PageAcquireContent, &pageAcquireContent>();
    tables.install<op::PageReleaseContent, &pageReleaseContent>();
    tables.install<op::PageSetContent, &pageSetContent>();
}

}  // namespace host
