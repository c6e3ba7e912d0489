// Explicit destinations: the arrays a go-to action leads to, such as
// [page /XYZ left top zoom], made from the fit type and the 16.16
// rectangle and zoom that PDModel 215 is given.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include <qpdf/QPDFObjectHandle.hh>

#include "plugin/host_services.h"

namespace host {

// The view a destination asks for, without its page: the fit type and the
// values it uses, in the order the array holds them. Two destinations to
// the same page with equal views are the same destination.
struct DestinationView {
    std::uint8_t fitType = 0;  // an index into the fit types
    std::uint8_t valueCount = 0;
    bool zoomUnchanged = false;  // the last value is a null zoom
    std::array<Fixed, 4> values{};

    bool operator==(const DestinationView&) const = default;
};

// The view of a fit type, a PDF destination type without its slash ("XYZ",
// "Fit", "FitH", "FitV", "FitR", "FitB", "FitBH", "FitBV"), which says
// which values of `rect` are used; only "XYZ" uses `zoom`, where
// kZoomUnchanged becomes null (keep the viewer's zoom). Raises
// kErrBadArgument for an unknown fit type, a missing rectangle the type
// needs, or a negative zoom.
DestinationView destinationView(std::string_view fitType, const FixedRect* rect, Fixed zoom);

// The destination array of `view` for `page` (an indirect page object).
QPDFObjectHandle makeDestination(QPDFObjectHandle page, const DestinationView& view);

}  // namespace host
