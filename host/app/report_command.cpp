#include "app/report_command.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/command_failure.h"
#include "app/plugin_loader.h"
#include "app/quick_exit.h"
#include "app/report_output.h"
#include "app/text_selection_argument.h"
#include "app/viewer_session.h"
#include "core/call_log.h"
#include "core/counted_noun.h"
#include "core/error_output.h"
#include "core/errors.h"
#include "host.h"
#include "model/document_source.h"
#include "model/documents.h"
#include "model/output_target.h"
#include "view/menus.h"
#include "view/viewer.h"
#include "view/windows.h"

namespace host {
namespace {

constexpr const char* kReportItem = "ZORV:Ortheo";

// The exit status of a command that found nothing to report.
constexpr int kNothingToReport = 3;

std::unique_ptr<ViewerSession> startSession(const std::string& pluginPath, PlugInMainProc linkedPlugin) {
    const HostConfig config;
    if (linkedPlugin != nullptr) return std::make_unique<ViewerSession>(linkedPlugin, config);
    return std::make_unique<ViewerSession>(pluginPath.empty() ? defaultPluginPath() : pluginPath, config);
}

Handle openDocument(ViewerSession& session, const std::string& path, const std::string& password) {
    try {
        return session.open(path, password);
    } catch (const HostError& error) {
        failToOpen(error);
    }
}

void selectText(ViewerSession& session, Handle document, const std::string& argument) {
    Host& host = session.host();
    const auto parsed = parseTextSelection(argument, host.documents().get(document).pdf->getAllPages().size());
    if (!parsed.selection) fail(2, "--select-text " + argument + ": " + parsed.problem);
    Viewer& viewer = host.viewer();
    try {
        viewer.selectText(viewer.activeView(), parsed.selection->pages, parsed.selection->area);
    } catch (const HostError& error) {
        fail(2, "--select-text " + argument + ": " + error.what());
    }
}

Handle reportItem(Menus& menus) {
    const Handle item = menus.findItem(kReportItem);
    if (item == kNoHandle) fail(1, std::string("the plug-in registered no \"") + kReportItem + "\" menu item");
    return item;
}

// Shows "Scanning page N/M" on a terminal while the plug-in asks for the
// fonts of each page: at most ten times a second, and at the last page, so
// that a document of many pages does not flood the terminal.
class ProgressLine {
public:
    ProgressLine(Host& host, std::int32_t pageCount) : host_(host), pageCount_(pageCount), shown_(isatty(2) != 0) {
        if (!shown_) return;
        host_.calls().setObserver([this](TableId table, std::uint32_t selector) {
            if (table == TableId::PDModel && selector == 95) advance();
        });
    }
    ~ProgressLine() {
        if (!shown_) return;
        host_.calls().setObserver(nullptr);
        hideStatusLine();
    }

private:
    static constexpr std::chrono::milliseconds kRedrawInterval{100};

    void advance() {
        ++page_;
        const auto now = std::chrono::steady_clock::now();
        if (page_ != pageCount_ && now - drawnAt_ < kRedrawInterval) return;
        drawnAt_ = now;
        showStatusLine("Scanning page " + std::to_string(page_) + "/" + std::to_string(pageCount_));
    }

    Host& host_;
    std::int32_t pageCount_;
    std::int32_t page_ = 0;
    std::chrono::steady_clock::time_point drawnAt_{};
    bool shown_;
};

Handle runReportItem(ViewerSession& session, Handle document, const std::string& input) {
    Host& host = session.host();
    Menus& menus = host.menus();
    const Handle item = reportItem(menus);
    if (!menus.isEnabled(menus.item(item).enabled)) {
        fail(1, inputName(input) +
                    ": the report command is disabled for this document: its permissions forbid copying content");
    }
    const std::size_t raisedBefore = host.errors().raisedCount();
    {
        const ProgressLine progress(host, static_cast<std::int32_t>(host.documents().get(document).pdf->getAllPages().size()));
        menus.choose(item);
    }
    setPluginTextSubject("");
    if (host.windows().opened().empty()) {
        if (host.errors().raisedCount() > raisedBefore) {
            fail(1, "the report command ended without a report: a host error reached it (\"" + std::string(
                        host.errors().inFlightText()) + "\"); run with --log-errors to see the plug-in's log");
        }
        fail(1, "the report command ended without a report");
    }
    return host.windows().opened().back();
}

// The report is written at the end: a place it cannot go is told before
// the analysis rather than after it.
OutputTarget checkedOutput(const ReportOptions& options) {
    const std::string output = options.output.empty() ? defaultReportPath(options.input) : options.output;
    const OutputTarget target = reportTarget(output);
    if (const std::string problem = outputProblem(target, inputIdentity(options.input)); !problem.empty()) {
        fail(2, problem);
    }
    return target;
}

[[noreturn]] void failWithNoFonts(const std::string& input) {
    fail(kNothingToReport, inputName(input) + " uses no fonts; no report written");
}

// A report without pages is no PDF a reader accepts: none is written.
void checkNotEmpty(ViewerSession& session, Handle report, const ReportOptions& options) {
    if (!session.host().documents().get(report).pdf->getAllPages().empty()) return;
    if (options.selectText) {
        fail(kNothingToReport, inputName(options.input) + ": the text selected by --select-text " +
                                   *options.selectText + " uses no fonts; no report written");
    }
    failWithNoFonts(options.input);
}

int report(const ReportOptions& options) {
    if (options.logErrors) setenv("ORTHEO_LOG_ERRORS", "1", 1);  // read by the plug-in when it is loaded
    checkInput("report", options.input);  // before the plug-in is loaded
    const OutputTarget output = checkedOutput(options);

    auto session = startSession(options.pluginPath, options.linkedPlugin);
    const Handle document = openDocument(*session, options.input, options.password);
    if (options.selectText) selectText(*session, document, *options.selectText);
    const Handle report = runReportItem(*session, document, options.input);
    checkNotEmpty(*session, report, options);
    try {
        session->host().documents().save(report, output);
    } catch (const HostError& error) {
        fail(1, error.what());
    }
    if (!writesToStandardOutput(output)) std::printf("Report: %s\n", output.named.c_str());
    if (options.exitWhenWritten) exitWithoutTeardown(0);
    return 0;
}

int listMenus(const MenuOptions& options) {
    auto session = startSession(options.pluginPath, options.linkedPlugin);
    std::fputs(session->host().menus().describe().c_str(), stdout);
    return 0;
}

int chooseMenuItem(const MenuOptions& options) {
    if (options.item.empty()) fail(2, "run-menu needs the name of a menu item, such as ZORV:OrtheoAbout");
    auto session = startSession(options.pluginPath, options.linkedPlugin);
    if (!options.input.empty()) openDocument(*session, options.input, options.password);
    Menus& menus = session->host().menus();
    const Handle item = menus.findItem(options.item);
    if (item == kNoHandle) fail(2, "no menu item is named \"" + options.item + "\"; see ortheo menus");
    if (!menus.isEnabled(menus.item(item).enabled)) fail(1, "the menu item \"" + options.item + "\" is disabled");
    menus.choose(item);
    setPluginTextSubject("");
    for (const Handle opened : session->host().windows().opened()) {
        const std::size_t pages = session->host().documents().get(opened).pdf->getAllPages().size();
        if (pages == 0) failWithNoFonts(options.input);
        std::printf("Opened in a new window: a document of %s\n", countedNoun(pages, "page").c_str());
    }
    return 0;
}

}  // namespace

std::string defaultReportPath(const std::string& input) {
    if (input == "-" || input == "/dev/stdin") return "stdin-fonts.pdf";
    std::filesystem::path path(input);
    const std::string stem = path.extension() == ".pdf" || path.extension() == ".PDF" ? path.stem().string()
                                                                                      : path.filename().string();
    return (path.parent_path() / (stem + "-fonts.pdf")).string();
}

int runReport(const ReportOptions& options) {
    return runCommand([&] { return report(options); });
}

int runMenus(const MenuOptions& options) {
    return runCommand([&] { return listMenus(options); });
}

int runMenuItem(const MenuOptions& options) {
    return runCommand([&] { return chooseMenuItem(options); });
}

}  // namespace host
