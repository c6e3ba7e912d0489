// 16.16 fixed-point values and PDF numbers, both ways.
//
// Page boxes and destinations cross to the plug-in as 16.16 values but live
// in the document as PDF numbers, which may be anything a producer wrote:
// fractions, huge values, even values that are not finite once parsed.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include "plugin/host_services.h"

namespace host {

// The nearest 16.16 value, clamped to the 16.16 range; not-a-number is 0.
Fixed fixedFromDouble(double value);

// A PDF number of the same value: an integer when whole, else a real with
// five decimals, which is enough to come back as the same 16.16 value.
QPDFObjectHandle pdfNumberFromFixed(Fixed value);

}  // namespace host
