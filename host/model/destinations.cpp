#include "model/destinations.h"

#include <string>
#include <vector>

#include "core/errors.h"
#include "model/fixed_numbers.h"

namespace host {
namespace {

enum class Operand { Left, Top, Right, Bottom, Zoom };

struct FitType {
    std::string_view name;
    std::vector<Operand> operands;  // in the order the array holds them
};

const std::array<FitType, 8> kFitTypes{{
    {"XYZ", {Operand::Left, Operand::Top, Operand::Zoom}},
    {"Fit", {}},
    {"FitH", {Operand::Top}},
    {"FitV", {Operand::Left}},
    {"FitR", {Operand::Left, Operand::Bottom, Operand::Right, Operand::Top}},
    {"FitB", {}},
    {"FitBH", {Operand::Top}},
    {"FitBV", {Operand::Left}},
}};

std::uint8_t fitTypeNamed(std::string_view name) {
    for (std::size_t index = 0; index < kFitTypes.size(); ++index) {
        if (kFitTypes[index].name == name) return static_cast<std::uint8_t>(index);
    }
    raise(kErrBadArgument, "PDModel 215: \"" + std::string(name) + "\" is not a destination fit type");
}

Fixed rectValue(Operand operand, const FixedRect& rect) {
    switch (operand) {
        case Operand::Left: return rect.left;
        case Operand::Top: return rect.top;
        case Operand::Right: return rect.right;
        case Operand::Bottom: return rect.bottom;
        case Operand::Zoom: break;
    }
    return 0;
}

}  // namespace

DestinationView destinationView(std::string_view fitType, const FixedRect* rect, Fixed zoom) {
    DestinationView view;
    view.fitType = fitTypeNamed(fitType);
    const FitType& type = kFitTypes[view.fitType];
    if (rect == nullptr && !type.operands.empty()) {
        raise(kErrBadArgument, "PDModel 215: a /" + std::string(type.name) + " destination needs a rectangle");
    }
    for (const Operand operand : type.operands) {
        Fixed value = zoom;
        if (operand != Operand::Zoom) {
            value = rectValue(operand, *rect);
        } else if (zoom == op::kZoomUnchanged) {
            view.zoomUnchanged = true;  // the zoom comes last
            value = 0;
        } else if (zoom < 0) {
            raise(kErrBadArgument, "PDModel 215: a zoom cannot be negative");
        }
        view.values[view.valueCount++] = value;
    }
    return view;
}

QPDFObjectHandle makeDestination(QPDFObjectHandle page, const DestinationView& view) {
    QPDFObjectHandle destination = QPDFObjectHandle::newArray();
    destination.appendItem(page);
    destination.appendItem(QPDFObjectHandle::newName("/" + std::string(kFitTypes[view.fitType].name)));
    for (std::uint8_t index = 0; index < view.valueCount; ++index) {
        const bool nullZoom = view.zoomUnchanged && index + 1 == view.valueCount;
        destination.appendItem(nullZoom ? QPDFObjectHandle::newNull() : pdfNumberFromFixed(view.values[index]));
    }
    return destination;
}

}  // namespace host
