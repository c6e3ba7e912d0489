// Captures what is written to standard error (file descriptor 2, so C
// stdio, iostreams and direct writes alike) while the object lives.
#pragma once

#include <string>

namespace ortheo::testing {

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far; the capture goes on.
    std::string text();

private:
    int savedDescriptor_;
    int captureDescriptor_;
};

}  // namespace ortheo::testing
