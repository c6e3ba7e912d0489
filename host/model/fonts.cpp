#include "model/fonts.h"

#include <set>

#include <qpdf/QPDFAnnotationObjectHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "host.h"
#include "model/documents.h"
#include "model/font_facts.h"

namespace host {
namespace {

using HolderFonts = Fonts::HolderFonts;

std::map<std::string, QPDFObjectHandle> entriesOf(QPDFObjectHandle resources, const char* category) {
    QPDFObjectHandle entries = resources.getKey(category);
    if (!entries.isDictionary()) return {};
    return entries.getDictAsMap();
}

bool isType3Font(QPDFObjectHandle font) { return font.getKey("/Subtype").isNameAndEquals("/Type3"); }

bool isTilingPattern(QPDFObjectHandle pattern) {
    if (!pattern.isStream()) return false;
    QPDFObjectHandle type = pattern.getDict().getKey("/PatternType");
    return type.isInteger() && type.getIntValue() == 1;
}

// Collects font dictionaries in the order that fonts.h states.
class FontWalk {
public:
    // With a cache, the fonts of a numbered holder (form, pattern, Type3
    // font, appearance) are walked once per document and then taken from it.
    explicit FontWalk(HolderFonts* cache) : cache_(cache) {}

    void resources(QPDFObjectHandle resources) {
        if (!resources.isDictionary() || !firstVisit(resources)) return;
        std::vector<QPDFObjectHandle> holders;
        for (auto& [key, font] : entriesOf(resources, "/Font")) {
            if (!font.isDictionary()) continue;
            fonts_.push_back(font);
            if (isType3Font(font)) holders.push_back(font);
        }
        for (auto& [key, xobject] : entriesOf(resources, "/XObject")) {
            if (xobject.isFormXObject()) holders.push_back(xobject);
        }
        for (auto& [key, pattern] : entriesOf(resources, "/Pattern")) {
            if (isTilingPattern(pattern)) holders.push_back(pattern);
        }
        for (const auto& holder : holders) this->holder(holder);
    }

    // A form, pattern, Type3 font or appearance stream: what its resources hold.
    void holder(QPDFObjectHandle holder) {
        if (cache_ != nullptr && holder.isIndirect()) {
            const auto& cached = cachedFonts(holder);
            fonts_.insert(fonts_.end(), cached.begin(), cached.end());
            return;
        }
        if (!firstVisit(holder)) return;
        QPDFObjectHandle dict = holder.isStream() ? holder.getDict() : holder;
        resources(dict.getKey("/Resources"));
    }

    std::vector<QPDFObjectHandle> take() { return std::move(fonts_); }

private:
    // Cached walks start afresh, so that what one holder gives does not
    // depend on where it was first met.
    const std::vector<QPDFObjectHandle>& cachedFonts(QPDFObjectHandle holder) {
        const QPDFObjGen key = holder.getObjGen();
        if (const auto known = cache_->find(key); known != cache_->end()) return known->second;
        FontWalk fresh(nullptr);
        fresh.holder(holder);
        return cache_->emplace(key, fresh.take()).first->second;
    }

    // Only numbered objects can be met twice: a cycle needs a reference.
    bool firstVisit(QPDFObjectHandle object) {
        return !object.isIndirect() || visited_.insert(object.getObjGen()).second;
    }

    HolderFonts* cache_;
    std::vector<QPDFObjectHandle> fonts_;
    std::set<QPDFObjGen> visited_;
};

std::vector<QPDFObjectHandle> fontDictionariesOf(QPDFObjectHandle page, HolderFonts* cache) {
    FontWalk walk(cache);
    walk.resources(QPDFPageObjectHelper(page).getAttribute("/Resources", false));
    QPDFObjectHandle annotations = page.getKey("/Annots");
    if (annotations.isArray()) {
        for (QPDFObjectHandle annotation : annotations.aitems()) {
            if (!annotation.isDictionary()) continue;
            QPDFObjectHandle appearance = QPDFAnnotationObjectHelper(annotation).getAppearanceStream("/N");
            if (appearance.isStream()) walk.holder(appearance);
        }
    }
    return walk.take();
}

}  // namespace

Fonts::Fonts() = default;
Fonts::~Fonts() = default;

Handle Fonts::handleFor(Handle document, QPDFObjectHandle dict) {
    DocumentFonts& known = documents_[document];
    if (dict.isIndirect()) {
        const QPDFObjGen key = dict.getObjGen();
        if (const auto found = known.indirect.find(key); found != known.indirect.end()) return found->second;
        const Handle handle = fonts_.add({document, dict});
        known.indirect.emplace(key, handle);
        return handle;
    }
    for (const auto& [object, handle] : known.direct) {
        if (object.isSameObjectAs(dict)) return handle;
    }
    const Handle handle = fonts_.add({document, dict});
    known.direct.emplace_back(dict, handle);
    return handle;
}

FontEntry& Fonts::font(Handle font) {
    FontEntry& entry = fonts_.get(font);
    if (Host::current().documents().find(entry.document) == nullptr) {
        raiseBadHandle(HandleKind::Font, font, "font of a closed document");
    }
    return entry;
}

PageFontEntry& Fonts::pageFont(Handle font) {
    PageFontEntry& entry = pageFonts_.get(font);
    if (entry.document != kNoHandle && Host::current().documents().find(entry.document) == nullptr) {
        raiseBadHandle(HandleKind::PageFont, font, "font of a closed document");
    }
    return entry;
}

std::vector<Handle> Fonts::fontsOfPage(Handle document, QPDFObjectHandle page) {
    std::vector<Handle> handles;
    std::set<Handle> seen;
    for (const auto& dict : fontDictionariesOf(page, holderCacheFor(document))) {
        const Handle handle = handleFor(document, dict);
        if (seen.insert(handle).second) handles.push_back(handle);
    }
    return handles;
}

// Walks are kept only for documents opened from a file: the host's own
// operations never change what their pages and forms hold (the report is
// written into a document the host created, which is walked afresh).
Fonts::HolderFonts* Fonts::holderCacheFor(Handle document) {
    const Document* opened = Host::current().documents().find(document);
    if (opened == nullptr || opened->path.empty()) return nullptr;
    return &documents_[document].holders;
}

FT_Library Fonts::freeType() {
    if (!freeType_) freeType_ = std::make_unique<FreeTypeLibrary>();
    return freeType_->get();
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
