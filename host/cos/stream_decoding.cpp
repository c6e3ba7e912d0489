#include "cos/stream_decoding.h"

#include <zlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>

namespace host {
namespace {

// Thrown through qpdf's decoders to stop them; qpdf answers it as a failed read.
struct LimitReached : std::runtime_error {
    LimitReached() : std::runtime_error("the decoded data reached its limit") {}
};

// Keeps at most `limit` bytes and stops the decoding at the first byte past them.
class LimitedSink : public Pipeline {
public:
    LimitedSink(std::string& data, std::size_t limit) : Pipeline("limited sink", nullptr), data_(data), limit_(limit) {}

    void write(unsigned char const* bytes, std::size_t length) override {
        const std::size_t room = limit_ - data_.size();
        data_.append(reinterpret_cast<const char*>(bytes), std::min(length, room));
        if (length > room) {
            reached_ = true;
            throw LimitReached();
        }
    }
    void finish() override {}

    bool reached() const { return reached_; }

private:
    std::string& data_;
    std::size_t limit_;
    bool reached_ = false;
};

// Whether the stream's only filter is FlateDecode, without a predictor.
bool isPlainFlate(QPDFObjectHandle stream) {
    QPDFObjectHandle dict = stream.getDict();
    QPDFObjectHandle filter = dict.getKey("/Filter");
    if (filter.isArray() && filter.getArrayNItems() == 1) filter = filter.getArrayItem(0);
    return filter.isNameAndEquals("/FlateDecode") && !dict.hasKey("/DecodeParms");
}

// Inflates as much of damaged Flate data as decodes, up to the limit; qpdf's
// decoder keeps back what it had when it fails.
DecodedStream inflateUntilDamage(QPDFObjectHandle stream, std::size_t limit) {
    const std::shared_ptr<Buffer> raw = stream.getRawStreamData();
    DecodedStream decoded{"", Decoding::damaged};
    z_stream zip{};
    if (inflateInit(&zip) != Z_OK) return decoded;
    zip.next_in = raw->getBuffer();
    zip.avail_in = static_cast<uInt>(raw->getSize());
    unsigned char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        zip.next_out = chunk;
        zip.avail_out = sizeof chunk;
        status = inflate(&zip, Z_SYNC_FLUSH);
        const std::size_t length = sizeof chunk - zip.avail_out;
        const std::size_t room = limit - decoded.data.size();
        decoded.data.append(reinterpret_cast<const char*>(chunk), std::min(length, room));
        if (length > room) {
            decoded.outcome = Decoding::tooLarge;
            break;
        }
        if (status == Z_BUF_ERROR && zip.avail_in == 0) break;
    }
    inflateEnd(&zip);
    return decoded;
}

}  // namespace

DecodedStream decodeAtMost(QPDFObjectHandle stream, std::size_t limit) {
    DecodedStream decoded;
    LimitedSink sink(decoded.data, limit);
    bool attempted = false;
    bool ok = false;
    try {
        // qpdf answers false for most damage, and for the sink's stop, but
        // lets some decoder errors through as exceptions; all of them leave
        // what was decoded in the sink.
        ok = stream.pipeStreamData(&sink, &attempted, 0, qpdf_dl_generalized, true, false);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        ok = false;
    }
    if (sink.reached()) {
        decoded.outcome = Decoding::tooLarge;
    } else if (!ok) {
        decoded = isPlainFlate(stream) ? inflateUntilDamage(stream, limit)
                                       : DecodedStream{std::move(decoded.data), Decoding::damaged};
    } else if (!attempted) {
        decoded = {"", Decoding::unsupported};
    }
    return decoded;
}

}  // namespace host
