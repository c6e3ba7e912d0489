#include "model/fixed_numbers.h"

#include <cmath>

namespace host {

Fixed fixedFromDouble(double value) {
    if (std::isnan(value)) return 0;
    const double scaled = std::round(value * kFixedOne);
    if (scaled >= static_cast<double>(kFixedMax)) return kFixedMax;
    if (scaled <= static_cast<double>(kFixedMin)) return kFixedMin;
    return static_cast<Fixed>(scaled);
}

QPDFObjectHandle pdfNumberFromFixed(Fixed value) {
    if (value % kFixedOne == 0) return QPDFObjectHandle::newInteger(value / kFixedOne);
    return QPDFObjectHandle::newReal(static_cast<double>(value) / kFixedOne, 5);
}

}  // namespace host
