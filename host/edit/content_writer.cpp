#include "edit/content_writer.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string_view>

#include <qpdf/QPDFObjectHandle.hh>

namespace host {
namespace {

constexpr std::int64_t kFractionScale = 100000;  // five fraction digits

// Operators that set a colour, by family: fill, then stroke.
struct ColorOperators {
    const char* fill;
    const char* stroke;
};

constexpr ColorOperators colorOperators(ColorFamily family) {
    switch (family) {
        case ColorFamily::Gray: return {"g", "G"};
        case ColorFamily::Rgb: return {"rg", "RG"};
        case ColorFamily::Cmyk: return {"k", "K"};
    }
    return {"g", "G"};
}

class ContentText {
public:
    ContentText& number(Fixed value) {
        separate();
        appendFixed(text_, value);
        return *this;
    }
    ContentText& string(const std::string& bytes) {
        separate();
        appendLiteralString(text_, bytes);
        return *this;
    }
    void reserve(std::size_t size) { text_.reserve(size); }
    ContentText& word(std::string_view text) {
        separate();
        text_ += text;
        return *this;
    }
    ContentText& line(std::string_view op) {
        word(op);
        text_ += '\n';
        return *this;
    }
    ContentText& color(const Color& color, bool stroke) {
        for (std::size_t i = 0; i < componentCount(color.family); ++i) number(color.components[i]);
        const ColorOperators ops = colorOperators(color.family);
        return line(stroke ? ops.stroke : ops.fill);
    }
    std::string take() { return std::move(text_); }

private:
    void separate() {
        if (!text_.empty() && text_.back() != '\n') text_ += ' ';
    }

    std::string text_;
};

bool sameColor(const Color& a, const Color& b) { return a.family == b.family && a.components == b.components; }

// The resource name of each run's font, asked for once per font: a page
// has a few fonts, and a chart's runs take turns between them.
class RunFontNames {
public:
    explicit RunFontNames(const FontNamer& fontName) : fontName_(fontName) {}

    const std::string& operator()(const PageFontEntry& font) {
        for (const Known& known : known_) {
            if (known.document == font.document && known.dict.isSameObjectAs(font.dict)) return known.name;
        }
        known_.push_back({font.document, font.dict, "/" + fontName_(font)});
        return known_.back().name;
    }

private:
    struct Known {
        Handle document;
        QPDFObjectHandle dict;
        std::string name;  // with its slash
    };

    const FontNamer& fontName_;
    std::deque<Known> known_;  // answers stay where they are as more come
};

// A text element is one text object: each run sets its own matrix, and its
// font and fill colour when they differ from the run before.
void writeText(ContentText& out, const TextElement& text, RunFontNames& fontNames) {
    if (text.runs.empty()) return;
    out.line("BT");
    const std::string* currentFont = nullptr;
    const Color* currentColor = nullptr;
    for (const TextRun& run : text.runs) {
        const std::string& font = fontNames(run.font);
        if (currentFont == nullptr || font != *currentFont) {
            out.word(font).word("1").line("Tf");
            currentFont = &font;
        }
        const FixedMatrix& m = run.matrix;
        out.number(m.a).number(m.b).number(m.c).number(m.d).number(m.e).number(m.f).line("Tm");
        if (currentColor == nullptr || !sameColor(*currentColor, run.state.fill)) {
            out.color(run.state.fill, false);
            currentColor = &run.state.fill;
        }
        out.string(run.bytes).line("Tj");
    }
    out.line("ET");
}

const char* segmentOperator(SegmentKind kind) {
    switch (kind) {
        case SegmentKind::MoveTo: return "m";
        case SegmentKind::LineTo: return "l";
        case SegmentKind::CurveTo: return "c";
        case SegmentKind::CurveToV: return "v";
        case SegmentKind::CurveToY: return "y";
        case SegmentKind::Rect: return "re";
        case SegmentKind::Close: return "h";
    }
    return "h";
}

std::size_t segmentValueCount(SegmentKind kind) {
    switch (kind) {
        case SegmentKind::MoveTo:
        case SegmentKind::LineTo: return 2;
        case SegmentKind::CurveTo: return 6;
        case SegmentKind::CurveToV:
        case SegmentKind::CurveToY:
        case SegmentKind::Rect: return 4;
        case SegmentKind::Close: return 0;
    }
    return 0;
}

const char* paintOperator(std::int32_t paintOp) {
    const bool stroke = (paintOp & op::kPaintStroke) != 0;
    if (paintOp & kPaintFill) return stroke ? "B" : "f";
    if (paintOp & kPaintEvenOddFill) return stroke ? "B*" : "f*";
    return "S";
}

// PDF's own defaults are left out, and so are values PDF does not allow:
// a miter limit below 1, a flatness outside 0..100 (0 is the device's own).
void writeLineStyle(ContentText& out, const GraphicState& state) {
    out.number(state.lineWidth).line("w");
    if (state.miterLimit >= kFixedOne && state.miterLimit != 10 * kFixedOne) out.number(state.miterLimit).line("M");
    if (state.flatness > 0 && state.flatness <= 100 * kFixedOne && state.flatness != kFixedOne) out.number(state.flatness).line("i");
}

void writePath(ContentText& out, const PathElement& path) {
    if (path.segments.empty() || path.paintOp == 0) return;  // nothing would show
    const bool stroke = (path.paintOp & op::kPaintStroke) != 0;
    const bool fill = (path.paintOp & (kPaintFill | kPaintEvenOddFill)) != 0;
    out.line("q");
    if (fill) out.color(path.state.fill, false);
    if (stroke) {
        out.color(path.state.stroke, true);
        writeLineStyle(out, path.state);
    }
    for (const PathSegment& segment : path.segments) {
        for (std::size_t i = 0; i < segmentValueCount(segment.kind); ++i) out.number(segment.values[i]);
        out.line(segmentOperator(segment.kind));
    }
    out.line(paintOperator(path.paintOp));
    out.line("Q");
}

struct ElementWriter {
    ContentText& out;
    RunFontNames& fontNames;

    void operator()(const TextElement& text) const { writeText(out, text, fontNames); }
    void operator()(const PathElement& path) const { writePath(out, path); }
};

}  // namespace

void appendFixed(std::string& out, Fixed value) {
    char text[32];
    if (value % kFixedOne == 0) {  // most coordinates are whole numbers
        const char* end = std::to_chars(text, text + sizeof text, value / kFixedOne).ptr;
        out.append(text, static_cast<std::size_t>(end - text));
        return;
    }
    const std::int64_t magnitude = std::llabs(static_cast<std::int64_t>(value));
    const std::int64_t scaled = (magnitude * kFractionScale + kFixedOne / 2) / kFixedOne;
    char* end = text;
    if (value < 0) *end++ = '-';
    end = std::to_chars(end, text + sizeof text, scaled / kFractionScale).ptr;
    std::int64_t fraction = scaled % kFractionScale;
    if (fraction != 0) {
        char digits[5];
        for (int i = 4; i >= 0; --i, fraction /= 10) digits[i] = static_cast<char>('0' + fraction % 10);
        int kept = 5;
        while (digits[kept - 1] == '0') --kept;
        *end++ = '.';
        end = std::copy(digits, digits + kept, end);
    }
    out.append(text, static_cast<std::size_t>(end - text));
}

std::string formatFixed(Fixed value) {
    std::string text;
    appendFixed(text, value);
    return text;
}

void appendLiteralString(std::string& out, const std::string& bytes) {
    out += '(';
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (byte == '(' || byte == ')' || byte == '\\') {
            out += '\\';
            out += byte;
        } else if (code < 0x20 || code >= 0x7F) {
            const char octal[4] = {'\\', static_cast<char>('0' + (code >> 6)), static_cast<char>('0' + ((code >> 3) & 7)),
                                   static_cast<char>('0' + (code & 7))};
            out.append(octal, 4);
        } else {
            out += byte;
        }
    }
    out += ')';
}

namespace {

// Enough room for the operators of the elements, so that the text is not
// copied as it grows: a text run takes about 60 bytes, a path segment 30.
std::size_t expectedSize(const std::vector<Element>& elements) {
    std::size_t size = 0;
    for (const Element& element : elements) {
        if (const auto* text = std::get_if<TextElement>(&element)) {
            size += 8 + 64 * text->runs.size();
        } else {
            size += 64 + 32 * std::get<PathElement>(element).segments.size();
        }
    }
    return size;
}

}  // namespace

std::string writeContent(const std::vector<Element>& elements, const FontNamer& fontName) {
    ContentText out;
    out.reserve(expectedSize(elements));
    RunFontNames fontNames(fontName);
    for (const Element& element : elements) std::visit(ElementWriter{out, fontNames}, element);
    return out.take();
}

}  // namespace host
