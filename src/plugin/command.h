// Everything the plug-in does once the host has accepted it: at
// initialisation it registers its tool, toolbar button, the report item in
// the "Advanced" menu and the Help and About items; the button and the item
// run the report command; at unload it frees the button's image.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

host::Bool16 OnPluginInit();
host::Bool16 OnPluginUnload();

// The report command: builds the report of the active document under a
// host exception frame and opens it in a new window.
void RunFontReport(host::ClientData data);

// Whether the command may run: a document is active and, when `data` names
// permission bits, the document grants one of them.
host::Bool16 IsFontReportEnabled(host::ClientData data);

// Whether the plug-in's tool is the host's active tool.
host::Bool16 IsFontReportToolActive(host::ClientData data);

void ShowHelpNote(host::ClientData data);
void ShowAboutNote(host::ClientData data);

// The tool record the host keeps the address of while the plug-in is loaded.
const host::ToolRecord& toolRecord();

}  // namespace ortheo
