// The Cos table: equality, type, the null object, dictionary look-up and
// opening a stream's decoded contents.

#include "core/atoms.h"
#include "core/error_output.h"
#include "core/errors.h"
#include "core/streams.h"
#include "core/tables.h"
#include "cos/cos_objects.h"
#include "cos/object_names.h"
#include "cos/stream_decoding.h"
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

// What the plug-in writes on standard error after it looked up a font's
// ToUnicode map (the CMap engine's notes on it) is about that map; the
// host names it once before the first line.
void nameToUnicodeNotes(QPDFObjectHandle font) {
    setPluginTextSubject("ortheo: notes on the ToUnicode map of " + fontNameAndObject(font) + ":");
}

Object cosDictGet(Object dict, Atom key) {
    Host& current = Host::current();
    QPDFObjectHandle value = current.cos().unwrap(dict);
    if (value.isStream()) value = value.getDict();
    if (!value.isDictionary()) raise(kErrBadArgument, "Cos 21: the object is not a dictionary");
    const std::string name = std::string("/") + current.atoms().text(key);
    if (name == "/ToUnicode") nameToUnicodeNotes(value);
    return current.cos().wrap(current.cos().documentOf(dict), value.getKey(name));
}

StreamReader openReader(QPDFObjectHandle stream) {
    DecodedStream decoded = decodeAtMost(stream, kLargestStreamRead);
    switch (decoded.outcome) {
        case Decoding::complete:
            return {std::move(decoded.data), 0, ""};
        case Decoding::damaged:
            return {std::move(decoded.data), 0, "the stream's data is damaged and could not be decoded completely"};
        case Decoding::tooLarge:
            return {std::move(decoded.data), 0,
                    "the stream's data decodes to more than " + std::to_string(kLargestStreamRead >> 20) +
                        " MB; reading stopped there"};
        case Decoding::unsupported:
            break;
    }
    raise(kErrStreamRead, "Cos 32: the stream's filters cannot be decoded");
}

Handle cosStreamOpen(Object object, std::int32_t mode) {
    Host& current = Host::current();
    QPDFObjectHandle stream = current.cos().unwrap(object);
    if (!stream.isStream()) raise(kErrBadArgument, "Cos 32: the object is not a stream");
    if (mode != op::kStreamDecoded) raise(kErrBadArgument, "Cos 32: only decoded reading is offered");
    return current.streams().open(openReader(stream));
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
