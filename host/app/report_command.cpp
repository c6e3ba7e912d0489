#include "app/report_command.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/plugin_loader.h"
#include "app/quick_exit.h"
#include "app/text_selection_argument.h"
#include "app/viewer_session.h"
#include "core/call_log.h"
#include "core/errors.h"
#include "host.h"
#include "model/documents.h"
#include "view/menus.h"
#include "view/viewer.h"
#include "view/windows.h"

namespace host {
namespace {

constexpr const char* kReportItem = "ZORV:Ortheo";

// The exit status of a command that found nothing to report.
constexpr int kNothingToReport = 3;

// A failure that ends the command with one line on standard error.
struct CommandFailure {
    int status;
    std::string message;
};

[[noreturn]] void fail(int status, const std::string& message) { throw CommandFailure{status, message}; }

std::unique_ptr<ViewerSession> startSession(const std::string& pluginPath, PlugInMainProc linkedPlugin) {
    const HostConfig config;
    if (linkedPlugin != nullptr) return std::make_unique<ViewerSession>(linkedPlugin, config);
    return std::make_unique<ViewerSession>(pluginPath.empty() ? defaultPluginPath() : pluginPath, config);
}

Handle openDocument(ViewerSession& session, const std::string& path, const std::string& password) {
    try {
        return session.open(path, password);
    } catch (const HostError& error) {
        if (error.code() == kErrBadPassword) fail(1, std::string(error.what()) + " (give it with --password)");
        fail(1, error.what());
    }
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    if (std::filesystem::equivalent(a, b, ignored)) return true;
    return std::filesystem::weakly_canonical(a, ignored) == std::filesystem::weakly_canonical(b, ignored);
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
// fonts of each page.
class ProgressLine {
public:
    ProgressLine(Host& host, std::int32_t pageCount) : host_(host), pageCount_(pageCount), shown_(isatty(2) != 0) {
        if (!shown_) return;
        host_.calls().setObserver([this](TableId table, std::uint32_t selector) {
            if (table == TableId::PDModel && selector == 95) {
                std::fprintf(stderr, "\rScanning page %d/%d", ++page_, pageCount_);
                std::fflush(stderr);
            }
        });
    }
    ~ProgressLine() {
        if (!shown_) return;
        host_.calls().setObserver(nullptr);
        std::fputs("\r\033[K", stderr);
    }

private:
    Host& host_;
    std::int32_t pageCount_;
    std::int32_t page_ = 0;
    bool shown_;
};

Handle runReportItem(ViewerSession& session, Handle document, const std::string& input) {
    Host& host = session.host();
    Menus& menus = host.menus();
    const Handle item = reportItem(menus);
    if (!menus.isEnabled(menus.item(item).enabled)) {
        fail(1, input + ": the report command is disabled for this document: its permissions forbid copying content");
    }
    const std::size_t raisedBefore = host.errors().raisedCount();
    {
        const ProgressLine progress(host, static_cast<std::int32_t>(host.documents().get(document).pdf->getAllPages().size()));
        menus.choose(item);
    }
    if (host.windows().opened().empty()) {
        if (host.errors().raisedCount() > raisedBefore) {
            fail(1, "the report command ended without a report: a host error reached it (\"" + std::string(
                        host.errors().inFlightText()) + "\"); run with --log-errors to see the plug-in's log");
        }
        fail(1, "the report command ended without a report");
    }
    return host.windows().opened().back();
}

void checkInput(const std::string& input) {
    std::error_code ignored;
    if (std::filesystem::is_directory(input, ignored)) fail(1, input + ": is a directory");
    if (!std::filesystem::is_regular_file(input, ignored)) fail(1, input + ": no such file");
}

// The report is written at the end: a folder it cannot go into is told
// before the analysis rather than after it.
void checkOutput(const std::string& output, const std::string& input) {
    std::error_code ignored;
    if (std::filesystem::is_directory(output, ignored)) fail(2, output + ": is a directory; give the report a file name");
    if (sameFile(output, input)) fail(2, output + ": the report would overwrite its input; choose another -o");
    const std::filesystem::path parent = std::filesystem::path(output).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    if (!std::filesystem::is_directory(folder, ignored)) fail(2, output + ": there is no folder " + folder);
    if (access(folder.c_str(), W_OK) != 0) fail(2, output + ": the folder " + folder + " is not writable");
}

// A report without pages is no PDF a reader accepts: none is written.
void checkNotEmpty(ViewerSession& session, Handle report, const ReportOptions& options) {
    if (!session.host().documents().get(report).pdf->getAllPages().empty()) return;
    if (options.selectText) {
        fail(kNothingToReport, options.input + ": the text selected by --select-text " + *options.selectText +
                                   " uses no fonts; no report written");
    }
    fail(kNothingToReport, options.input + " uses no fonts; no report written");
}

int report(const ReportOptions& options) {
    if (options.logErrors) setenv("ORTHEO_LOG_ERRORS", "1", 1);  // read by the plug-in when it is loaded
    checkInput(options.input);
    const std::string output = options.output.empty() ? defaultReportPath(options.input) : options.output;
    checkOutput(output, options.input);

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
    std::printf("Report: %s\n", output.c_str());
    if (options.exitWhenWritten) exitWithoutTeardown(0);
    return 0;
}

int listMenus(const MenuOptions& options) {
    auto session = startSession(options.pluginPath, options.linkedPlugin);
    std::fputs(session->host().menus().describe().c_str(), stdout);
    return 0;
}

int chooseMenuItem(const MenuOptions& options) {
    auto session = startSession(options.pluginPath, options.linkedPlugin);
    if (!options.input.empty()) openDocument(*session, options.input, options.password);
    Menus& menus = session->host().menus();
    const Handle item = menus.findItem(options.item);
    if (item == kNoHandle) fail(1, "no menu item is named \"" + options.item + "\"");
    if (!menus.isEnabled(menus.item(item).enabled)) fail(1, "the menu item \"" + options.item + "\" is disabled");
    menus.choose(item);
    for (const Handle opened : session->host().windows().opened()) {
        std::printf("Opened in a new window: a document of %zu pages\n",
                    session->host().documents().get(opened).pdf->getAllPages().size());
    }
    return 0;
}

// Runs a command, turning its failures into one line on standard error.
template <class Command, class Options>
int runCommand(Command command, const Options& options) {
    try {
        return command(options);
    } catch (const CommandFailure& failure) {
        std::fprintf(stderr, "ortheo: %s\n", failure.message.c_str());
        return failure.status;
    } catch (const PluginLoadError& failure) {
        std::fprintf(stderr, "ortheo: %s\n", failure.what());
        return 2;
    } catch (const HostError& failure) {
        std::fprintf(stderr, "ortheo: %s\n", failure.what());
        return 1;
    }
}

}  // namespace

std::string defaultReportPath(const std::string& input) {
    std::filesystem::path path(input);
    const std::string stem = path.extension() == ".pdf" || path.extension() == ".PDF" ? path.stem().string()
                                                                                      : path.filename().string();
    return (path.parent_path() / (stem + "-fonts.pdf")).string();
}

int runReport(const ReportOptions& options) { return runCommand(&report, options); }

int runMenus(const MenuOptions& options) { return runCommand(&listMenus, options); }

int runMenuItem(const MenuOptions& options) { return runCommand(&chooseMenuItem, options); }

}  // namespace host
