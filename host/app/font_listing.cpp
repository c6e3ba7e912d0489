#include "app/font_listing.h"

#include <deque>
#include <map>
#include <optional>
#include <new>
#include <set>
#include <stdexcept>
#include <unordered_map>


#include "core/error_output.h"
#include "core/warnings.h"
#include "model/fonts.h"

namespace host {
namespace {

// The distinct codes of one font: a bitset for codes of up to two bytes,
// grown to the highest code met (at most 8 KB), and a set for longer ones,
// each of which its own bytes in the content pay for.
class CodeSet {
public:
    // Answers whether the code is new.
    bool insert(std::uint32_t code) {
        if (code > 0xFFFF) return long_.insert(code).second;
        const std::size_t word = code / 64;
        if (word >= bits_.size()) bits_.resize(word + 1, 0);
        const std::uint64_t bit = std::uint64_t{1} << (code % 64);
        if ((bits_[word] & bit) != 0) return false;
        bits_[word] |= bit;
        return true;
    }

private:
    std::vector<std::uint64_t> bits_;
    std::set<std::uint32_t> long_;
};

// What the walk keeps for each font it met, beside its row.
struct FontCodes {
    CodeReader reader;
    UnicodeOracle oracle;
    CodeSet seen;
};

bool hasSubsetTag(const std::string& name) {
    return name.size() > 7 && name[6] == '+' &&
           name.substr(0, 6).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
}

std::string objectOf(QPDFObjectHandle font) {
    if (!font.isIndirect()) return "";
    return std::to_string(font.getObjectID()) + " " + std::to_string(font.getGeneration()) + " R";
}

void addPage(std::vector<PageRange>& pages, int page) {
    if (!pages.empty() && pages.back().last >= page) return;
    if (!pages.empty() && pages.back().last + 1 == page) {
        pages.back().last = page;
    } else {
        pages.push_back({page, page});
    }
}

// The streams of an annotation's normal appearance: the stream itself, or
// those of its state dictionary.
std::vector<QPDFObjectHandle> normalAppearances(QPDFObjectHandle annotation) {
    if (!annotation.isDictionary()) return {};
    QPDFObjectHandle normal = annotation.getKey("/AP").getKeyIfDict("/N");
    if (normal.isStream()) return {normal};
    std::vector<QPDFObjectHandle> streams;
    if (!normal.isDictionary()) return streams;
    for (auto& [state, stream] : normal.ditems()) {
        if (stream.isStream()) streams.push_back(stream);
    }
    return streams;
}

QPDFObjectHandle ownResources(QPDFObjectHandle holder) {
    QPDFObjectHandle dict = holder.isStream() ? holder.getDict() : holder;
    return dict.getKeyIfDict("/Resources");
}

class ListingWalk {
public:
    ListingWalk(Fonts& fonts, Handle document, bool walkCodes) : fonts_(fonts), document_(document), walkCodes_(walkCodes) {}

    void page(QPDFObjectHandle page, int index) {
        page_ = index;
        for (const Handle font : fonts_.fontsOfPage(document_, page)) addPage(row(font, fonts_.font(font).dict).pages, index);
        if (!walkCodes_ || !walked_.insert(likeness_.of(page)).second) return;
        try {
            walkPageText(page, visit_, formsWalked_);
            QPDFObjectHandle annotations = page.getKey("/Annots");
            if (!annotations.isArray()) annotations = QPDFObjectHandle::newArray();
            for (QPDFObjectHandle annotation : annotations.aitems()) {
                for (QPDFObjectHandle appearance : normalAppearances(annotation)) {
                    walkStreamText(appearance, ownResources(appearance), visit_, formsWalked_);
                }
            }
            walkType3Glyphs();
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& failure) {
            warnOnce("page " + std::to_string(index + 1) + ": its content could not be read (" + failure.what() +
                     "); the codes it draws are left out");
        }
    }

    FontListing finish() {
        FontListing listing{std::move(rows_), walkCodes_};
        return listing;
    }

private:
    // A ToUnicode map is read once, however many fonts share it: its notes
    // are told under the first of them.
    std::shared_ptr<const ToUnicodeSummary> toUnicodeOf(QPDFObjectHandle dict) {
        QPDFObjectHandle stream = dict.getKey("/ToUnicode");
        if (stream.isIndirect()) {
            if (const auto known = toUnicodeMaps_.find(stream.getObjGen()); known != toUnicodeMaps_.end()) {
                return known->second;
            }
        }
        setPluginTextSubject("ortheo: notes on the ToUnicode map of " + fontNameAndObject(dict) + ":");
        std::shared_ptr<const ToUnicodeSummary> summary = readToUnicode(dict);
        if (stream.isIndirect()) toUnicodeMaps_.emplace(stream.getObjGen(), summary);
        return summary;
    }

    FontRow& row(Handle font, QPDFObjectHandle dict) {
        const auto [known, added] = rowOf_.try_emplace(font, rows_.size());
        if (!added) return rows_[known->second];
        FontRow made;
        made.dict = dict;
        made.object = objectOf(dict);
        const ProgramFacts program = fonts_.programFacts(document_, dict);
        made.attributes = fontAttributes(dict, program);
        made.subset = hasSubsetTag(made.attributes.name);
        made.embedded = isEmbedded(dict);
        made.toUnicode = toUnicodeOf(dict);
        if (walkCodes_) {
            setPluginTextSubject("ortheo: notes on the encoding CMap of " + fontNameAndObject(dict) + ":");
            codes_.push_back(std::make_unique<FontCodes>(FontCodes{CodeReader(dict), UnicodeOracle(dict, program, made.toUnicode), {}}));
            made.codes.unknown = codes_.back()->oracle.unknown();
        }
        setPluginTextSubject("");
        rows_.push_back(std::move(made));
        return rows_.back();
    }

    // The row of the font a text is shown in, none for no usable font; a
    // run of texts in one font, as most are, looks it up once.
    std::optional<std::size_t> rowShownIn(QPDFObjectHandle dict) {
        if (lastFont_.isInitialized() && lastFont_.getObjectPtr() == dict.getObjectPtr()) return lastRow_;
        lastFont_ = dict;
        lastRow_ = std::nullopt;
        if (!isUsableFont(dict)) return lastRow_;
        const Handle font = fonts_.handleFor(document_, dict);
        row(font, dict);
        if (dict.getKey("/Subtype").isNameAndEquals("/Type3") && type3Met_.insert(font).second) {
            type3Pending_.push_back(dict);
        }
        return lastRow_ = rowOf_.at(font);
    }

    void shown(const ShownText& text) {
        const std::optional<std::size_t> index = rowShownIn(text.font);
        if (!index) return;
        FontRow& drawn = rows_[*index];
        addPage(drawn.pages, page_);
        FontCodes& codes = *codes_[*index];
        for (const DrawnCode& code : codes.reader.split(text.bytes)) {
            if (!codes.seen.insert(code.value)) continue;
            ++drawn.codes.distinct;
            if (codes.oracle.of(code.value) != UnicodeAnswer::no) continue;
            ++drawn.codes.withoutUnicode;
            if (drawn.codes.examples.size() < kCodeExamples) drawn.codes.examples.push_back({code, page_});
        }
    }

    // The glyph procedures of the Type3 fonts drawn so far, each font once;
    // fonts they draw in turn are queued, so no chain of them recurses.
    void walkType3Glyphs() {
        while (!type3Pending_.empty()) {
            QPDFObjectHandle font = type3Pending_.front();
            type3Pending_.pop_front();
            QPDFObjectHandle procedures = font.getKey("/CharProcs");
            if (!procedures.isDictionary()) continue;
            for (auto& [glyph, procedure] : procedures.ditems()) {
                walkStreamText(procedure, ownResources(font), visit_, formsWalked_);
            }
        }
    }

    Fonts& fonts_;
    Handle document_;
    bool walkCodes_;
    int page_ = 0;
    std::vector<FontRow> rows_;
    std::vector<std::unique_ptr<FontCodes>> codes_;  // by row, when codes are walked
    std::unordered_map<Handle, std::size_t> rowOf_;
    std::map<QPDFObjGen, std::shared_ptr<const ToUnicodeSummary>> toUnicodeMaps_;
    PageLikeness likeness_;
    std::set<std::pair<std::size_t, std::size_t>> walked_;  // pages that draw alike are walked once
    std::set<QPDFObjGen> formsWalked_;
    std::set<Handle> type3Met_;
    std::deque<QPDFObjectHandle> type3Pending_;
    QPDFObjectHandle lastFont_;
    std::optional<std::size_t> lastRow_;
    const ShownTextVisitor visit_ = [this](const ShownText& text) { shown(text); };
};

}  // namespace

FontListing listFonts(Fonts& fonts, Handle document, QPDF& pdf, const std::vector<PageRange>& pages, bool walkCodes) {
    const std::vector<QPDFObjectHandle>& allPages = pdf.getAllPages();
    ListingWalk walk(fonts, document, walkCodes);
    for (const PageRange& range : pages) {
        for (int index = range.first; index <= range.last; ++index) {
            walk.page(allPages.at(static_cast<std::size_t>(index)), index);
        }
    }
    return walk.finish();
}

std::string compactPages(const std::vector<PageRange>& pages) {
    std::string text;
    for (const PageRange& range : pages) {
        if (!text.empty()) text += ',';
        text += std::to_string(range.first + 1);
        if (range.last > range.first) text += "-" + std::to_string(range.last + 1);
    }
    return text;
}

}  // namespace host
