#include "model/destinations.h"

#include <array>
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

const FitType& fitTypeNamed(std::string_view name) {
    for (const FitType& type : kFitTypes) {
        if (type.name == name) return type;
    }
    raise(kErrBadArgument, "PDModel 215: \"" + std::string(name) + "\" is not a destination fit type");
}

QPDFObjectHandle zoomValue(Fixed zoom) {
    if (zoom == op::kZoomUnchanged) return QPDFObjectHandle::newNull();
    if (zoom < 0) raise(kErrBadArgument, "PDModel 215: a zoom cannot be negative");
    return pdfNumberFromFixed(zoom);
}

QPDFObjectHandle operandValue(Operand operand, const FixedRect& rect, Fixed zoom) {
    switch (operand) {
        case Operand::Left: return pdfNumberFromFixed(rect.left);
        case Operand::Top: return pdfNumberFromFixed(rect.top);
        case Operand::Right: return pdfNumberFromFixed(rect.right);
        case Operand::Bottom: return pdfNumberFromFixed(rect.bottom);
        case Operand::Zoom: return zoomValue(zoom);
    }
    return QPDFObjectHandle::newNull();
}

}  // namespace

QPDFObjectHandle makeDestination(QPDFObjectHandle page, std::string_view fitType, const FixedRect* rect,
                                 Fixed zoom) {
    const FitType& type = fitTypeNamed(fitType);
    if (rect == nullptr && !type.operands.empty()) {
        raise(kErrBadArgument, "PDModel 215: a /" + std::string(type.name) + " destination needs a rectangle");
    }
    QPDFObjectHandle destination = QPDFObjectHandle::newArray();
    destination.appendItem(page);
    destination.appendItem(QPDFObjectHandle::newName("/" + std::string(type.name)));
    for (const Operand operand : type.operands) destination.appendItem(operandValue(operand, *rect, zoom));
    return destination;
}

}  // namespace host
