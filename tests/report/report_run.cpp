#include "report_run.h"

#include "model/documents.h"
#include "report/driver.h"
#include "support/sample_pdf.h"
#include "view/viewer.h"

namespace ortheo::testing {

ReportRun::ReportRun(const std::string& input, const host::HostConfig& config)
    : loaded_(config),
      document_(loaded_.host().documents().open(input)),
      view_(loaded_.host().viewer().openView(document_)) {}

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
