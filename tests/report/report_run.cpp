#include "report_run.h"

#include "core/call_log.h"
#include "model/documents.h"
#include "report/driver.h"
#include "support/sample_pdf.h"
#include "view/viewer.h"

namespace ortheo::testing {

ReportRun::ReportRun(const std::string& input, const host::HostConfig& config)
    : loaded_(config),
      document_(loaded_.host().documents().open(input)),
      view_(loaded_.host().viewer().openView(document_)) {}

void ReportRun::failEveryCall(host::TableId table, std::uint32_t selector) {
    host::CallLog& calls = host().calls();
    // A fault raises once: armed afresh before each such call, it fails them all.
    calls.setObserver([&calls, table, selector](host::TableId called, std::uint32_t number) {
        if (called == table && number == selector) calls.injectFault(table, selector, 1);
    });
}

std::string ReportRun::build(const std::string& name) {
    const host::Handle report = BuildFontReport();
    const std::string path = temporaryPath(name);
    host().documents().save(report, path);
    return path;
}

std::string simpleFont(const std::string& name, const std::string& more) {
    return "<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " " + more + " >>";
}

}  // namespace ortheo::testing
