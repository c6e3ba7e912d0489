// Stream handles (AcroSupport 43 and 45), opened by Cos 32.
//
// A stream handle reads the decoded bytes of a PDF stream. Decoding that
// failed part-way delivers the bytes decoded before the failure and then
// raises on the next read, as a reader of a damaged file would see it.
#pragma once

#include <string>

#include "core/handles.h"

namespace host {

struct StreamReader {
    std::string data;
    std::size_t position = 0;
    std::string failure;  // why decoding stopped early; empty when it did not
};

class Streams {
public:
    Handle open(StreamReader reader) { return readers_.add(std::move(reader)); }
    std::int32_t read(void* destination, std::int32_t itemSize, std::int32_t itemCount, Handle stream);
    void close(Handle stream) { readers_.remove(stream); }
    std::size_t openCount() const { return readers_.size(); }

private:
    HandleRegistry<StreamReader> readers_{HandleKind::Stream};
};

}  // namespace host
