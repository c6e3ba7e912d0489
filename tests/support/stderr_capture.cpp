#include "support/stderr_capture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace ortheo::testing {

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    char path[] = "/tmp/ortheo-stderr-XXXXXX";
    captureDescriptor_ = mkstemp(path);
    if (captureDescriptor_ < 0) throw std::runtime_error("cannot make a file to capture standard error");
    unlink(path);
    savedDescriptor_ = dup(STDERR_FILENO);
    dup2(captureDescriptor_, STDERR_FILENO);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    dup2(savedDescriptor_, STDERR_FILENO);
    close(savedDescriptor_);
    close(captureDescriptor_);
}

std::string StderrCapture::text() {
    std::fflush(stderr);
    std::string captured;
    char chunk[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(captureDescriptor_, chunk, sizeof chunk, offset);
        if (got <= 0) break;
        captured.append(chunk, static_cast<std::size_t>(got));
        offset += got;
    }
    return captured;
}

}  // namespace ortheo::testing
