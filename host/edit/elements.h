// Page-content elements as the host keeps them: plain values, so that adding
// an element to a content object copies it and the element can be released
// at once. Nothing here refers to a handle the plug-in could release: colour
// spaces are kept by family and fonts by their dictionary.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "model/fonts.h"
#include "plugin/host_services.h"

namespace host {

enum class ColorFamily : std::uint8_t { Gray, Rgb, Cmyk };

// The number of components a colour of the family has.
constexpr std::size_t componentCount(ColorFamily family) {
    return family == ColorFamily::Gray ? 1 : family == ColorFamily::Rgb ? 3 : 4;
}

struct Color {
    ColorFamily family = ColorFamily::Gray;
    std::array<Fixed, 4> components{};  // 16.16, in 0..1; only the family's count is used
};

struct GraphicState {
    Color fill;
    Color stroke;
    Fixed lineWidth = kFixedOne;
    Fixed miterLimit = 10 * kFixedOne;
    Fixed flatness = kFixedOne;
};

// One piece of text: drawn with its font at size 1, placed and scaled by its
// matrix, filled with the state's fill colour.
struct TextRun {
    std::string bytes;
    PageFontEntry font;
    GraphicState state;
    FixedMatrix matrix;
};

struct TextElement {
    std::vector<TextRun> runs;
};

// Segment kinds of PDFEditWrite 56.
enum class SegmentKind : std::int32_t {
    MoveTo = 0,
    LineTo = 1,
    CurveTo = 2,   // two control points and an end point
    CurveToV = 3,  // first control point on the current point: control, end
    CurveToY = 4,  // second control point on the end point: control, end
    Rect = 5,      // x, y, width, height
    Close = 6,
};

struct PathSegment {
    SegmentKind kind = SegmentKind::MoveTo;
    std::array<Fixed, 6> values{};
};

// Paint operations of PDFEditWrite 18; 0 paints nothing.
constexpr std::int32_t kPaintFill = 2;
constexpr std::int32_t kPaintEvenOddFill = 4;

struct PathElement {
    GraphicState state;
    std::int32_t paintOp = 0;
    std::vector<PathSegment> segments;
};

using Element = std::variant<TextElement, PathElement>;

}  // namespace host
