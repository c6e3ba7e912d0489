#include "model/trailer_recovery.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFTokenizer.hh>

#include "cos/stream_decoding.h"
#include "model/document_source.h"

namespace host {
namespace {

// What qpdf's scan needs to accept the file: a trailer whose catalog has an
// empty page tree, and a startxref that leads nowhere, so that it rebuilds
// the cross-reference table.
constexpr std::string_view kStandInTrailer =
    "\ntrailer\n<< /Root << /Pages << /Type /Pages /Kids [ ] /Count 0 >> >> >>\nstartxref\n0\n%%EOF\n";

// All object streams together decode to no more than this, however many
// the file holds; each to no more than any stream the host reads.
constexpr std::size_t kObjectStreamsBudget = std::size_t{256} << 20;

// Where an object stands in the file: its offset, and its index when it
// lies in an object stream at that offset. The later of two wins.
using Position = std::pair<qpdf_offset_t, std::size_t>;

// A row of the cross-reference stream: type 1, an offset and a generation;
// type 2, the object stream's number and the index in it. An offset into
// the copies of objects appended to the file counts from their start.
struct Entry {
    int type = 1;
    qpdf_offset_t field2 = 0;
    qpdf_offset_t field3 = 0;
    Position at;
    bool copied = false;
};

struct Scan {
    std::map<int, Entry> entries;
    std::optional<QPDFObjGen> catalog;
    Position catalogAt;
    // The objects of object streams that decode only in part, which qpdf
    // would not read from there: each copied as an object of its own.
    std::string copies;
};

struct ObjectStream {
    QPDFObjectHandle stream;
    int number;  // in the file; a stream made of a cut one has another in the probe
    qpdf_offset_t offset;
    bool cut = false;  // qpdf does not read it: its objects are copied
};

std::optional<std::string> readAll(InputSource& source) {
    source.seek(0, SEEK_END);
    const qpdf_offset_t size = source.tell();
    if (size < 0 || static_cast<std::size_t>(size) > kLargestStreamedInput) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    source.seek(0, SEEK_SET);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t read = source.read(bytes.data() + got, bytes.size() - got);
        if (read == 0) break;
        got += read;
    }
    bytes.resize(got);
    return bytes;
}

bool hasType(QPDFObjectHandle dictionary, const char* type) {
    return dictionary.isDictionary() && dictionary.getKey("/Type").isNameAndEquals(type);
}

void note(Scan& scan, int number, const Entry& entry) {
    auto [found, added] = scan.entries.emplace(number, entry);
    if (!added && found->second.at < entry.at) found->second = entry;
}

void noteCatalog(Scan& scan, QPDFObjGen catalog, Position at) {
    if (scan.catalog && at < scan.catalogAt) return;
    scan.catalog = catalog;
    scan.catalogAt = at;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\0'; }

// The next unsigned integer of an object stream's header, skipping white space.
std::optional<qpdf_offset_t> nextInteger(std::string_view& text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    qpdf_offset_t value = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
        if (value > (std::numeric_limits<qpdf_offset_t>::max() - 9) / 10) return std::nullopt;
        value = value * 10 + (text[digits] - '0');
    }
    if (digits == 0) return std::nullopt;
    text.remove_prefix(digits);
    return value;
}

// Whether an object stream's member, as written, is a catalog. Only text
// that names /Catalog is parsed.
bool isCatalogText(QPDF& probe, std::string_view text) {
    if (text.find("/Catalog") == std::string_view::npos) return false;
    auto input = std::make_shared<BufferInputSource>("object stream member", std::string(text));
    QPDFTokenizer tokenizer;
    bool empty = false;
    try {
        return hasType(QPDFObjectHandle::parse(input, "object stream member", tokenizer, empty, nullptr, &probe),
                       "/Catalog");
    } catch (const QPDFExc&) {
        return false;
    }
}

// An object stream's members: their numbers and offsets after /First.
using Members = std::vector<std::pair<qpdf_offset_t, qpdf_offset_t>>;

// The first `count` members its header lists, up to the first that is not
// a pair of numbers or whose offset goes back: the offsets only grow, so
// that no byte of the data is looked at for two members.
Members membersOf(std::string_view header, long long count) {
    Members members;
    for (long long i = 0; i < count; ++i) {
        const std::optional<qpdf_offset_t> number = nextInteger(header);
        const std::optional<qpdf_offset_t> offset = number ? nextInteger(header) : std::nullopt;
        if (!offset || *number <= 0 || *number >= INT_MAX - 1) break;
        if (!members.empty() && *offset < members.back().second) break;
        members.emplace_back(*number, *offset);
    }
    return members;
}

// The text of member `i`; none when the data breaks off before its end
// (the last member of whole data ends with the data).
std::optional<std::string_view> memberText(std::string_view body, const Members& members, std::size_t i,
                                           bool whole) {
    const auto begin = static_cast<std::size_t>(members[i].second);
    const bool last = i + 1 == members.size();
    const auto end = last ? body.size() : static_cast<std::size_t>(members[i + 1].second);
    if (begin > end || end > body.size() || (last && !whole)) return std::nullopt;
    return body.substr(begin, end - begin);
}

Entry copyOf(Scan& scan, int number, std::string_view text, Position at) {
    const auto offset = static_cast<qpdf_offset_t>(scan.copies.size());
    scan.copies += std::to_string(number) + " 0 obj\n";
    scan.copies += text;
    scan.copies += "\nendobj\n";
    return {1, offset, 0, at, true};
}

// The members of one object stream, as far as its data decodes and its
// header reads.
void readObjectStream(QPDF& probe, ObjectStream& found, std::size_t& budget, Scan& scan) {
    QPDFObjectHandle dict = found.stream.getDict();
    QPDFObjectHandle count = dict.getKey("/N");
    QPDFObjectHandle first = dict.getKey("/First");
    if (!count.isInteger() || !first.isInteger() || first.getIntValue() < 0) return;
    const DecodedStream decoded = decodeAtMost(found.stream, std::min(budget, kLargestStreamRead));
    budget -= decoded.data.size();
    const std::string_view data = decoded.data;
    const auto start = static_cast<std::size_t>(first.getIntValue());
    if (start > data.size()) return;
    const Members members = membersOf(data.substr(0, start), count.getIntValue());
    const std::string_view body = data.substr(start);
    const bool whole = decoded.outcome == Decoding::complete || decoded.outcome == Decoding::tooLarge;
    const bool referred = whole && !found.cut;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const auto [number, offset] = members[i];
        const std::optional<std::string_view> text = memberText(body, members, i, whole);
        if (number == found.number || (!referred && !text)) continue;
        const Position at{found.offset, i + 1};
        if (referred) {
            note(scan, static_cast<int>(number), {2, found.number, static_cast<qpdf_offset_t>(i), at});
        } else {
            note(scan, static_cast<int>(number), copyOf(scan, static_cast<int>(number), *text, at));
        }
        if (text && isCatalogText(probe, *text)) noteCatalog(scan, QPDFObjGen(static_cast<int>(number), 0), at);
    }
}

// The last object of a file cut inside it, which qpdf's scan reads as null
// when it is a stream: its dictionary as qpdf parses it, and its data up to
// the cut.
QPDFObjectHandle cutStream(QPDF& probe, std::string_view file, qpdf_offset_t header) {
    const std::size_t keyword = file.find("obj", static_cast<std::size_t>(header));
    if (keyword == std::string_view::npos) return QPDFObjectHandle::newNull();
    auto input = std::make_shared<BufferInputSource>("cut stream", std::string(file.substr(keyword + 3)));
    QPDFTokenizer tokenizer;
    bool empty = false;
    QPDFObjectHandle dict;
    try {
        dict = QPDFObjectHandle::parse(input, "cut stream", tokenizer, empty, nullptr, &probe);
    } catch (const QPDFExc&) {
        return QPDFObjectHandle::newNull();
    }
    std::string_view rest = file.substr(keyword + 3 + static_cast<std::size_t>(input->tell()));
    while (!rest.empty() && isSpace(rest.front())) rest.remove_prefix(1);
    if (!dict.isDictionary() || rest.substr(0, 6) != "stream") return QPDFObjectHandle::newNull();
    rest.remove_prefix(6);
    if (rest.substr(0, 1) == "\r") rest.remove_prefix(1);
    if (rest.substr(0, 1) == "\n") rest.remove_prefix(1);
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&probe, std::string(rest));
    stream.replaceDict(dict);
    return stream;
}

// The objects qpdf's scan found, the catalogs among them, and the members
// of the object streams among them, from the last stream back.
Scan scanObjects(QPDF& probe, std::string_view file) {
    std::vector<std::pair<qpdf_offset_t, QPDFObjGen>> headers;
    for (const auto& [object, entry] : probe.getXRefTable()) {
        if (entry.getType() == 1 && object.getObj() < INT_MAX - 1) headers.emplace_back(entry.getOffset(), object);
    }
    std::sort(headers.begin(), headers.end());
    Scan scan;
    std::vector<ObjectStream> streams;
    for (const auto& [offset, object] : headers) {
        note(scan, object.getObj(), {1, offset, object.getGen(), {offset, 0}});
        QPDFObjectHandle found = probe.getObjectByObjGen(object);
        const bool cut = found.isNull() && offset == headers.back().first;
        if (cut) found = cutStream(probe, file, offset);
        if (hasType(found, "/Catalog")) noteCatalog(scan, object, {offset, 0});
        if (found.isStream() && hasType(found.getDict(), "/ObjStm")) streams.push_back({found, object.getObj(), offset, cut});
    }
    std::size_t budget = kObjectStreamsBudget;
    for (auto stream = streams.rbegin(); stream != streams.rend() && budget > 0; ++stream) {
        readObjectStream(probe, *stream, budget, scan);
    }
    return scan;
}

void appendBigEndian(std::string& out, qpdf_offset_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((static_cast<unsigned long long>(value) >> shift) & 0xFF));
    }
}

// The /Index of the entries: a first number and a count for each run of
// consecutive numbers.
std::string indexOf(const std::map<int, Entry>& entries) {
    std::string index;
    for (auto run = entries.begin(); run != entries.end();) {
        auto end = std::next(run);
        int next = run->first + 1;
        for (; end != entries.end() && end->first == next; ++end) ++next;
        index += std::to_string(run->first) + " " + std::to_string(next - run->first) + " ";
        run = end;
    }
    return index;
}

// A cross-reference stream at offset `at` that lists the scan's objects and
// itself, with a trailer that names the catalog; the copies of objects
// start at `copiesAt`.
std::string crossReferenceStream(Scan& scan, qpdf_offset_t copiesAt, qpdf_offset_t at) {
    const int number = scan.entries.empty() ? 1 : scan.entries.rbegin()->first + 1;
    scan.entries[number] = {1, at, 0, {}};
    std::string rows;
    for (const auto& [object, entry] : scan.entries) {
        appendBigEndian(rows, entry.type, 1);
        appendBigEndian(rows, entry.copied ? copiesAt + entry.field2 : entry.field2, 8);
        appendBigEndian(rows, entry.field3, 4);
    }
    return std::to_string(number) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(number + 1) +
           " /W [ 1 8 4 ] /Index [ " + indexOf(scan.entries) + "] /Root " + std::to_string(scan.catalog->getObj()) +
           " " + std::to_string(scan.catalog->getGen()) + " R /Length " + std::to_string(rows.size()) +
           " >>\nstream\n" + rows + "\nendstream\nendobj\nstartxref\n" + std::to_string(at) + "\n%%EOF\n";
}

std::shared_ptr<InputSource> sourceOf(const std::string& name, std::string_view file, std::string_view appended) {
    auto bytes = std::make_unique<Buffer>(file.size() + appended.size());
    std::memcpy(bytes->getBuffer(), file.data(), file.size());
    std::memcpy(bytes->getBuffer() + file.size(), appended.data(), appended.size());
    return std::make_shared<BufferInputSource>(name, bytes.release(), true);
}

bool lacksTrailer(const QPDFExc& failure) {
    return failure.getMessageDetail().find("unable to find trailer dictionary") != std::string::npos;
}

std::optional<RecoveredFile> recoverTrailer(InputSource& source) {
    std::optional<std::string> bytes = readAll(source);
    if (!bytes) return std::nullopt;
    const std::size_t cutAt = bytes->size();
    bytes->append(kStandInTrailer);
    QPDF probe;
    probe.setSuppressWarnings(true);
    try {
        probe.processMemoryFile(source.getName().c_str(), bytes->data(), bytes->size());
    } catch (const QPDFExc&) {
        return std::nullopt;
    }
    Scan scan = scanObjects(probe, std::string_view(*bytes).substr(0, cutAt));
    if (!scan.catalog) return std::nullopt;
    bytes->resize(cutAt);
    const auto copiesAt = static_cast<qpdf_offset_t>(cutAt) + 1;
    const auto at = copiesAt + static_cast<qpdf_offset_t>(scan.copies.size());
    const std::string appended = "\n" + scan.copies + crossReferenceStream(scan, copiesAt, at);
    return RecoveredFile{sourceOf(source.getName(), *bytes, appended),
                         "no trailer: the file seems cut short at byte " + std::to_string(cutAt), true,
                         std::nullopt};
}

// Whether the /Encrypt entry names a dictionary that encrypts neither
// streams nor strings: a crypt filter of /Identity, or none (the default).
bool encryptsOnlyEmbeddedFiles(QPDFObjectHandle encrypt) {
    if (!encrypt.isDictionary() || !encrypt.getKey("/V").isInteger() || encrypt.getKey("/V").getIntValue() < 4) {
        return false;
    }
    for (const char* key : {"/StmF", "/StrF"}) {
        QPDFObjectHandle filter = encrypt.getKey(key);
        if (!filter.isNull() && !filter.isNameAndEquals("/Identity")) return false;
    }
    return true;
}

// The offset that the last startxref in the file's last kilobyte names.
std::optional<qpdf_offset_t> lastCrossReference(std::string_view file) {
    const std::size_t keyword = file.rfind("startxref");
    if (keyword == std::string_view::npos || file.size() - keyword > 1024) return std::nullopt;
    std::string_view rest = file.substr(keyword + 9);
    return nextInteger(rest);
}

// The file with a section appended whose trailer is its own less /Encrypt
// and what belonged to its last section alone.
std::optional<RecoveredFile> withoutEncryption(InputSource& source, QPDF& refused, std::string problem) {
    std::optional<std::string> bytes = readAll(source);
    const std::optional<qpdf_offset_t> previous = bytes ? lastCrossReference(*bytes) : std::nullopt;
    if (!previous) return std::nullopt;
    std::string trailer = "<< ";
    for (auto& [key, value] : refused.getTrailer().getDictAsMap()) {
        if (key != "/Encrypt" && key != "/Prev" && key != "/XRefStm") trailer += key + " " + value.unparse() + " ";
    }
    trailer += "/Prev " + std::to_string(*previous) + " >>";
    const auto at = static_cast<qpdf_offset_t>(bytes->size()) + 1;
    const std::string appended = "\nxref\n0 1\n0000000000 65535 f \ntrailer\n" + trailer + "\nstartxref\n" +
                                 std::to_string(at) + "\n%%EOF\n";
    RecoveredFile recovered{sourceOf(source.getName(), *bytes, appended), std::move(problem), false, std::nullopt};
    QPDFObjectHandle encrypt = refused.getTrailer().getKey("/Encrypt");
    if (encrypt.isDictionary() && encrypt.getKey("/P").isInteger()) {
        recovered.permissions = static_cast<std::uint32_t>(encrypt.getKey("/P").getIntValue());
    }
    return recovered;
}

}  // namespace

std::optional<RecoveredFile> recoverFile(InputSource& source, QPDF& refused, const QPDFExc& failure) {
    if (lacksTrailer(failure)) return recoverTrailer(source);
    if (failure.getMessageDetail().find("/Encrypt in trailer dictionary is not a dictionary") != std::string::npos) {
        return withoutEncryption(source, refused, "the /Encrypt entry of the trailer is no dictionary: read as not encrypted");
    }
    if (failure.getErrorCode() == qpdf_e_password && encryptsOnlyEmbeddedFiles(refused.getTrailer().getKey("/Encrypt"))) {
        return withoutEncryption(source, refused, "only the embedded files are encrypted: read without a password");
    }
    return std::nullopt;
}

}  // namespace host
