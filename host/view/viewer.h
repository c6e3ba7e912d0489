// The viewer (AcroView 5, 12, 48, 56, 57; PDModel 223): document views, the
// active view and its selection, and alerts.
#pragma once

#include "core/handles.h"

namespace host {

class Viewer {
public:
};

}  // namespace host
