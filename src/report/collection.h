// The font collector: called by the host once for each font it reports.
// A font whose name is new to the run gets its report pages and its
// "Fonts by names" entry; every font is listed for the page being scanned.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

// Answers 1: the host goes on with its enumeration. A failure stops the
// enumeration (answer 0) and is thrown again by the enumeration's call.
host::Bool16 ORTHEO_CDECL CollectFont(host::Handle font, void* fontFlags, host::ClientData clientData) noexcept;

// Collects one font; failures pass through.
void collectFont(host::Handle font);

}  // namespace ortheo
