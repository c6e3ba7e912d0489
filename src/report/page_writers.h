// The report's page writers: a font's description page and its ToUnicode
// page. Each builds a text element and two path elements, lets its sections
// fill them, stores them as the page's content and releases them. A failure
// anywhere in a page writer is shown to the user in an alert with the host's
// text, and the report goes on with the next font.
#pragma once

#include "plugin/host_services.h"

namespace ortheo {

// Appends the font's description page to the report; answers the page,
// still acquired (the caller releases it), or no page after a failure.
host::Handle WriteDescriptionPage(host::Handle font);

// Appends the font's ToUnicode page when the font has a ToUnicode map.
void WriteToUnicodePage(host::Handle font);

}  // namespace ortheo
