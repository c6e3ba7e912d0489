#include "type0_pdf.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace ortheo::testing {
namespace {

void write(QPDF& pdf, const std::string& path) {
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.write();
}

}  // namespace

std::string writeType0Pdf(const std::string& path, const Type0Font& font) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle type0 = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type0 /BaseFont /Mincho /Encoding /" + font.encoding + " >>"));
    if (font.withDescendant) {
        type0.replaceKey("/DescendantFonts", QPDFObjectHandle::parse(
                                                 "[ << /Type /Font /Subtype /CIDFontType2 /BaseFont /Mincho"
                                                 " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity)"
                                                 " /Supplement 0 >> /FontDescriptor << /Type /FontDescriptor"
                                                 " /FontName /Mincho /Flags 4 /FontBBox [0 0 1000 1000]"
                                                 " /ItalicAngle 0 /Ascent 880 /Descent -120 /CapHeight 700"
                                                 " /StemV 80 >> >> ]"));
    }
    if (font.toUnicode) type0.replaceKey("/ToUnicode", QPDFObjectHandle::newStream(&pdf, *font.toUnicode));

    QPDFObjectHandle page = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] /Resources << /Font << >> >> >>"));
    page.getKey("/Resources").getKey("/Font").replaceKey("/F1", type0);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, "BT /F1 12 Tf 72 720 Td <00410042> Tj ET"));
    QPDFPageDocumentHelper(pdf).addPage(page, false);
    write(pdf, path);
    return path;
}

std::string withToUnicodeEdited(const std::string& input, const std::string& path, const ToUnicodeEdit& edit) {
    QPDF pdf;
    pdf.processFile(input.c_str());
    for (QPDFObjectHandle object : pdf.getAllObjects()) {
        if (!object.isDictionary() || !object.getKey("/Subtype").isNameAndEquals("/Type0")) continue;
        QPDFObjectHandle toUnicode = object.getKey("/ToUnicode");
        if (!toUnicode.isStream()) continue;
        const auto data = toUnicode.getStreamData();
        std::string cmap(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
        const std::size_t rangesBegin = cmap.find("begincodespacerange");
        const std::size_t rangesEnd = cmap.find("endcodespacerange");
        if (rangesBegin == std::string::npos || rangesEnd == std::string::npos || rangesEnd < rangesBegin) continue;
        cmap.insert(rangesEnd + 17, "\n1 beginbfchar\n" + edit.firstEntry + "\nendbfchar");
        if (edit.codeSpace) {
            const std::size_t ranges = rangesBegin + 19;
            cmap.replace(ranges, rangesEnd - ranges, "\n" + *edit.codeSpace + "\n");
        }
        toUnicode.replaceStreamData(cmap, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    }
    write(pdf, path);
    return path;
}

}  // namespace ortheo::testing
