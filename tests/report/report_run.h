// A report run as the command makes it: a host with the plug-in loaded, an
// input PDF open in the active view, the driver run, the report written.
#pragma once

#include <string>

#include "support/loaded_plugin.h"

namespace ortheo::testing {

class ReportRun {
public:
    explicit ReportRun(const std::string& input, const host::HostConfig& config = {});

    host::Host& host() { return loaded_.host(); }
    host::Handle document() const { return document_; }
    host::Handle view() const { return view_; }

    // Makes every call of the operation from now on raise, as a host does
    // that cannot answer it for the document.
    void failEveryCall(host::TableId table, std::uint32_t selector);

    // Runs the driver and writes the report to a fresh temporary file named
    // `name`; answers its path.
    std::string build(const std::string& name);

private:
    LoadedPlugin loaded_;
    host::Handle document_;
    host::Handle view_;
};

// A simple font dictionary with this /BaseFont.
std::string simpleFont(const std::string& name, const std::string& more = "");

}  // namespace ortheo::testing
