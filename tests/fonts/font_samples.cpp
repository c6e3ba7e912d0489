#include "fonts/font_samples.h"

#include <map>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

namespace ortheo::testing {
namespace {

std::string bigEndian16(unsigned value) { return {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)}; }
std::string bigEndian32(std::uint32_t value) { return bigEndian16(value >> 16) + bigEndian16(value & 0xFFFF); }
std::string zeros(std::size_t count) { return std::string(count, '\0'); }

class SampleBuilder {
public:
    SampleBuilder() {
        pdf_.emptyPDF();
        helvetica_ = standardFont("Helvetica");
    }

    QPDFObjectHandle indirect(const std::string& text) {
        return pdf_.makeIndirectObject(QPDFObjectHandle::parse(text));
    }
    QPDFObjectHandle stream(const std::string& data, const std::string& dict) {
        QPDFObjectHandle made = pdf_.makeIndirectObject(QPDFObjectHandle::newStream(&pdf_, data));
        made.replaceDict(QPDFObjectHandle::parse(dict));
        return made;
    }
    QPDFObjectHandle standardFont(const std::string& name) {
        return indirect("<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " /Encoding /WinAnsiEncoding >>");
    }
    // A dictionary << /Font << /key font >> >>.
    QPDFObjectHandle fontResources(const std::string& key, QPDFObjectHandle font) {
        QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /Font << >> >>");
        resources.getKey("/Font").replaceKey(key, font);
        return resources;
    }

    QPDFObjectHandle type3WithInnerFont() {
        QPDFObjectHandle font = indirect(
            "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 0 0] /FontMatrix [0.001 0 0 0.001 0 0]"
            " /CharProcs << >> /Encoding << /Differences [65 /a] >> /FirstChar 65 /LastChar 65 /Widths [0] >>");
        font.getKey("/CharProcs").replaceKey("/a", stream("0 0 0 0 0 0 d1", "<< >>"));
        font.replaceKey("/Resources", fontResources("/FI", standardFont("Times-Italic")));
        return font;
    }

    QPDFObjectHandle type0WithRestrictedProgram() {
        QPDFObjectHandle descriptor = indirect(
            "<< /Type /FontDescriptor /FontName /CIDSample /Flags 4 /FontBBox [0 0 0 0] /ItalicAngle 0"
            " /Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 >>");
        descriptor.replaceKey("/FontFile2", stream(trueTypeProgram(0x0002), "<< >>"));
        QPDFObjectHandle descendant = indirect(
            "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /CIDSample /CIDToGIDMap /Identity"
            " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> >>");
        descendant.replaceKey("/FontDescriptor", descriptor);
        QPDFObjectHandle font = indirect("<< /Type /Font /Subtype /Type0 /BaseFont /CIDSample /Encoding /Identity-H >>");
        font.replaceKey("/DescendantFonts", QPDFObjectHandle::newArray({descendant}));
        return font;
    }

    QPDFObjectHandle formDrawingItself() {
        QPDFObjectHandle form = stream("BT /FF 12 Tf (x) Tj ET /Self Do",
                                       "<< /Type /XObject /Subtype /Form /BBox [0 0 100 100] >>");
        QPDFObjectHandle resources = fontResources("/FF", standardFont("Times-Bold"));
        resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        resources.getKey("/XObject").replaceKey("/Self", form);
        form.getDict().replaceKey("/Resources", resources);
        return form;
    }

    QPDFObjectHandle tilingPattern() {
        QPDFObjectHandle pattern = stream("BT /FP 12 Tf (x) Tj ET",
                                          "<< /Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1"
                                          " /BBox [0 0 10 10] /XStep 10 /YStep 10 >>");
        pattern.getDict().replaceKey("/Resources", fontResources("/FP", standardFont("Courier-Bold")));
        return pattern;
    }

    QPDFObjectHandle annotationWithAppearance() {
        QPDFObjectHandle appearance =
            stream("BT /FA 12 Tf (a) Tj ET", "<< /Type /XObject /Subtype /Form /BBox [0 0 50 20] >>");
        appearance.getDict().replaceKey("/Resources", fontResources("/FA", standardFont("Symbol")));
        QPDFObjectHandle annotation =
            indirect("<< /Type /Annot /Subtype /FreeText /Rect [100 100 150 120] /DA (/FA 12 Tf) /AP << >> >>");
        annotation.getKey("/AP").replaceKey("/N", appearance);
        return annotation;
    }

    QPDFObjectHandle firstPage() {
        QPDFObjectHandle page = indirect("<< /Type /Page /MediaBox [0 0 612 792] /Resources << /Font << >> >> >>");
        QPDFObjectHandle resources = page.getKey("/Resources");
        QPDFObjectHandle fonts = resources.getKey("/Font");
        fonts.replaceKey("/F1", helvetica_);
        fonts.replaceKey("/F2", QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>"));
        fonts.replaceKey("/T3", type3WithInnerFont());
        fonts.replaceKey("/Z0", type0WithRestrictedProgram());
        resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
        resources.getKey("/XObject").replaceKey("/Fm1", formDrawingItself());
        resources.replaceKey("/Pattern", QPDFObjectHandle::newDictionary());
        resources.getKey("/Pattern").replaceKey("/P1", tilingPattern());
        page.replaceKey("/Annots", QPDFObjectHandle::newArray({annotationWithAppearance()}));
        page.replaceKey("/Contents", stream("BT /F1 12 Tf (a) Tj /F2 12 Tf (b) Tj /T3 12 Tf (A) Tj ET /Fm1 Do",
                                            "<< >>"));
        return page;
    }

    // Written straight into the page tree, since qpdf's page helpers would
    // push the inherited resources down into the page.
    void buildPageTree() {
        QPDFObjectHandle pages = pdf_.getRoot().getKey("/Pages");
        QPDFObjectHandle second = indirect("<< /Type /Page /MediaBox [0 0 612 792] >>");
        second.replaceKey("/Contents", stream("BT /F1 12 Tf (x) Tj /TT 12 Tf (y) Tj ET", "<< >>"));
        QPDFObjectHandle first = firstPage();
        first.replaceKey("/Parent", pages);
        second.replaceKey("/Parent", pages);
        pages.replaceKey("/Kids", QPDFObjectHandle::newArray({first, second}));
        pages.replaceKey("/Count", QPDFObjectHandle::newInteger(2));
        QPDFObjectHandle inherited = fontResources("/F1", helvetica_);
        inherited.getKey("/Font").replaceKey(
            "/TT", indirect("<< /Type /Font /Subtype /TrueType /FirstChar 32 /LastChar 32 /Widths [500]"
                            " /Encoding /WinAnsiEncoding >>"));
        pages.replaceKey("/Resources", inherited);
    }

    void write(const std::string& path) {
        QPDFWriter writer(pdf_, path.c_str());
        writer.setStaticID(true);
        writer.write();
    }

private:
    QPDF pdf_;
    QPDFObjectHandle helvetica_;
};

}  // namespace

std::string trueTypeProgram(std::uint16_t fsType) {
    const std::map<std::string, std::string> tables = {
        {"OS/2", bigEndian16(0) + bigEndian16(500) + bigEndian16(400) + bigEndian16(5) + bigEndian16(fsType) + zeros(68)},
        {"head", bigEndian32(0x10000) + bigEndian32(0) + bigEndian32(0) + bigEndian32(0x5F0F3CF5) + bigEndian16(0) +
                     bigEndian16(1000) + zeros(24) + bigEndian16(0) + bigEndian16(8) + bigEndian16(2) +
                     bigEndian16(0) + bigEndian16(0)},
        {"hhea", bigEndian32(0x10000) + bigEndian16(800) + bigEndian16(0xFF38) + bigEndian16(0) + bigEndian16(500) +
                     zeros(22) + bigEndian16(0) + bigEndian16(1)},
        {"hmtx", bigEndian16(500) + bigEndian16(0)},
        {"loca", bigEndian16(0) + bigEndian16(0)},
        {"maxp", bigEndian32(0x10000) + bigEndian16(1) + zeros(26)},
    };
    std::string directory = bigEndian32(0x10000) + bigEndian16(static_cast<unsigned>(tables.size())) + zeros(6);
    std::string body;
    const std::size_t start = 12 + 16 * tables.size();
    for (const auto& [tag, data] : tables) {
        directory += tag + bigEndian32(0) + bigEndian32(static_cast<std::uint32_t>(start + body.size())) +
                     bigEndian32(static_cast<std::uint32_t>(data.size()));
        body += data + zeros((4 - data.size() % 4) % 4);
    }
    return directory + body;
}

FontSamplePdf writeFontSamplePdf(const std::string& path) {
    {
        SampleBuilder builder;
        builder.buildPageTree();
        builder.write(path);
    }
    QPDF written;
    written.processFile(path.c_str());
    QPDFObjectHandle pages = written.getRoot().getKey("/Pages");
    return {path, pages.getKey("/Kids").getArrayItem(0).getKey("/Resources").getKey("/Font").getKey("/T3").getObjectID(),
            pages.getKey("/Resources").getKey("/Font").getKey("/TT").getObjectID()};
}

}  // namespace ortheo::testing
