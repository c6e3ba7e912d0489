// Fuzzes the whole report pipeline: the input bytes are opened as a PDF by
// the host, the plug-in (loaded through its entry and handshake, as the
// viewer loads it) runs its report command through the menu item, and the
// report is written to memory by the host's writer. Inputs the host refuses
// to open, and commands that end without a report, are ordinary outcomes;
// the sanitizers and the crash handler catch the rest.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "app/viewer_session.h"
#include "core/errors.h"
#include "model/document_writer.h"
#include "model/documents.h"
#include "plugin/entry.h"
#include "view/menus.h"
#include "view/windows.h"

namespace {

// The file the host opens: one in-memory file, rewritten for each input.
class InputFile {
public:
    InputFile() : descriptor_(memfd_create("fuzz-input.pdf", 0)) {
        if (descriptor_ < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(descriptor_);
    }

    const std::string& hold(const std::uint8_t* data, std::size_t size) {
        if (ftruncate(descriptor_, 0) != 0 || pwrite(descriptor_, data, size, 0) != static_cast<ssize_t>(size)) {
            std::perror("writing the fuzz input");
            std::abort();
        }
        return path_;
    }

private:
    int descriptor_;
    std::string path_;
};

void writeReport(host::ViewerSession& session, const std::string& path) {
    session.open(path);
    host::Host& host = session.host();
    host::Menus& menus = host.menus();
    const host::Handle item = menus.findItem("ZORV:Ortheo");
    if (item == host::kNoHandle) std::abort();  // the plug-in always registers it
    if (!menus.isEnabled(menus.item(item).enabled)) return;
    menus.choose(item);
    for (const host::Handle report : host.windows().opened()) {
        try {
            if (host::writeDocument(*host.documents().get(report).pdf).empty()) std::abort();
        } catch (const std::runtime_error&) {
            // A stream of the input that cannot be read, or a report without pages.
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static InputFile input;
    const std::string& path = input.hold(data, size);
    try {
        host::ViewerSession session(&PlugInMain, host::HostConfig{});
        writeReport(session, path);
    } catch (const host::HostError&) {
        // The host refused the input: not a PDF, or damaged beyond repair.
    }
    return 0;
}
