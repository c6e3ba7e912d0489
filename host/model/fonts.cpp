#include "model/fonts.h"

#include <algorithm>
#include <optional>
#include <set>
#include <unordered_set>

#include <qpdf/QPDFAnnotationObjectHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "core/error_output.h"
#include "core/warnings.h"
#include "model/documents.h"
#include "model/font_facts.h"
#include "model/object_ids.h"
#include "model/page_tree.h"

namespace host {
namespace {

using FontList = Fonts::FontList;

std::map<std::string, QPDFObjectHandle> entriesOf(QPDFObjectHandle resources, const char* category) {
    QPDFObjectHandle entries = resources.getKey(category);
    if (!entries.isDictionary()) return {};
    return entries.getDictAsMap();
}

bool isTilingPattern(QPDFObjectHandle pattern) {
    if (!pattern.isStream()) return false;
    QPDFObjectHandle type = pattern.getDict().getKey("/PatternType");
    return type.isInteger() && type.getIntValue() == 1;
}

std::string describeObject(QPDFObjectHandle object) {
    if (!object.isIndirect()) return "direct";
    return std::to_string(object.getObjectID()) + " " + std::to_string(object.getGeneration()) + " R";
}

bool isType3Font(QPDFObjectHandle font) { return font.getKey("/Subtype").isNameAndEquals("/Type3"); }

// One line, in one write, for an entry of /Font that is no font: the report
// goes on without it. Answers what the walk then knows of the entry: nothing.
Fonts::KnownFont warnNotAFont(const std::string& key, QPDFObjectHandle entry) {
    writeHostLines("ortheo: warning: skipped " + QPDFObjectHandle::newName(key).unparse() + " (" +
                   describeObject(entry) + ") under /Font: not a font dictionary\n");
    return {};
}

// Appends what `more` has that `into` lacks, keeping the order of both.
void appendNew(FontList& into, const FontList& more, std::unordered_set<Handle>& seen) {
    for (const Handle font : more) {
        if (seen.insert(font).second) into.push_back(font);
    }
}

// A page's resources, its own or inherited through /Parent, and the object
// that keys them for reuse: the dictionary itself when it is numbered, else
// the /Pages node it is inherited from (a page's own inline dictionary is
// no use to any other page, and has no key).
struct PageResources {
    QPDFObjectHandle dict = QPDFObjectHandle::newNull();
    std::optional<QPDFObjGen> key;
};

// The climb is bounded by the depth of a page tree, which also ends it in a
// loop of /Parent links.
PageResources resourcesOfPage(QPDFObjectHandle page) {
    QPDFObjectHandle node = page;
    for (std::size_t level = 0; level <= kDeepestPageTree && node.isDictionary();
         ++level, node = node.getKey("/Parent")) {
        QPDFObjectHandle resources = node.getKey("/Resources");
        if (!resources.isDictionary()) continue;
        if (resources.isIndirect()) return {resources, resources.getObjGen()};
        if (node.isIndirect() && !node.isSameObjectAs(page)) return {resources, node.getObjGen()};
        return {resources, std::nullopt};
    }
    return {};
}

}  // namespace

// Collects the fonts in the order that fonts.h states. What a numbered
// resources dictionary or holder gives is worked out once and kept in the
// memo, so a page that shares it costs a lookup. A cycle is cut where it
// closes; what was worked out while a cycle was open above it depends on
// where the walk came in, and is not kept.
class Fonts::FontWalk {
public:
    FontWalk(Fonts& fonts, Handle document, Memo& memo) : fonts_(fonts), document_(document), memo_(memo) {}

    FontList page(QPDFObjectHandle page) {
        const PageResources resources = resourcesOfPage(page);
        FontList fonts = resources.key ? kept(*resources.key, [&] { return resourcesFonts(resources.dict); })
                                       : resourcesFonts(resources.dict);
        QPDFObjectHandle annotations = page.getKey("/Annots");
        if (!annotations.isArray()) return fonts;
        // Pages that share one /Annots array cost a lookup, as for resources:
        // walking it for each page would cost pages times annotations.
        const FontList shown = annotations.isIndirect()
                                   ? kept(annotations.getObjGen(), [&] { return appearanceFonts(annotations); })
                                   : appearanceFonts(annotations);
        std::unordered_set<Handle> seen(fonts.begin(), fonts.end());
        appendNew(fonts, shown, seen);
        return fonts;
    }

private:
    // What the normal appearances of an /Annots array hold, in its order.
    FontList appearanceFonts(QPDFObjectHandle annotations) {
        FontList fonts;
        std::unordered_set<Handle> seen;
        for (QPDFObjectHandle annotation : annotations.aitems()) {
            if (!annotation.isDictionary()) continue;
            QPDFObjectHandle appearance = QPDFAnnotationObjectHelper(annotation).getAppearanceStream("/N");
            if (appearance.isStream()) appendNew(fonts, holderFonts(appearance), seen);
        }
        return fonts;
    }

    static constexpr std::size_t kNoCut = SIZE_MAX;
    // No real document nests forms, patterns and Type3 fonts more than a few
    // levels; deeper ones are left out, so that a hostile chain of them
    // cannot exhaust the stack of this recursive walk.
    static constexpr std::size_t kDeepestNesting = 256;

    // What a form, pattern, Type3 font or appearance stream holds.
    FontList holderFonts(QPDFObjectHandle holder) {
        const auto walk = [&] {
            QPDFObjectHandle dict = holder.isStream() ? holder.getDict() : holder;
            return resourcesFonts(dict.getKey("/Resources"));
        };
        return holder.isIndirect() ? kept(holder.getObjGen(), walk) : walk();
    }

    // A resources dictionary: its /Font entries in name order, then depth
    // first what its Type3 fonts, forms and tiling patterns hold.
    FontList resourcesFonts(QPDFObjectHandle resources) {
        if (!resources.isDictionary()) return {};
        FontList fonts;
        std::unordered_set<Handle> seen;
        std::vector<QPDFObjectHandle> holders;
        for (auto& [key, font] : entriesOf(resources, "/Font")) {
            const KnownFont known = fonts_.fontUnder(document_, key, font);
            if (known.handle == kNoHandle) continue;
            if (seen.insert(known.handle).second) fonts.push_back(known.handle);
            if (known.type3) holders.push_back(font);
        }
        for (auto& [key, xobject] : entriesOf(resources, "/XObject")) {
            if (xobject.isFormXObject()) holders.push_back(xobject);
        }
        for (auto& [key, pattern] : entriesOf(resources, "/Pattern")) {
            if (isTilingPattern(pattern)) holders.push_back(pattern);
        }
        for (const QPDFObjectHandle& holder : holders) appendNew(fonts, holderFonts(holder), seen);
        return fonts;
    }

    // The memo's list for `key`, worked out by `walk` when it has none.
    template <class Walk>
    FontList kept(QPDFObjGen key, Walk walk) {
        if (const auto known = memo_.find(key); known != memo_.end()) return known->second;
        if (const auto open = entered_.find(key); open != entered_.end()) {
            lowestCut_ = std::min(lowestCut_, open->second);
            return {};
        }
        // Met again under the same outermost walk, which has its fonts
        // already; walking it again could take exponential time in a file
        // whose forms draw each other twice over.
        if (unkept_.count(key) != 0) {
            lowestCut_ = 0;
            return {};
        }
        const std::size_t depth = entered_.size();
        if (depth == kDeepestNesting) {
            warnOnce("left out what " + std::to_string(key.getObj()) + " " + std::to_string(key.getGen()) +
                     " R holds: forms, patterns and Type3 fonts nested more than " +
                     std::to_string(kDeepestNesting) + " deep");
            lowestCut_ = 0;  // what the open walks hold depends on how deep they began
            return {};
        }
        entered_.emplace(key, depth);
        FontList fonts = walk();
        entered_.erase(key);
        if (lowestCut_ >= depth) {
            memo_.emplace(key, fonts);
            if (lowestCut_ == depth) lowestCut_ = kNoCut;
        } else {
            unkept_.insert(key);
        }
        if (entered_.empty()) unkept_.clear();
        return fonts;
    }

    Fonts& fonts_;
    Handle document_;
    Memo& memo_;
    std::map<QPDFObjGen, std::size_t> entered_;  // the walks open, by depth
    std::size_t lowestCut_ = kNoCut;  // the shallowest open walk a cycle was cut at
    std::set<QPDFObjGen> unkept_;  // walked under the outermost open walk, but not kept
};

Fonts::Fonts(Documents& documents) : opened_(documents) {}
Fonts::~Fonts() = default;

Handle Fonts::handleFor(Handle document, QPDFObjectHandle dict) {
    DocumentFonts& known = documents_[document];
    if (dict.isIndirect()) {
        KnownFont& font = known.indirect[dict.getObjGen()];
        if (font.handle == kNoHandle) font = {fonts_.add({document, dict}), isType3Font(dict)};
        return font.handle;
    }
    if (const auto met = known.direct.find(dict.getObjectPtr()); met != known.direct.end()) return met->second.second;
    const Handle handle = fonts_.add({document, dict});
    known.direct.try_emplace(dict.getObjectPtr(), dict, handle);
    return handle;
}

Fonts::KnownFont Fonts::fontUnder(Handle document, const std::string& key, QPDFObjectHandle entry) {
    if (!entry.isIndirect()) {
        if (!isUsableFont(entry)) return warnNotAFont(key, entry);
        return {handleFor(document, entry), isType3Font(entry)};
    }
    const auto [met, added] = documents_[document].indirect.try_emplace(entry.getObjGen());
    if (!added) return met->second;  // a font, or no usable one, warned about already
    if (!isUsableFont(entry)) return warnNotAFont(key, entry);
    met->second = {fonts_.add({document, entry}), isType3Font(entry)};
    return met->second;
}

FontEntry& Fonts::font(Handle font) {
    FontEntry& entry = fonts_.get(font);
    if (!opened_.isOpen(entry.document)) {
        raiseBadHandle(HandleKind::Font, font, "font of a closed document");
    }
    return entry;
}

PageFontEntry& Fonts::pageFont(Handle font) {
    PageFontEntry& entry = pageFonts_.get(font);
    if (entry.document != kNoHandle && !opened_.isOpen(entry.document)) {
        raiseBadHandle(HandleKind::PageFont, font, "font of a closed document");
    }
    return entry;
}

std::vector<Handle> Fonts::fontsOfPage(Handle document, QPDFObjectHandle page) {
    const Document* opened = opened_.find(document);
    if (opened == nullptr || opened->path.empty()) {
        Memo walkOnly;
        return FontWalk(*this, document, walkOnly).page(page);
    }
    return FontWalk(*this, document, documents_[document].walked).page(page);
}

FT_Library Fonts::freeType() {
    if (!freeType_) freeType_ = std::make_unique<FreeTypeLibrary>();
    return freeType_->get();
}

ProgramFacts Fonts::programFacts(Handle document, QPDFObjectHandle font) {
    const auto program = embeddedProgram(font);
    if (!program) return {};
    auto& read = documents_[document].programs;
    const QPDFObjGen key = program->getObjGen();
    if (const auto met = read.find(key); met != read.end()) return met->second;
    return read.emplace(key, readProgramFacts(font, freeType())).first->second;
}

void Fonts::forgetDocument(Handle document) {
    std::vector<Handle> stale;
    fonts_.forEach([&](Handle handle, const FontEntry& entry) {
        if (entry.document == document) stale.push_back(handle);
    });
    for (const Handle handle : stale) fonts_.remove(handle);
    documents_.erase(document);
}

}  // namespace host
