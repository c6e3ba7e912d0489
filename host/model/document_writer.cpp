#include "model/document_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFCryptoProvider.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <libdeflate.h>

#include "model/object_ids.h"
#include "model/outline.h"

namespace host {
namespace {

constexpr std::size_t kObjectsPerStream = 100;
// Object and cross-reference streams came with PDF 1.5.
constexpr std::string_view kLeastVersion = "1.5";
// A comment of bytes above 127 tells transfer programs that the file is binary.
constexpr std::string_view kBinaryMarker = "%\xBF\xF7\xA2\xFE\n";
constexpr char kHexDigits[] = "0123456789ABCDEF";

// Where a reader finds an object: at an offset of the file (type 1), or as
// the index-th object of an object stream (type 2). Object 0 heads the
// list of free objects (type 0).
struct CrossReference {
    std::uint8_t type = 0;
    std::uint64_t where = 0;  // the offset, or the object stream's number
    std::uint16_t index = 0;  // the generation, or the place in the object stream
};

void appendInteger(std::string& out, long long value) {
    char digits[24];
    const char* end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
}

void appendHex(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
}

bool isRegularNameByte(unsigned char byte) {
    return byte > ' ' && byte <= '~' &&
           std::string_view("()<>[]{}/%#").find(static_cast<char>(byte)) == std::string_view::npos;
}

// A name as a PDF file spells it, from qpdf's form ("/Name", decoded):
// bytes that are not regular characters become #XX. qpdf keeps a "#" that
// began no valid escape (in a damaged file) as a NUL byte; it is written as
// the "#" it was, escaped, so that the name stays valid.
void appendName(std::string& out, std::string_view name) {
    out += '/';
    for (const char c : name.substr(name.empty() ? 0 : 1)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0) {
            out += "#23";
        } else if (isRegularNameByte(byte)) {
            out += c;
        } else {
            out += '#';
            appendHex(out, byte);
        }
    }
}

// Flate compression at libdeflate's fastest level, which still packs a
// report's content tighter than zlib's fastest and takes half its time.
class Compressor {
public:
    Compressor() : compressor_(libdeflate_alloc_compressor(1)) {
        if (compressor_ == nullptr) throw std::bad_alloc();
    }

    std::string deflate(std::string_view data) {
        std::string compressed(libdeflate_zlib_compress_bound(compressor_.get(), data.size()), '\0');
        const std::size_t size = libdeflate_zlib_compress(compressor_.get(), data.data(), data.size(),
                                                          compressed.data(), compressed.size());
        if (size == 0) throw std::runtime_error("stream compression failed");
        compressed.resize(size);
        return compressed;
    }

private:
    struct Free {
        void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
    };
    std::unique_ptr<libdeflate_compressor, Free> compressor_;
};

std::string md5Of(std::string_view data) {
    const auto md5 = QPDFCryptoProvider::getImpl();
    md5->MD5_init();
    md5->MD5_update(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    md5->MD5_finalize();
    QPDFCryptoImpl::MD5_Digest digest;
    md5->MD5_digest(digest);
    return std::string(std::begin(digest), std::end(digest));
}

// The bytes a cross-reference field needs for its largest value.
int widthFor(std::uint64_t largest) {
    int width = 1;
    while (width < 8 && (largest >> (8 * width)) != 0) ++width;
    return width;
}

void appendBigEndian(std::string& out, std::uint64_t value, int width) {
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// The three kinds of record of a host-kept outline.
enum class OutlineRecord : std::uint8_t { None, Item, Destination, Action };

class DocumentWriter {
public:
    DocumentWriter(QPDF& pdf, const DocumentOutline* outline) : pdf_(pdf), outline_(outline) {
        if (outline_ == nullptr) return;
        recordNumbers_[static_cast<std::size_t>(OutlineRecord::Item)].resize(outline_->itemCount());
        recordNumbers_[static_cast<std::size_t>(OutlineRecord::Destination)].resize(outline_->destinationCount());
        recordNumbers_[static_cast<std::size_t>(OutlineRecord::Action)].resize(outline_->actionCount());
    }

    std::string write() {
        QPDFObjectHandle trailer = pdf_.getTrailer();
        QPDFObjectHandle root = trailer.getKey("/Root");
        if (!root.isIndirect() || !root.isDictionary()) throw std::runtime_error("the document has no catalog");
        // Readers refuse a page tree without pages: such a file is no PDF.
        if (pdf_.getAllPages().empty()) throw std::runtime_error("the document has no pages");
        QPDFObjectHandle info = trailer.getKey("/Info");

        file_ = "%PDF-" + version() + "\n";
        file_ += kBinaryMarker;
        references_.push_back({0, 0, 0xFFFF});
        const int rootNumber = numberOf(root);
        const int infoNumber = info.isIndirect() && info.isDictionary() ? numberOf(info) : 0;
        while (!pending_.empty()) {
            auto [object, number, record, index] = pending_.front();
            pending_.pop_front();
            if (record != OutlineRecord::None) {
                beginPacked(number);
                appendOutlineRecord(packedBody_, record, index);
                endPacked();
            } else if (object.isStream()) {
                writeStream(number, object);
            } else {
                pack(number, object);
            }
        }
        finishObjectStream();
        writeCrossReferenceStream(rootNumber, infoNumber);
        return std::move(file_);
    }

private:
    struct Pending {
        QPDFObjectHandle object;
        int number;
        OutlineRecord record = OutlineRecord::None;  // or an outline record instead of the object
        std::uint32_t index = 0;
    };

    std::string version() const {
        const std::string own = pdf_.getPDFVersion();
        return own > kLeastVersion ? own : std::string(kLeastVersion);
    }

    int reserveNumber() {
        references_.emplace_back();
        return static_cast<int>(references_.size() - 1);
    }

    // The object's number in the new file, given when first met; meeting
    // an object queues it for writing.
    int numberOf(QPDFObjectHandle object) {
        if (outline_ != nullptr) {
            const auto item = outline_->itemStandingIn(object.getObjGen());
            if (item) return numberOf(OutlineRecord::Item, *item);
        }
        const auto [known, added] = numbers_.try_emplace(object.getObjGen(), 0);
        if (added) {
            known->second = reserveNumber();
            pending_.push_back({object, known->second});
        }
        return known->second;
    }

    // The number of an outline record; item 0 is the root, a PDF object.
    int numberOf(OutlineRecord record, std::uint32_t index) {
        if (record == OutlineRecord::Item && index == 0) return numberOf(outline_->root());
        int& number = recordNumbers_[static_cast<std::size_t>(record)][index];
        if (number == 0) {
            number = reserveNumber();
            pending_.push_back({QPDFObjectHandle(), number, record, index});
        }
        return number;
    }

    void appendReference(std::string& out, int number) {
        appendInteger(out, number);
        out += " 0 R";
    }

    void appendRecordEntry(std::string& out, std::string_view key, OutlineRecord record, std::uint32_t index) {
        if (index == DocumentOutline::kNone) return;
        out += key;
        appendReference(out, numberOf(record, index));
    }

    // An outline item, destination or action as its PDF object would be
    // written: keys in order, as for any dictionary.
    void appendOutlineRecord(std::string& out, OutlineRecord record, std::uint32_t index) {
        if (record == OutlineRecord::Destination) {
            appendDirect(out, outline_->destination(index));
            return;
        }
        out += "<<";
        if (record == OutlineRecord::Action) {
            appendRecordEntry(out, " /D ", OutlineRecord::Destination, outline_->actionDestination(index));
            out += " /S /GoTo >>";
            return;
        }
        const DocumentOutline::Item& item = outline_->item(index);
        appendRecordEntry(out, " /A ", OutlineRecord::Action, item.action);
        if (item.count != 0) {
            out += " /Count ";
            appendInteger(out, item.count);
        }
        appendRecordEntry(out, " /First ", OutlineRecord::Item, item.first);
        appendRecordEntry(out, " /Last ", OutlineRecord::Item, item.last);
        appendRecordEntry(out, " /Next ", OutlineRecord::Item, item.next);
        appendRecordEntry(out, " /Parent ", OutlineRecord::Item, item.parent);
        if (item.prev != DocumentOutline::kNone) {
            appendRecordEntry(out, " /Prev ", OutlineRecord::Item, item.prev);
        } else if (item.parent == 0 && outline_->fileLastItem().isDictionary()) {
            out += " /Prev ";  // the first top-level item the host added follows the file's own
            appendReference(out, numberOf(outline_->fileLastItem()));
        }
        out += " /Title ";
        out += outline_->title(item);
        out += " >>";
    }

    void appendValue(std::string& out, QPDFObjectHandle value) {
        if (value.isIndirect()) {
            appendReference(out, numberOf(value));
        } else {
            appendDirect(out, value);
        }
    }

    void appendDirect(std::string& out, QPDFObjectHandle value) {
        switch (value.getTypeCode()) {
        case ::ot_boolean:
            out += value.getBoolValue() ? "true" : "false";
            return;
        case ::ot_integer:
            appendInteger(out, value.getIntValue());
            return;
        case ::ot_real:
            out += value.getRealValue();
            return;
        case ::ot_string:
            out += value.unparse();
            return;
        case ::ot_name:
            appendName(out, value.getName());
            return;
        case ::ot_array:
            appendArray(out, value);
            return;
        case ::ot_dictionary:
            out += "<<";
            appendEntries(out, value);
            out += " >>";
            return;
        default:  // null, and what is no value of a file (operators, inline images)
            out += "null";
            return;
        }
    }

    void appendArray(std::string& out, QPDFObjectHandle array) {
        out += '[';
        const int size = array.getArrayNItems();
        for (int i = 0; i < size; ++i) {
            out += ' ';
            appendValue(out, array.getArrayItem(i));
        }
        out += " ]";
    }

    // A dictionary's entries in key order, but the omitted keys; a null
    // value is no entry.
    void appendEntries(std::string& out, QPDFObjectHandle dictionary,
                       std::initializer_list<std::string_view> omitted = {}) {
        for (auto& [key, item] : dictionary.getDictAsMap()) {
            if (std::find(omitted.begin(), omitted.end(), key) != omitted.end() || item.isNull()) continue;
            out += ' ';
            appendName(out, key);
            out += ' ';
            appendValue(out, item);
        }
    }

    void writeStream(int number, QPDFObjectHandle stream) {
        QPDFObjectHandle dictionary = stream.getDict();
        const std::shared_ptr<Buffer> raw = stream.getRawStreamData();
        std::string_view data(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize());
        // Unfiltered data is compressed, except metadata, which tools read as text.
        const bool compress = !dictionary.hasKey("/Filter") && !dictionary.isDictionaryOfType("/Metadata");
        std::string compressed;
        if (compress) {
            compressed = compressor_.deflate(data);
            data = compressed;
        }
        std::string header = "<<";
        if (compress) {
            appendEntries(header, dictionary, {"/Length", "/DecodeParms"});
            header += " /Filter /FlateDecode";
        } else {
            appendEntries(header, dictionary, {"/Length"});
        }
        appendStreamObject(number, header, data);
    }

    // Ends an open dictionary with /Length and writes the stream object.
    void appendStreamObject(int number, std::string& openDictionary, std::string_view data) {
        openDictionary += " /Length ";
        appendInteger(openDictionary, static_cast<long long>(data.size()));
        openDictionary += " >>";
        references_[static_cast<std::size_t>(number)] = {1, file_.size(), 0};
        appendInteger(file_, number);
        file_ += " 0 obj\n";
        file_ += openDictionary;
        file_ += "\nstream\n";
        file_ += data;
        file_ += "\nendstream\nendobj\n";
    }

    void pack(int number, QPDFObjectHandle object) {
        beginPacked(number);
        appendDirect(packedBody_, object);
        endPacked();
    }

    // An object of the object stream being filled: its number and offset,
    // then its body, appended to `packedBody_` between these two calls.
    void beginPacked(int number) {
        if (packedCount_ == 0) packNumber_ = reserveNumber();
        references_[static_cast<std::size_t>(number)] = {2, static_cast<std::uint64_t>(packNumber_),
                                                          static_cast<std::uint16_t>(packedCount_)};
        appendInteger(packedIndex_, number);
        packedIndex_ += ' ';
        appendInteger(packedIndex_, static_cast<long long>(packedBody_.size()));
        packedIndex_ += ' ';
    }

    void endPacked() {
        packedBody_ += '\n';
        if (++packedCount_ == kObjectsPerStream) finishObjectStream();
    }

    void finishObjectStream() {
        if (packedCount_ == 0) return;
        std::string header = "<< /Type /ObjStm /N ";
        appendInteger(header, static_cast<long long>(packedCount_));
        header += " /First ";
        appendInteger(header, static_cast<long long>(packedIndex_.size()));
        header += " /Filter /FlateDecode";
        appendStreamObject(packNumber_, header, compressor_.deflate(packedIndex_ + packedBody_));
        packedIndex_.clear();
        packedBody_.clear();
        packedCount_ = 0;
    }

    void writeCrossReferenceStream(int rootNumber, int infoNumber) {
        const std::string id = md5Of(file_);
        const int number = reserveNumber();
        const std::size_t offset = file_.size();
        references_[static_cast<std::size_t>(number)] = {1, offset, 0};

        std::uint64_t largest = 0;
        for (const CrossReference& reference : references_) largest = std::max(largest, reference.where);
        const int width = widthFor(largest);
        std::string rows;
        for (const CrossReference& reference : references_) {
            rows += static_cast<char>(reference.type);
            appendBigEndian(rows, reference.where, width);
            appendBigEndian(rows, reference.index, 2);
        }

        std::string header = "<< /Type /XRef /Size ";
        appendInteger(header, static_cast<long long>(references_.size()));
        header += " /W [ 1 ";
        appendInteger(header, width);
        header += " 2 ] /Root ";
        appendInteger(header, rootNumber);
        header += " 0 R";
        if (infoNumber != 0) {
            header += " /Info ";
            appendInteger(header, infoNumber);
            header += " 0 R";
        }
        header += " /ID [ <";
        for (const char byte : id) appendHex(header, static_cast<unsigned char>(byte));
        header += "> <";
        for (const char byte : id) appendHex(header, static_cast<unsigned char>(byte));
        header += "> ] /Filter /FlateDecode";
        appendStreamObject(number, header, compressor_.deflate(rows));
        file_ += "startxref\n";
        appendInteger(file_, static_cast<long long>(offset));
        file_ += "\n%%EOF\n";
    }

    QPDF& pdf_;
    const DocumentOutline* outline_;
    // The new numbers of the outline's records, 0 until met; by record kind.
    std::array<std::vector<int>, 4> recordNumbers_;
    Compressor compressor_;
    std::string file_;
    std::vector<CrossReference> references_;  // by the new numbers
    std::unordered_map<QPDFObjGen, int, ObjGenHash> numbers_;
    std::deque<Pending> pending_;
    // The object stream being filled.
    int packNumber_ = 0;
    std::size_t packedCount_ = 0;
    std::string packedIndex_;  // pairs of object number and offset
    std::string packedBody_;
};

}  // namespace

std::string writeDocument(QPDF& pdf, const DocumentOutline* outline) { return DocumentWriter(pdf, outline).write(); }

}  // namespace host
