// Captures the CMap engine's notes for the lifetime of one object, instead of
// letting them reach standard error.
#pragma once

#include <string>
#include <string_view>

#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {

class NoteCapture {
public:
    NoteCapture() {
        notes().clear();
        setCMapNoteSinkForTesting(append);
    }
    ~NoteCapture() { setCMapNoteSinkForTesting(nullptr); }
    NoteCapture(const NoteCapture&) = delete;
    NoteCapture& operator=(const NoteCapture&) = delete;

    const std::string& text() const { return notes(); }

private:
    static std::string& notes() {
        static std::string captured;
        return captured;
    }
    static void append(std::string_view note) { notes().append(note); }
};

}  // namespace ortheo
