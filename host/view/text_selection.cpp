#include "view/text_selection.h"

#include <algorithm>
#include <array>
#include <map>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace host {
namespace {

// Forms nested deeper than this are not walked: every form is walked once
// per page anyway, and a limit keeps a hostile chain of distinct forms from
// exhausting the stack.
constexpr int kMaxFormDepth = 32;

// The part of the graphics state that decides where text starts and which
// font it is drawn in; q and Q save and restore it.
struct GraphicsState {
    QPDFMatrix ctm;
    QPDFObjectHandle font = QPDFObjectHandle::newNull();
    double leading = 0;
};

// What the walk of one content stream shares with the forms that it draws.
struct PageWalk {
    const ShownTextVisitor& visit;
    std::set<QPDFObjGen>& formsWalked;
};

QPDFMatrix matrixOf(const std::array<double, 6>& m) { return QPDFMatrix(m[0], m[1], m[2], m[3], m[4], m[5]); }

QPDFObjectHandle entryOf(QPDFObjectHandle dict, const std::string& key) {
    return dict.isDictionary() ? dict.getKey(key) : QPDFObjectHandle::newNull();
}

// Follows the operators of one content stream (a page's or a form's) that
// move the starting point of text or change its font.
class ContentWalker final : public QPDFObjectHandle::ParserCallbacks {
public:
    ContentWalker(PageWalk& walk, QPDFObjectHandle resources, GraphicsState state, int depth)
        : walk_(walk), resources_(std::move(resources)), state_(std::move(state)), depth_(depth) {}

    void handleObject(QPDFObjectHandle object) override {
        if (!object.isOperator()) {
            operands_.push_back(std::move(object));
            return;
        }
        const auto known = operators().find(object.getOperatorValue());
        if (known != operators().end()) (this->*known->second)();
        operands_.clear();
    }
    void handleEOF() override {}

private:
    using Operator = void (ContentWalker::*)();

    static const std::map<std::string, Operator, std::less<>>& operators() {
        static const std::map<std::string, Operator, std::less<>> table = {
            {"q", &ContentWalker::saveState},
            {"Q", &ContentWalker::restoreState},
            {"cm", &ContentWalker::concatenate},
            {"BT", &ContentWalker::beginText},
            {"Tf", &ContentWalker::setFont},
            {"Tm", &ContentWalker::setTextMatrix},
            {"Td", &ContentWalker::moveText},
            {"TD", &ContentWalker::moveTextSettingLeading},
            {"T*", &ContentWalker::nextLine},
            {"TL", &ContentWalker::setLeading},
            {"Tj", &ContentWalker::showText},
            {"TJ", &ContentWalker::showText},
            {"'", &ContentWalker::nextLineShowText},
            {"\"", &ContentWalker::nextLineShowText},
            {"Do", &ContentWalker::drawXObject},
        };
        return table;
    }

    // The last N operands as numbers; none when there are fewer or one is
    // not a number, and the operator is then ignored, as readers do.
    template <std::size_t N>
    std::optional<std::array<double, N>> lastNumbers() {
        if (operands_.size() < N) return std::nullopt;
        std::array<double, N> values{};
        for (std::size_t i = 0; i < N; ++i) {
            if (!operands_[operands_.size() - N + i].getValueAsNumber(values[i])) return std::nullopt;
        }
        return values;
    }

    std::optional<std::string> lastName(std::size_t fromEnd) {
        if (operands_.size() < fromEnd) return std::nullopt;
        QPDFObjectHandle& operand = operands_[operands_.size() - fromEnd];
        if (!operand.isName()) return std::nullopt;
        return operand.getName();
    }

    void saveState() { saved_.push_back(state_); }

    void restoreState() {
        // An unbalanced Q has nothing to restore.
        if (saved_.empty()) return;
        state_ = std::move(saved_.back());
        saved_.pop_back();
    }

    void concatenate() {
        if (const auto m = lastNumbers<6>()) state_.ctm.concat(matrixOf(*m));
    }

    void beginText() {
        textMatrix_ = QPDFMatrix();
        lineMatrix_ = QPDFMatrix();
    }

    void setFont() {
        if (const auto name = lastName(2)) state_.font = entryOf(entryOf(resources_, "/Font"), *name);
    }

    void setTextMatrix() {
        if (const auto m = lastNumbers<6>()) {
            lineMatrix_ = matrixOf(*m);
            textMatrix_ = lineMatrix_;
        }
    }

    void moveText() {
        if (const auto offset = lastNumbers<2>()) moveLine((*offset)[0], (*offset)[1]);
    }

    void moveTextSettingLeading() {
        if (const auto offset = lastNumbers<2>()) {
            state_.leading = -(*offset)[1];
            moveLine((*offset)[0], (*offset)[1]);
        }
    }

    void nextLine() { moveLine(0, -state_.leading); }

    void setLeading() {
        if (const auto leading = lastNumbers<1>()) state_.leading = (*leading)[0];
    }

    void showText() { addPiece(); }

    void nextLineShowText() {
        nextLine();
        addPiece();
    }

    // The bytes the operator shows: its string operand, or the strings of
    // a TJ array one after the other.
    std::string shownBytes() {
        if (operands_.empty()) return {};
        QPDFObjectHandle& last = operands_.back();
        if (last.isString()) return last.getStringValue();
        std::string bytes;
        if (!last.isArray()) return bytes;
        for (QPDFObjectHandle item : last.aitems()) {
            if (item.isString()) bytes += item.getStringValue();
        }
        return bytes;
    }

    void drawXObject() {
        const auto name = lastName(1);
        if (!name) return;
        QPDFObjectHandle form = entryOf(entryOf(resources_, "/XObject"), *name);
        if (!form.isStream() || !form.getDict().getKey("/Subtype").isNameAndEquals("/Form")) return;
        if (depth_ >= kMaxFormDepth || !walk_.formsWalked.insert(form.getObjGen()).second) return;

        QPDFObjectHandle dict = form.getDict();
        GraphicsState inner = state_;
        if (QPDFObjectHandle matrix = dict.getKey("/Matrix"); matrix.isMatrix()) {
            inner.ctm.concat(QPDFMatrix(matrix.getArrayAsMatrix()));
        }
        QPDFObjectHandle own = dict.getKey("/Resources");
        ContentWalker walker(walk_, own.isDictionary() ? own : resources_, std::move(inner), depth_ + 1);
        form.parseAsContents(&walker);
    }

    void moveLine(double tx, double ty) {
        lineMatrix_.concat(QPDFMatrix(1, 0, 0, 1, tx, ty));
        textMatrix_ = lineMatrix_;
    }

    void addPiece() {
        if (!state_.font.isDictionary()) return;
        QPDFMatrix toUserSpace = state_.ctm;
        toUserSpace.concat(textMatrix_);
        double x = 0;
        double y = 0;
        toUserSpace.transform(0, 0, x, y);
        walk_.visit(ShownText{state_.font, shownBytes(), x, y});
    }

    PageWalk& walk_;
    QPDFObjectHandle resources_;
    GraphicsState state_;
    std::vector<GraphicsState> saved_;
    QPDFMatrix textMatrix_;
    QPDFMatrix lineMatrix_;
    std::vector<QPDFObjectHandle> operands_;
    int depth_;
};

FontRuns runsOf(const std::vector<TextPiece>& pieces) {
    FontRuns runs;
    for (const TextPiece& piece : pieces) {
        if (runs.empty() || runs.back().font.getObjectPtr() != piece.font.getObjectPtr()) runs.push_back({piece.font, 0});
        ++runs.back().pieces;
    }
    return runs;
}

// Numbers objects so that objects that read alike get one number, reading
// each object once however many pages share it. The objects are held, so
// that no number is given to another object at the same address.
class Readings {
public:
    using Read = std::string (QPDFObjectHandle::*)();

    explicit Readings(Read read) : read_(read) {}

    std::size_t numberOf(QPDFObjectHandle object) {
        const auto [known, added] = byObject_.try_emplace(object.getObjectPtr());
        if (!added) return known->second.number;
        known->second.object = object;
        const auto reading = byReading_.try_emplace((object.*read_)(), byReading_.size()).first;
        return known->second.number = reading->second;
    }

private:
    struct Numbered {
        QPDFObjectHandle object;
        std::size_t number = 0;
    };

    Read read_;
    std::map<const QPDFObject*, Numbered> byObject_;
    std::map<std::string, std::size_t> byReading_;
};

// What decides the pieces of a page besides the selection's rectangle: its
// content streams, as objects, and its resources, as they read, whether
// they are its own or inherited, direct or indirect.
class PageLikeness {
public:
    std::pair<std::size_t, std::size_t> of(QPDFObjectHandle page) {
        return {contents_.numberOf(page.getKey("/Contents")),
                resources_.numberOf(QPDFPageObjectHelper(page).getAttribute("/Resources", false))};
    }

private:
    Readings contents_{&QPDFObjectHandle::unparse};  // the streams' references
    Readings resources_{&QPDFObjectHandle::unparseResolved};
};

}  // namespace

bool UserRect::contains(double x, double y) const {
    return std::min(x0, x1) <= x && x <= std::max(x0, x1) && std::min(y0, y1) <= y && y <= std::max(y0, y1);
}

std::vector<PageRange> joinedPageRanges(std::vector<PageRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const PageRange& a, const PageRange& b) { return a.first < b.first; });
    std::vector<PageRange> joined;
    for (const PageRange& range : ranges) {
        if (!joined.empty() && range.first <= static_cast<long long>(joined.back().last) + 1) {
            joined.back().last = std::max(joined.back().last, range.last);
        } else {
            joined.push_back(range);
        }
    }
    return joined;
}

void walkPageText(QPDFObjectHandle page, const ShownTextVisitor& visit, std::set<QPDFObjGen>& formsWalked) {
    if (page.getKey("/Contents").isNull()) return;  // a blank page
    QPDFPageObjectHelper helper(page);
    PageWalk walk{visit, formsWalked};
    ContentWalker walker(walk, helper.getAttribute("/Resources", false), GraphicsState{}, 0);
    helper.parseContents(&walker);
}

void walkStreamText(QPDFObjectHandle stream, QPDFObjectHandle resources, const ShownTextVisitor& visit,
                    std::set<QPDFObjGen>& formsWalked) {
    if (!stream.isStream()) return;
    PageWalk walk{visit, formsWalked};
    ContentWalker walker(walk, std::move(resources), GraphicsState{}, 0);
    stream.parseAsContents(&walker);
}

std::vector<TextPiece> findPagePieces(QPDF& pdf, int page, const std::optional<UserRect>& area) {
    std::vector<TextPiece> pieces;
    std::set<QPDFObjGen> formsWalked;
    const ShownTextVisitor keepSelected = [&](const ShownText& shown) {
        if (area && !area->contains(shown.x, shown.y)) return;
        pieces.push_back({shown.font, shown.x, shown.y});
    };
    try {
        walkPageText(pdf.getAllPages().at(static_cast<std::size_t>(page)), keepSelected, formsWalked);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& failure) {
        throw std::runtime_error("Page " + std::to_string(page + 1) + ": its content could not be read (" +
                                 failure.what() + ")");
    }
    return pieces;
}

std::vector<std::shared_ptr<const FontRuns>> findSelectionFonts(QPDF& pdf, const std::vector<PageRange>& pages,
                                                                const std::optional<UserRect>& area) {
    const std::vector<QPDFObjectHandle>& allPages = pdf.getAllPages();
    PageLikeness likeness;
    std::map<std::pair<std::size_t, std::size_t>, std::shared_ptr<const FontRuns>> walked;
    std::vector<std::shared_ptr<const FontRuns>> selection;
    for (const PageRange& range : pages) {
        for (int index = range.first; index <= range.last; ++index) {
            std::shared_ptr<const FontRuns>& runs = walked[likeness.of(allPages.at(static_cast<std::size_t>(index)))];
            if (!runs) runs = std::make_shared<const FontRuns>(runsOf(findPagePieces(pdf, index, area)));
            selection.push_back(runs);
        }
    }
    return selection;
}

}  // namespace host
