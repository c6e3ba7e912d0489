#include "report/drawing.h"

#include <cstring>
#include <limits>

#include "plugin/host_call.h"
#include "report/host_objects.h"
#include "report/report_state.h"

namespace ortheo {
namespace {

constexpr std::int32_t kLargestPoints = 32767;
constexpr host::Fixed kMiterLimit = 10 * host::kFixedOne;

using GraphicState = unsigned char[host::kGraphicStateSize];

template <class Value>
void put(unsigned char* record, std::size_t offset, Value value) {
    std::memcpy(record + offset, &value, sizeof value);
}

host::Fixed saturated(std::int64_t value) {
    if (value > std::numeric_limits<host::Fixed>::max()) return std::numeric_limits<host::Fixed>::max();
    if (value < std::numeric_limits<host::Fixed>::min()) return std::numeric_limits<host::Fixed>::min();
    return static_cast<host::Fixed>(value);
}

// Sums and differences of 16.16 values saturate instead of wrapping.
host::Fixed fixedSum(host::Fixed a, host::Fixed b) { return saturated(static_cast<std::int64_t>(a) + b); }
host::Fixed fixedDifference(host::Fixed a, host::Fixed b) { return saturated(static_cast<std::int64_t>(a) - b); }

// A colour space of this family, owned by the caller.
PageObject colourSpace(const char* family) {
    return PageObject(callHost<host::op::ColorSpaceCreate>(callHost<host::op::AtomFromString>(family)));
}

void fillGraphicState(GraphicState& state, host::Handle space) {
    std::memset(state, 0, sizeof state);
    put(state, host::kGraphicStateFillSpace, space);
    put(state, host::kGraphicStateStrokeSpace, space);
    put(state, host::kGraphicStateLineWidth, host::kFixedOne);
    put(state, host::kGraphicStateMiterLimit, kMiterLimit);
    put(state, host::kGraphicStateFlatness, host::kFixedOne);
}

}  // namespace

host::Fixed fix(std::int64_t points) {
    if (points < -kLargestPoints) return host::kFixedMin;
    if (points > kLargestPoints) return host::kFixedMax;
    return static_cast<host::Fixed>(points * host::kFixedOne);
}

host::Fixed fixReal(double value) { return static_cast<host::Fixed>(value * 65536.0 + 0.5); }

void WriteText(host::Handle textElement, std::int32_t mode, std::string text, host::Handle font, std::int32_t x,
               std::int32_t y, std::int32_t width, std::int32_t height) {
    const PageObject gray = colourSpace("DeviceGray");
    GraphicState state;
    fillGraphicState(state, gray.get());

    const host::FixedRect& box = pageState().pageBox;
    const host::FixedMatrix matrix{fix(width), 0, 0, fix(height), fixedSum(box.left, fix(x)),
                                   fixedDifference(box.top, fix(std::int64_t{y} + height))};
    callHost<host::op::TextAdd>(textElement, mode, 0, reinterpret_cast<const std::uint8_t*>(text.data()),
                                static_cast<std::int32_t>(text.size()), font, state,
                                static_cast<std::int32_t>(sizeof state), nullptr, 0, &matrix, nullptr);
}

int AddRectangle(host::Handle path, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    const host::FixedRect& box = pageState().pageBox;
    callHost<host::op::PathSetPaintOp>(path, host::op::kPaintStroke);
    callHost<host::op::PathAddSegment>(path, host::op::kSegmentRect, fixedSum(box.left, fix(x)),
                                       fixedDifference(box.top, fix(y)), fix(width), fix(-std::int64_t{height}), 0, 0);
    return 1;
}

host::Handle MakeReportFont() {
    unsigned char attrs[host::kFontAttrsSize] = {};
    put(attrs, host::kFontAttrsName, callHost<host::op::AtomFromString>("Times-Roman"));
    put(attrs, host::kFontAttrsType, callHost<host::op::AtomFromString>("Type1"));
    put(attrs, host::kFontAttrsCharSet, host::kNullAtom);
    put(attrs, host::kFontAttrsEncoding, callHost<host::op::AtomFromString>("Identity-H"));
    return callHost<host::op::FontCreate>(attrs, static_cast<std::int32_t>(sizeof attrs), 0, 255, nullptr, nullptr,
                                          host::kNullAtom, host::kNoHandle, 0, 0, 0);
}

int SetPathStyle(host::Handle element, double lineWidth, double red, double green, double blue) {
    const PageObject rgb = colourSpace("DeviceRGB");
    GraphicState state;
    fillGraphicState(state, rgb.get());
    put(state, host::kGraphicStateStrokeColor, fixReal(red));
    put(state, host::kGraphicStateStrokeColor + 4, fixReal(green));
    put(state, host::kGraphicStateStrokeColor + 8, fixReal(blue));
    put(state, host::kGraphicStateLineWidth, fixReal(lineWidth));
    callHost<host::op::ElementSetGraphicState>(element, state, static_cast<std::int32_t>(sizeof state));
    return 1;
}

}  // namespace ortheo
