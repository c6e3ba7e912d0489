// The Cos table: equality, type, the null object, dictionary look-up and
// opening a stream's decoded contents.

#include <zlib.h>

#include <qpdf/Buffer.hh>
#include <qpdf/Pl_String.hh>

#include "core/atoms.h"
#include "core/errors.h"
#include "core/streams.h"
#include "core/tables.h"
#include "cos/cos_objects.h"
#include "host.h"
#include "operations.h"

namespace host {
namespace {

Bool16 cosEqual(Object a, Object b) {
    CosObjects& cos = Host::current().cos();
    cos.unwrap(a);
    cos.unwrap(b);
    return a == b ? 1 : 0;
}

std::int32_t cosTypeOf(Object object) { return cosTypeCode(Host::current().cos().unwrap(object)); }

Object cosNull() { return {}; }

Object cosDictGet(Object dict, Atom key) {
    Host& current = Host::current();
    QPDFObjectHandle value = current.cos().unwrap(dict);
    if (value.isStream()) value = value.getDict();
    if (!value.isDictionary()) raise(kErrBadArgument, "Cos 21: the object is not a dictionary");
    const std::string name = std::string("/") + current.atoms().text(key);
    return current.cos().wrap(current.cos().documentOf(dict), value.getKey(name));
}

// Whether the stream's only filter is FlateDecode, without a predictor.
bool isPlainFlate(QPDFObjectHandle stream) {
    QPDFObjectHandle dict = stream.getDict();
    QPDFObjectHandle filter = dict.getKey("/Filter");
    if (filter.isArray() && filter.getArrayNItems() == 1) filter = filter.getArrayItem(0);
    return filter.isNameAndEquals("/FlateDecode") && !dict.hasKey("/DecodeParms");
}

// Inflates as much of damaged Flate data as decodes, as readers of damaged
// files do; qpdf's decoder keeps back what it had when it fails.
std::string inflateUntilDamage(const std::string& packed) {
    std::string data;
    z_stream zip{};
    if (inflateInit(&zip) != Z_OK) return data;
    zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    zip.avail_in = static_cast<uInt>(packed.size());
    unsigned char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        zip.next_out = chunk;
        zip.avail_out = sizeof chunk;
        status = inflate(&zip, Z_SYNC_FLUSH);
        data.append(reinterpret_cast<const char*>(chunk), sizeof chunk - zip.avail_out);
        if (status == Z_BUF_ERROR && zip.avail_in == 0) break;
    }
    inflateEnd(&zip);
    return data;
}

// Decodes all of a stream's data; what came out before a failure is kept
// and the failure is raised when the reader gets to it.
StreamReader decodeStream(QPDFObjectHandle stream) {
    StreamReader reader;
    Pl_String sink("decoded stream", nullptr, reader.data);
    bool attempted = false;
    bool ok = false;
    try {
        // qpdf answers false for most damage, but lets some decoder errors
        // through as exceptions; both leave what was decoded in the sink.
        ok = stream.pipeStreamData(&sink, &attempted, 0, qpdf_dl_generalized, true, false);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        if (isPlainFlate(stream)) {
            const std::shared_ptr<Buffer> raw = stream.getRawStreamData();
            reader.data = inflateUntilDamage(std::string(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize()));
        }
        reader.failure = "the stream's data is damaged and could not be decoded completely";
    } else if (!attempted) {
        raise(kErrStreamRead, "Cos 32: the stream's filters cannot be decoded");
    }
    return reader;
}

Handle cosStreamOpen(Object object, std::int32_t mode) {
    Host& current = Host::current();
    QPDFObjectHandle stream = current.cos().unwrap(object);
    if (!stream.isStream()) raise(kErrBadArgument, "Cos 32: the object is not a stream");
    if (mode != op::kStreamDecoded) raise(kErrBadArgument, "Cos 32: only decoded reading is offered");
    return current.streams().open(decodeStream(stream));
}

}  // namespace

void installCosOperations(TableRegistry& tables) {
    tables.install<op::CosEqual, &cosEqual>();
    tables.install<op::CosTypeOf, &cosTypeOf>();
    tables.install<op::CosNull, &cosNull>();
    tables.install<op::CosDictGet, &cosDictGet>();
    tables.install<op::CosStreamOpen, &cosStreamOpen>();
}

}  // namespace host
