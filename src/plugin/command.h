// Everything the plug-in does once the host has accepted it: at
// initialisation it registers its tool, toolbar button, the report item in
// the "Advanced" menu and the Help and About items; the button and the item
// run the report command; at unload it frees the button's image. The host
// calls each of these procedures; none lets a failure back into it.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

host::Bool16 ORTHEO_CDECL OnPluginInit() noexcept;
host::Bool16 ORTHEO_CDECL OnPluginUnload() noexcept;

// The report command: builds the report of the active document under a
// host exception frame and opens it in a new window.
void ORTHEO_CDECL RunFontReport(host::ClientData data) noexcept;

// Whether the command may run: a document is active and, when `data` names
// permission bits, the document grants one of them.
host::Bool16 ORTHEO_CDECL IsFontReportEnabled(host::ClientData data) noexcept;

// Whether the plug-in's tool is the host's active tool.
host::Bool16 ORTHEO_CDECL IsFontReportToolActive(host::ClientData data) noexcept;

void ORTHEO_CDECL ShowHelpNote(host::ClientData data) noexcept;
void ORTHEO_CDECL ShowAboutNote(host::ClientData data) noexcept;

// The tool record the host keeps the address of while the plug-in is loaded.
const host::ToolRecord& toolRecord();

}  // namespace ortheo
