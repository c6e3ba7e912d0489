#include "core/error_output.h"

#include <utility>

namespace host {
namespace {

constexpr std::string_view kEraseLine = "\r\033[K";

struct ErrorOutput {
    std::FILE* destination = nullptr;
    std::string statusLine;  // empty when none is shown
    bool statusDrawn = false;
    bool atLineStart = true;
    std::string subject;  // empty when none is set
};

ErrorOutput& state() {
    static ErrorOutput output;
    return output;
}

std::FILE* destination() { return state().destination != nullptr ? state().destination : stderr; }

void put(std::string_view text) { std::fwrite(text.data(), 1, text.size(), destination()); }

void eraseStatus() {
    if (!state().statusDrawn) return;
    put(kEraseLine);
    state().statusDrawn = false;
}

// A status line is drawn only where a line starts, so that it never cuts
// into the text of a line still open.
void drawStatus() {
    ErrorOutput& output = state();
    if (output.statusLine.empty() || !output.atLineStart) return;
    put("\r");
    put(output.statusLine);
    output.statusDrawn = true;
}

void writeText(std::string_view heading, std::string_view text) {
    if (text.empty()) return;
    eraseStatus();
    if (!heading.empty()) {
        if (!state().atLineStart) put("\n");
        put(heading);
        put("\n");
    }
    put(text);
    state().atLineStart = text.back() == '\n';
    drawStatus();
    std::fflush(destination());
}

}  // namespace

void writeHostLines(std::string_view text) { writeText("", text); }

void writePluginText(std::string_view text) {
    if (text.empty()) return;
    const std::string heading = std::exchange(state().subject, {});
    writeText(heading, text);
}

void showStatusLine(std::string_view line) {
    state().statusLine = line;
    drawStatus();
    std::fflush(destination());
}

void hideStatusLine() {
    eraseStatus();
    state().statusLine.clear();
    std::fflush(destination());
}

void setPluginTextSubject(std::string line) { state().subject = std::move(line); }

void setErrorDestination(std::FILE* destination) { state().destination = destination; }

}  // namespace host
