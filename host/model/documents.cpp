#include "model/documents.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFExc.hh>
#include <fcntl.h>
#include <unistd.h>

#include "core/errors.h"
#include "cos/cos_objects.h"
#include "host.h"
#include "model/document_writer.h"
#include "model/fonts.h"
#include "model/page_tree.h"
#include "model/pages.h"

namespace host {
namespace {

// The /PageMode of each page mode number; 0 removes it.
constexpr std::array<std::string_view, 7> kPageModes{
    "", "/UseNone", "/UseThumbs", "/UseOutlines", "/FullScreen", "/UseOC", "/UseAttachments",
};

// How many names a temporary file tries before saving gives up.
constexpr int kTemporaryNameTries = 100;

// A new file beside `path`, open for writing, that no one else holds: the
// first name tried is path.part-PID, then path.part-PID-1 and so on, and
// O_EXCL refuses a name that exists, a symbolic link included. So runs in
// one folder never share a temporary file, not even two with the same
// process id in different PID namespaces, and a link planted under the
// name is never written through. Sets `name`; null, with errno set, when
// no file could be made.
std::FILE* createTemporaryBeside(const std::string& path, std::string& name) {
    const std::string stem = path + ".part-" + std::to_string(getpid());
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
        const int descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* file = fdopen(descriptor, "wb");
        if (file == nullptr) {
            const int openError = errno;
            close(descriptor);
            unlink(name.c_str());
            errno = openError;
        }
        return file;
    }
    return nullptr;
}

// Writes `bytes` to `file` and closes it; the answer is empty, or what failed.
std::string writeFile(std::FILE* file, std::string_view bytes) {
    // Synced before it is renamed into place, so that a crash never leaves a
    // report that is named but empty.
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                         std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written) return std::strerror(writeError);
    if (!closed) return std::strerror(errno);
    return "";
}

// Files up to this size are read whole before parsing: qpdf then parses
// from memory rather than seeking the file for every object it resolves,
// which costs a large document a tenth of its report. Larger files are
// read as needed, so memory stays bounded.
constexpr std::uintmax_t kLargestFileReadWhole = 256 << 20;

// The file's bytes as an input source for qpdf, which keeps them as long as
// it needs them; null when the file is too large or cannot be read whole.
std::shared_ptr<InputSource> wholeFileSource(const std::string& path) {
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(path, failed);
    if (failed || size > kLargestFileReadWhole) return nullptr;
    auto bytes = std::make_unique<Buffer>(static_cast<std::size_t>(size));
    std::ifstream file(path, std::ios::binary);
    file.read(reinterpret_cast<char*>(bytes->getBuffer()), static_cast<std::streamsize>(size));
    if (!file || file.peek() != std::char_traits<char>::eof()) return nullptr;  // unreadable, or grew meanwhile
    return std::make_shared<BufferInputSource>(path, bytes.release(), true);
}

[[noreturn]] void raiseOpenFailure(const std::string& path, const QPDFExc& failure) {
    if (failure.getErrorCode() == qpdf_e_password) {
        raise(kErrBadPassword, path + ": the password is wrong or missing");
    }
    raise(kErrPdf, path + ": not a PDF file, or damaged beyond repair (" + failure.getMessageDetail() + ")");
}

}  // namespace

Handle Documents::open(const std::string& path, const std::string& password) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) raise(kErrFileOpen, path + ": is a directory");
    if (!std::filesystem::is_regular_file(path, ignored)) raise(kErrFileOpen, path + ": no such file");

    auto pdf = std::make_shared<QPDF>();
    pdf->setSuppressWarnings(true);
    try {
        const char* const givenPassword = password.empty() ? nullptr : password.c_str();
        if (std::shared_ptr<InputSource> source = wholeFileSource(path)) {
            pdf->processInputSource(source, givenPassword);
        } else {
            pdf->processFile(path.c_str(), givenPassword);
        }
        mendPageTree(*pdf);
        pdf->getAllPages();  // a file whose page tree cannot be read is no use to anyone
    } catch (const QPDFExc& failure) {
        raiseOpenFailure(path, failure);
    } catch (const std::exception& failure) {
        raise(kErrPdf, path + ": " + failure.what());
    }
    return documents_.add({std::move(pdf), path});
}

Handle Documents::create() {
    auto pdf = std::make_shared<QPDF>();
    pdf->emptyPDF();
    return documents_.add({std::move(pdf), ""});
}

void Documents::save(Handle document, const std::string& path) {
    std::string file;
    try {
        file = writeDocument(*get(document).pdf, outline_.find(document));
    } catch (const std::exception& failure) {
        raise(kErrFileOpen, path + ": the document could not be written (" + failure.what() + ")");
    }
    std::string temporary;
    std::FILE* const opened = createTemporaryBeside(path, temporary);
    if (opened == nullptr) {
        raise(kErrFileOpen, path + ": the document could not be written (" + std::strerror(errno) + ")");
    }
    if (const std::string failure = writeFile(opened, file); !failure.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        raise(kErrFileOpen, path + ": the document could not be written (" + failure + ")");
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        raise(kErrFileOpen, path + ": the document could not be written (" + renamed.message() + ")");
    }
}

void Documents::setPageMode(Handle document, std::int32_t mode) {
    QPDFObjectHandle catalog = get(document).pdf->getRoot();
    if (mode < 0 || static_cast<std::size_t>(mode) >= kPageModes.size()) {
        raise(kErrBadArgument, "PDModel 77: " + std::to_string(mode) + " is not a page mode (0 to " +
                                   std::to_string(kPageModes.size() - 1) + ")");
    }
    const std::string_view name = kPageModes[static_cast<std::size_t>(mode)];
    if (name.empty()) {
        catalog.removeKey("/PageMode");
    } else {
        catalog.replaceKey("/PageMode", QPDFObjectHandle::newName(std::string(name)));
    }
}

void Documents::close(Handle document) {
    get(document);
    // What names the document's objects goes before the objects.
    Host::current().pages().forgetDocument(document);
    Host::current().cos().forgetDocument(document);
    Host::current().fonts().forgetDocument(document);
    outline_.forgetDocument(document);
    documents_.remove(document);
}

}  // namespace host
