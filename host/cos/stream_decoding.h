// A stream's decoded data, with a limit on how much is decoded.
//
// The data goes through qpdf's decoders into a pipeline that stops them at
// the limit, so a stream of a few hundred kilobytes that inflates to
// gigabytes costs no more than the limit in memory and time. Damaged data
// gives the bytes decoded before the damage; for a stream whose only filter
// is Flate, as many as zlib recovers, as readers of damaged files do.
#pragma once

#include <cstddef>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

namespace host {

enum class Decoding {
    complete,
    damaged,      // the data broke off; `data` holds what came before
    tooLarge,     // it decodes to more than the limit; `data` holds the limit's worth
    unsupported,  // a filter qpdf cannot decode; `data` is empty
};

struct DecodedStream {
    std::string data;
    Decoding outcome = Decoding::complete;
};

DecodedStream decodeAtMost(QPDFObjectHandle stream, std::size_t limit);

// The most of a stream Cos 32 decodes. The plug-in reads ToUnicode CMaps
// through it, the largest of which real files hold are a few megabytes; a
// stream that decodes to more is read as one that broke off there.
constexpr std::size_t kLargestStreamRead = 16 << 20;

}  // namespace host
