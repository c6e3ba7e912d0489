#include "tabulorum/pdf/tounicode_reader.h"

#include <algorithm>
#include <new>
#include <utility>

#include "plugin/host_call.h"
#include "plugin/log.h"
#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {
namespace {

constexpr std::size_t kInitialCapacity = 5000;
constexpr std::int32_t kChunkSize = 1000;
constexpr int kLineNotAStream = 38;
constexpr int kLineReadFailed = 172;

// Closes the stream handle on every path; a failure to close while an
// error is on its way out is dropped.
class OpenStream {
public:
    explicit OpenStream(host::Handle handle) : handle_(handle) {}
    ~OpenStream() {
        try {
            close();
        } catch (...) {
        }
    }
    void close() {
        if (handle_ != host::kNoHandle) callHost<host::op::StreamClose>(std::exchange(handle_, host::kNoHandle));
    }
    host::Handle get() const { return handle_; }

private:
    host::Handle handle_;
};

// Makes room for one more chunk, keeping what was read; false when the
// buffer cannot grow.
bool roomForAChunk(std::vector<char>& text) {
    if (text.capacity() - text.size() >= static_cast<std::size_t>(kChunkSize)) return true;
    try {
        text.reserve(text.capacity() * 2);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void readChunks(host::Handle stream, std::vector<char>& text) {
    while (roomForAChunk(text)) {
        const std::size_t before = text.size();
        text.resize(before + kChunkSize);
        const std::int32_t got = callHost<host::op::StreamRead>(text.data() + before, 1, kChunkSize, stream);
        text.resize(before + static_cast<std::size_t>(std::clamp(got, 0, kChunkSize)));
        if (got <= 0) return;
    }
}

void parseWhatWasRead(CMap& cmap, const std::vector<char>& text) {
    try {
        cmap.parse(text.data(), text.size());
    } catch (...) {
        // Out of memory while appending: what was appended stays.
    }
}

}  // namespace

bool readToUnicodeStream(host::Object fontDict, std::vector<char>& text) {
    const host::Object value =
        callHost<host::op::CosDictGet>(fontDict, callHost<host::op::AtomFromString>("ToUnicode"));
    if (callHost<host::op::CosEqual>(value, callHost<host::op::CosNull>()) != 0) return false;
    if (callHost<host::op::CosTypeOf>(value) != host::kCosStream) {
        LogError(kCMapModule, kLineNotAStream, "Unknown type of ToUnicode Table (not stream)");
        return false;
    }
    OpenStream stream(callHost<host::op::CosStreamOpen>(value, host::op::kStreamDecoded));
    text.clear();
    text.reserve(kInitialCapacity);
    readChunks(stream.get(), text);
    stream.close();
    return true;
}

// A failure while reading still lists what was read before it: the bytes a
// damaged stream gave are parsed after the failure is logged.
bool CMap::loadToUnicode(host::Object fontDict) {
    std::vector<char> text;
    bool readToTheEnd = false;
    try {
        if (!readToUnicodeStream(fontDict, text)) return false;
        readToTheEnd = true;
        parse(text.data(), text.size());
    } catch (...) {
        char message[256] = {};
        const host::ErrorCode code = callHost<host::op::ErrorCodeInFlight>();
        callHost<host::op::ErrorText>(code, message, static_cast<std::int32_t>(sizeof message));
        message[sizeof message - 1] = '\0';
        LogError(kCMapModule, kLineReadFailed, "Exception '%s' while Read ToUnicode Table", message);
        if (!readToTheEnd) parseWhatWasRead(*this, text);
    }
    return true;
}

}  // namespace ortheo
