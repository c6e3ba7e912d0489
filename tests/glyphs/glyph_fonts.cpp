#include "glyphs/glyph_fonts.h"

#include <qpdf/QPDF.hh>

#include "model/documents.h"
#include "model/fonts.h"
#include "plugin/host_call.h"

namespace ortheo::testing {

GlyphFonts::GlyphFonts() = default;

host::Handle GlyphFonts::fixtureFont(const std::string& fixture, int objectNumber) {
    host::Documents& documents = host().documents();
    const host::Handle document = documents.open(fixturePath(fixture));
    QPDFObjectHandle dict = documents.get(document).pdf->getObjectByID(objectNumber, 0);
    return host().fonts().handleFor(document, dict);
}

host::Handle GlyphFonts::madeDocument() {
    if (madeDocument_ == host::kNoHandle) madeDocument_ = host().documents().create();
    return madeDocument_;
}

host::Handle GlyphFonts::madeFont(const std::string& dict) {
    QPDF& pdf = *host().documents().get(madeDocument()).pdf;
    return host().fonts().handleFor(madeDocument(), pdf.makeIndirectObject(QPDFObjectHandle::parse(dict)));
}

host::Handle GlyphFonts::madeFont(const std::string& dict, int flags, const std::string& programKey,
                                  const std::string& program) {
    QPDF& pdf = *host().documents().get(madeDocument()).pdf;
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(dict));
    QPDFObjectHandle descriptor = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /FontDescriptor /FontName /Sample /Flags " + std::to_string(flags) + " >>"));
    descriptor.replaceKey(programKey, pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, program)));
    font.replaceKey("/FontDescriptor", descriptor);
    return host().fonts().handleFor(madeDocument(), font);
}

std::optional<std::vector<std::string>> glyphNamesOf(host::Handle font) {
    const char* const* table = callHost<host::op::FontGlyphNames>(font);
    if (table == nullptr) return std::nullopt;
    std::vector<std::string> names;
    for (int code = 0; code < 256; ++code) names.emplace_back(table[code] == nullptr ? "" : table[code]);
    callHost<host::op::FontFreeGlyphNames>(table);
    return names;
}

std::string translatedCodes(host::Handle font) {
    std::string codes(256, '\0'), output(256, ' ');
    for (int code = 0; code < 256; ++code) codes[code] = static_cast<char>(code);
    const auto written = callHost<host::op::FontTranslate>(font, reinterpret_cast<const std::uint8_t*>(codes.data()), 256,
                                                           reinterpret_cast<std::uint8_t*>(output.data()), 256);
    if (written != 256) output.resize(0);
    return output;
}

std::string fixturePath(const std::string& fixture) { return std::string(ORTHEO_FIXTURES) + "/" + fixture; }

}  // namespace ortheo::testing
