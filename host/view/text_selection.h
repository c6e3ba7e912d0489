// The pieces of a text selection (PDModel 223): which text-showing
// operators of the selected pages a text selection takes in, and in which
// font each of them draws.
//
// A piece is one text-showing operator (Tj, TJ, ', ") whose starting point
// lies in the selection's rectangle; without a rectangle every one counts.
// The starting point is the origin of text space carried through the text
// matrix and the current transformation matrix into user space. Glyphs are
// not measured, so text an operator draws does not move the point where the
// next operator starts: a run that goes on along a line without positioning
// itself counts at the point where the line's last positioning left it.
// Form XObjects that the content draws (Do) are walked with their /Matrix,
// each form once per page, which also cuts cycles.
//
// The pieces and runs hold qpdf handles into the document; they are meant
// to be turned into host handles at once, not kept.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace host {

// A rectangle in a page's user space, in points, lower-left origin; its
// corners may come in either order.
struct UserRect {
    double x0 = 0;
    double y0 = 0;
    double x1 = 0;
    double y1 = 0;

    bool contains(double x, double y) const;  // the edges belong to it
};

// Pages first to last, 0-based, both included.
struct PageRange {
    int first = 0;
    int last = 0;

    bool operator==(const PageRange&) const = default;
};

// The ranges sorted, with overlapping and adjacent ones joined.
std::vector<PageRange> joinedPageRanges(std::vector<PageRange> ranges);

struct TextPiece {
    QPDFObjectHandle font;  // the font dictionary the operator draws with
    double x = 0;           // starting point in user space
    double y = 0;
};

// One text-showing operator as the walk meets it: the font dictionary it
// draws with, the bytes it shows (a TJ array's strings joined, empty when
// it has no string) and its starting point in user space.
struct ShownText {
    QPDFObjectHandle font;
    std::string_view bytes;  // valid while the visitor runs
    double x = 0;
    double y = 0;
};
using ShownTextVisitor = std::function<void(const ShownText&)>;

// The walk that both the selection and the font listing make: every
// text-showing operator of a page's content, in content order, drawn with
// a font dictionary of the resources in force, into the forms it draws.
// A form whose object is in `formsWalked` is not walked again, and each
// form walked is added to it, which cuts cycles; forms nest at most 32
// deep. Content that qpdf cannot read throws.
void walkPageText(QPDFObjectHandle page, const ShownTextVisitor& visit, std::set<QPDFObjGen>& formsWalked);
// The same walk of one content stream of its own (an appearance, a Type3
// glyph procedure), drawn with `resources`.
void walkStreamText(QPDFObjectHandle stream, QPDFObjectHandle resources, const ShownTextVisitor& visit,
                    std::set<QPDFObjGen>& formsWalked);

// The pieces of one page (0-based), in content order. Text drawn with no
// font set, or with a font name that the resources do not hold, is no
// piece: it has no font to tell of. Content that qpdf cannot read throws
// std::runtime_error naming the page (1-based).
std::vector<TextPiece> findPagePieces(QPDF& pdf, int page, const std::optional<UserRect>& area);

// Numbers objects so that objects that read alike get one number, reading
// each object once however many pages share it. The objects are held, so
// that no number is given to another object at the same address.
class Readings {
public:
    using Read = std::string (QPDFObjectHandle::*)();

    explicit Readings(Read read);
    std::size_t numberOf(QPDFObjectHandle object);

private:
    struct Numbered {
        QPDFObjectHandle object;
        std::size_t number = 0;
    };

    Read read_;
    std::map<const QPDFObject*, Numbered> byObject_;
    std::map<std::string, std::size_t> byReading_;
};

// What decides what a page draws: its content streams, as objects, and its
// resources, as they read, whether they are its own or inherited, direct or
// indirect. Pages with one likeness draw the same text in the same fonts.
class PageLikeness {
public:
    std::pair<std::size_t, std::size_t> of(QPDFObjectHandle page);

private:
    Readings contents_{&QPDFObjectHandle::unparse};  // the streams' references
    Readings resources_{&QPDFObjectHandle::unparseResolved};
};

// Consecutive pieces of a page drawn in one font.
struct FontRun {
    QPDFObjectHandle font;
    std::size_t pieces = 0;
};
using FontRuns = std::vector<FontRun>;

// The fonts of the pieces of the given pages (ascending ranges, no page
// twice), a list of runs for each page in page order. Pages whose content
// streams are the same objects and whose resources read the same give the
// same pieces: they share one list, and their content is walked once, so
// that pages which all draw one shared content stream cost no more than
// their own bytes.
std::vector<std::shared_ptr<const FontRuns>> findSelectionFonts(QPDF& pdf, const std::vector<PageRange>& pages,
                                                                const std::optional<UserRect>& area);

}  // namespace host
