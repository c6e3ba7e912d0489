#include "core/streams.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"

namespace host {

std::int32_t Streams::read(void* destination, std::int32_t itemSize, std::int32_t itemCount, Handle stream) {
    StreamReader& reader = readers_.get(stream);
    if (destination == nullptr || itemSize <= 0 || itemCount < 0) {
        raise(kErrBadArgument, "AcroSupport 43: bad destination, item size or count");
    }
    const std::size_t left = reader.data.size() - reader.position;
    if (left == 0 && !reader.failure.empty()) {
        const std::string failure = std::exchange(reader.failure, std::string());
        raise(kErrStreamRead, failure);
    }
    const std::size_t items = std::min<std::size_t>(static_cast<std::size_t>(itemCount),
                                                     left / static_cast<std::size_t>(itemSize));
    const std::size_t bytes = items * static_cast<std::size_t>(itemSize);
    std::memcpy(destination, reader.data.data() + reader.position, bytes);
    reader.position += bytes;
    return static_cast<std::int32_t>(items);
}

}  // namespace host
