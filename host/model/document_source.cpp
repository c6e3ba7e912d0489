#include "model/document_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/FileInputSource.hh>

#include "core/errors.h"

namespace host {
namespace {

// qpdf then parses from memory rather than seeking the file for every
// object it resolves, which costs a large document a tenth of its report.
constexpr std::size_t kLargestFileReadWhole = 256 << 20;
constexpr std::size_t kHeaderWindow = 1024;
constexpr std::size_t kReadChunk = 1 << 20;

std::string lowerFirst(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string reasonFor(int error) { return error == ENOENT ? "no such file" : lowerFirst(std::strerror(error)); }

// An open descriptor, closed on every path unless it is standard input.
class InputDescriptor {
public:
    explicit InputDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~InputDescriptor() {
        if (descriptor_ > STDIN_FILENO) close(descriptor_);
    }
    InputDescriptor(const InputDescriptor&) = delete;
    InputDescriptor& operator=(const InputDescriptor&) = delete;

    int get() const { return descriptor_; }
    // Hands the descriptor to a stream that closes it.
    int release() { return std::exchange(descriptor_, -1); }

private:
    int descriptor_;
};

int openInput(const std::string& path, const std::string& name) {
    if (path == "-") return STDIN_FILENO;
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) raise(kErrFileOpen, name + ": " + reasonFor(errno));
    return descriptor;
}

void checkHeader(std::string_view start, const std::string& name) {
    if (start.empty()) raise(kErrPdf, name + ": is empty");
    if (start.substr(0, kHeaderWindow).find("%PDF-") == std::string_view::npos) {
        raise(kErrPdf, name + ": is not a PDF file");
    }
}

// The whole of a regular file; null when it changed size while it was read.
std::shared_ptr<InputSource> wholeFileSource(int descriptor, std::size_t size, const std::string& name) {
    auto bytes = std::make_unique<Buffer>(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t read = pread(descriptor, bytes->getBuffer() + got, size - got, static_cast<off_t>(got));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) raise(kErrFileOpen, name + ": " + reasonFor(errno));
        if (read == 0) return nullptr;
        got += static_cast<std::size_t>(read);
    }
    checkHeader(std::string_view(reinterpret_cast<const char*>(bytes->getBuffer()), size), name);
    return std::make_shared<BufferInputSource>(name, bytes.release(), true);
}

// A file read as qpdf needs it; the source closes the descriptor.
std::shared_ptr<InputSource> fileSource(InputDescriptor& descriptor, const std::string& name) {
    char start[kHeaderWindow];
    const ssize_t read = pread(descriptor.get(), start, sizeof start, 0);
    if (read < 0) raise(kErrFileOpen, name + ": " + reasonFor(errno));
    checkHeader(std::string_view(start, static_cast<std::size_t>(read)), name);
    std::FILE* file = fdopen(descriptor.get(), "rb");
    if (file == nullptr) raise(kErrFileOpen, name + ": " + reasonFor(errno));
    descriptor.release();
    return std::make_shared<FileInputSource>(name.c_str(), file, true);
}

std::size_t sizeOf(const std::vector<std::string>& chunks) {
    std::size_t size = 0;
    for (const std::string& chunk : chunks) size += chunk.size();
    return size;
}

// One buffer for qpdf; each chunk is let go once it is copied.
std::shared_ptr<InputSource> joinedSource(std::vector<std::string>& chunks, const std::string& name) {
    auto bytes = std::make_unique<Buffer>(sizeOf(chunks));
    std::size_t at = 0;
    for (std::string& chunk : chunks) {
        std::memcpy(bytes->getBuffer() + at, chunk.data(), chunk.size());
        at += chunk.size();
        std::string().swap(chunk);
    }
    return std::make_shared<BufferInputSource>(name, bytes.release(), true);
}

// Standard input, a FIFO or a device: its header is looked at before the
// rest is read, so that /dev/zero costs a kilobyte, not the limit.
std::shared_ptr<InputSource> streamedSource(int descriptor, const std::string& name) {
    std::vector<std::string> chunks;
    if (const int failed = readToEnd(descriptor, chunks, kHeaderWindow); failed != 0) {
        raise(kErrFileOpen, name + ": " + reasonFor(failed));
    }
    checkHeader(chunks.empty() ? "" : chunks.front(), name);
    if (const int failed = readToEnd(descriptor, chunks, kLargestStreamedInput); failed != 0) {
        raise(kErrFileOpen, name + ": " + reasonFor(failed));
    }
    if (sizeOf(chunks) > kLargestStreamedInput) {
        raise(kErrFileOpen, name + ": holds more than " + std::to_string(kLargestStreamedInput >> 30) +
                                " GB, more than is read from a pipe or a device; save it to a file first");
    }
    return joinedSource(chunks, name);
}

}  // namespace

std::string inputName(const std::string& path) { return path == "-" ? "standard input" : path; }

int readToEnd(int descriptor, std::vector<std::string>& chunks, std::size_t limit) {
    for (std::size_t total = sizeOf(chunks); total <= limit;) {
        if (chunks.empty() || chunks.back().size() == kReadChunk) chunks.emplace_back().reserve(kReadChunk);
        std::string& chunk = chunks.back();
        const std::size_t before = chunk.size();
        chunk.resize(before + std::min(kReadChunk - before, limit + 1 - total));
        const ssize_t read = ::read(descriptor, chunk.data() + before, chunk.size() - before);
        const int error = errno;
        chunk.resize(before + static_cast<std::size_t>(std::max<ssize_t>(read, 0)));
        if (read < 0 && error == EINTR) continue;
        if (read < 0) return error;
        if (read == 0) return 0;
        total += static_cast<std::size_t>(read);
    }
    return 0;
}

std::shared_ptr<InputSource> openDocumentSource(const std::string& path) {
    const std::string name = inputName(path);
    InputDescriptor descriptor(openInput(path, name));
    struct stat status {};
    if (fstat(descriptor.get(), &status) != 0) raise(kErrFileOpen, name + ": " + reasonFor(errno));
    if (S_ISDIR(status.st_mode)) raise(kErrFileOpen, name + ": is a directory");
    if (!S_ISREG(status.st_mode)) return streamedSource(descriptor.get(), name);
    const auto size = static_cast<std::size_t>(status.st_size);
    if (size <= kLargestFileReadWhole) {
        if (std::shared_ptr<InputSource> whole = wholeFileSource(descriptor.get(), size, name)) return whole;
    }
    return fileSource(descriptor, name);
}

}  // namespace host
