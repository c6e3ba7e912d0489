#include "report/font_description.h"

#include <cstring>

#include "plugin/host_call.h"
#include "report/drawing.h"
#include "report/host_objects.h"
#include "report/line_buffer.h"
#include "report/report_state.h"

namespace ortheo {
namespace {

using DescriptionLine = LineBuffer<100>;

template <class Value>
Value readAt(const unsigned char* record, std::size_t offset) {
    Value value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

const char* atomName(host::Atom atom) { return callHost<host::op::StringFromAtom>(atom); }

void writeLine(host::Handle textElement, host::Handle reportFont, const DescriptionLine& line) {
    PageState& page = pageState();
    WriteText(textElement, runMode, line.str(), reportFont, page.leftMargin, page.lineY, page.textWidth,
              page.textHeight);
    page.lineY += page.textHeight + page.lineGap;
}

// Answers whether the font is multi-byte.
bool composeNameLine(DescriptionLine& line, host::Handle font) {
    line.format("Font Name: %s ", collection().currentFontName);
    if (callHost<host::op::FontIsEmbedded>(font) != 0) line.append(" (embedded)");
    const bool multiByte = callHost<host::op::FontIsMultiByte>(font) != 0;
    if (multiByte) line.append(" (multibyte)");
    return multiByte;
}

// Answers whether the font is a Type3 font.
bool composeTypeLine(DescriptionLine& line, host::Handle font) {
    unsigned char attrs[host::kFontAttrsSize] = {};
    callHost<host::op::FontGetAttrs>(font, attrs, static_cast<std::int32_t>(sizeof attrs));
    const auto type = readAt<host::Atom>(attrs, host::kFontAttrsType);
    const auto encoding = readAt<host::Atom>(attrs, host::kFontAttrsEncoding);
    const auto cidType = readAt<host::Atom>(attrs, host::kFontAttrsCidType);
    const auto protection = readAt<std::int32_t>(attrs, host::kFontAttrsProtection);

    const char* typeName = atomName(type);
    line.format("Type: %s ", typeName);
    if (cidType != host::kNullAtom) {
        line.append(" CIDType: ");
        line.append(atomName(cidType));
    }
    line.append(" Encoding: ");
    line.append(encoding == host::kNullAtom ? "Custom" : atomName(encoding));
    if (protection != 0) line.append("protected from embedding");
    return typeName != nullptr && std::strcmp(typeName, "Type3") == 0;
}

}  // namespace

FontKind WriteFontDescription(host::Handle textElement, host::Handle font) {
    const PageObject reportFont(MakeReportFont());
    DescriptionLine line;
    FontKind kind;
    kind.multiByte = composeNameLine(line, font);
    writeLine(textElement, reportFont.get(), line);

    try {
        kind.type3 = composeTypeLine(line, font);
        writeLine(textElement, reportFont.get(), line);
    } catch (...) {
        // What the host cannot tell about the font is left out.
    }
    return kind;
}

}  // namespace ortheo
