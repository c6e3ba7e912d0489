// The report driver: builds the font report of the active document as a new
// document with an outline "Fonts by names" and, unless text is selected,
// "Fonts by pages".
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

// Builds the report of the active document and answers it (the caller
// opens it). Host failures are not caught here: they end the run.
host::Handle BuildFontReport();

// Adds a bookmark titled `title` as the last child of `parent`; with a page,
// it leads there (top of the page, zoom unchanged).
host::Object AddBookmark(host::Object parent, host::Handle document, const host::Handle* page, const char* title);

// The procedure the host calls for each piece of selected text.
host::Bool16 ORTHEO_CDECL CollectSelectionFont(host::ClientData clientData, host::Handle font,
                                              void* fontFlags) noexcept;

}  // namespace ortheo
