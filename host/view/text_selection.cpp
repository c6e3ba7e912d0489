#include "view/text_selection.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
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

// An operand as the walk needs it: a number, a name (with its slash), a
// string's bytes, or the strings of an array one after the other (a TJ's);
// anything else only holds its place.
struct Operand {
    enum class Kind { number, name, string, array, other };
    Kind kind = Kind::other;
    double number = 0;
    std::string text;
};

std::optional<double> numberOf(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failed != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Follows the operators of one content stream (a page's or a form's) that
// move the starting point of text or change its font. It reads qpdf's
// tokens rather than parsed objects: a listing walks every operator of a
// document, and an object made for each operand costs most of the walk.
class ContentWalker final : public QPDFObjectHandle::TokenFilter {
public:
    ContentWalker(PageWalk& walk, QPDFObjectHandle resources, GraphicsState state, int depth)
        : walk_(walk), resources_(std::move(resources)), state_(std::move(state)), depth_(depth) {}

    void handleToken(const QPDFTokenizer::Token& token) override {
        using Type = QPDFTokenizer::token_type_e;
        const Type type = token.getType();
        if (type == Type::tt_array_open || type == Type::tt_dict_open) return open(type == Type::tt_array_open);
        if (type == Type::tt_array_close || type == Type::tt_dict_close) return close();
        if (nesting_ > 0) return addToContainer(token);
        switch (type) {
            case Type::tt_integer:
            case Type::tt_real:
                if (const auto number = numberOf(token.getValue())) {
                    operands_.push_back({Operand::Kind::number, *number, {}});
                } else {
                    operands_.push_back({});
                }
                return;
            case Type::tt_name: return operands_.push_back({Operand::Kind::name, 0, token.getValue()});
            case Type::tt_string: return operands_.push_back({Operand::Kind::string, 0, token.getValue()});
            case Type::tt_bool:
            case Type::tt_null:
            case Type::tt_inline_image: return operands_.push_back({});
            case Type::tt_word: return perform(token.getValue());
            default: return;  // white space, comments, and what cannot be read
        }
    }

private:
    using Operator = void (ContentWalker::*)();

    void perform(const std::string& op) {
        const auto known = operators().find(op);
        if (known != operators().end()) (this->*known->second)();
        operands_.clear();
    }

    // Arrays and dictionaries nest; only the strings of an outermost array
    // are kept, for TJ.
    void open(bool array) {
        if (nesting_++ == 0) container_ = {array ? Operand::Kind::array : Operand::Kind::other, 0, {}};
    }

    void close() {
        if (nesting_ == 0) return;  // unbalanced: nothing to close
        if (--nesting_ == 0) operands_.push_back(std::move(container_));
    }

    void addToContainer(const QPDFTokenizer::Token& token) {
        if (nesting_ == 1 && container_.kind == Operand::Kind::array &&
            token.getType() == QPDFTokenizer::token_type_e::tt_string) {
            container_.text += token.getValue();
        }
    }

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
            const Operand& operand = operands_[operands_.size() - N + i];
            if (operand.kind != Operand::Kind::number) return std::nullopt;
            values[i] = operand.number;
        }
        return values;
    }

    std::optional<std::string> lastName(std::size_t fromEnd) {
        if (operands_.size() < fromEnd) return std::nullopt;
        const Operand& operand = operands_[operands_.size() - fromEnd];
        if (operand.kind != Operand::Kind::name) return std::nullopt;
        return operand.text;
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
    std::string_view shownBytes() const {
        if (operands_.empty()) return {};
        const Operand& last = operands_.back();
        const bool shown = last.kind == Operand::Kind::string || last.kind == Operand::Kind::array;
        return shown ? std::string_view(last.text) : std::string_view();
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
        form.filterAsContents(&walker);
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
    std::vector<Operand> operands_;
    Operand container_;  // the array or dictionary being read
    int nesting_ = 0;
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

}  // namespace

Readings::Readings(Read read) : read_(read) {}

std::size_t Readings::numberOf(QPDFObjectHandle object) {
    const auto [known, added] = byObject_.try_emplace(object.getObjectPtr());
    if (!added) return known->second.number;
    known->second.object = object;
    const auto reading = byReading_.try_emplace((object.*read_)(), byReading_.size()).first;
    return known->second.number = reading->second;
}

std::pair<std::size_t, std::size_t> PageLikeness::of(QPDFObjectHandle page) {
    return {contents_.numberOf(page.getKey("/Contents")),
            resources_.numberOf(QPDFPageObjectHelper(page).getAttribute("/Resources", false))};
}

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
    helper.filterContents(&walker);
}

void walkStreamText(QPDFObjectHandle stream, QPDFObjectHandle resources, const ShownTextVisitor& visit,
                    std::set<QPDFObjGen>& formsWalked) {
    if (!stream.isStream()) return;
    PageWalk walk{visit, formsWalked};
    ContentWalker walker(walk, std::move(resources), GraphicsState{}, 0);
    stream.filterAsContents(&walker);
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
