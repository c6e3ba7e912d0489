// Explicit destinations: the arrays a go-to action leads to, such as
// [page /XYZ left top zoom], made from the fit type and the 16.16
// rectangle and zoom that PDModel 215 is given.
#pragma once

#include <string_view>

#include <qpdf/QPDFObjectHandle.hh>

#include "plugin/host_services.h"

namespace host {

// The destination array for `page` (an indirect page object). The fit type
// is a PDF destination type without its slash ("XYZ", "Fit", "FitH",
// "FitV", "FitR", "FitB", "FitBH", "FitBV"); it says which values of
// `rect` are used, and only "XYZ" uses `zoom`, where kZoomUnchanged
// becomes null (keep the viewer's zoom). Raises kErrBadArgument for an
// unknown fit type, a missing rectangle the type needs, or a negative zoom.
QPDFObjectHandle makeDestination(QPDFObjectHandle page, std::string_view fitType, const FixedRect* rect,
                                 Fixed zoom);

}  // namespace host
