#include "support/sample_pdf.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <zlib.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace ortheo::testing {
namespace {


ToUnicodeSample writeSample(const std::string& path, const std::string& cmap, bool corrupt) {
    QPDF pdf;
    pdf.emptyPDF();
    const std::string packed = corrupt ? deflateThenBreak(cmap) : deflate(cmap);
    QPDFObjectHandle toUnicode = pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, packed));
    toUnicode.getDict().replaceKey("/Filter", QPDFObjectHandle::newName("/FlateDecode"));

    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    font.replaceKey("/ToUnicode", toUnicode);
    QPDFObjectHandle content = QPDFObjectHandle::newStream(&pdf, "BT /F1 12 Tf 72 720 Td (Hello) Tj ET");
    QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Page /MediaBox [0 0 612 792] /Resources << /Font << >> >> >>"));
    page.getKey("/Resources").getKey("/Font").replaceKey("/F1", font);
    page.replaceKey("/Contents", content);
    QPDFPageDocumentHelper(pdf).addPage(page, false);

    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.setStreamDataMode(qpdf_s_preserve);
    writer.setCompressStreams(false);
    writer.write();

    // The writer numbers objects afresh: ask the written file.
    QPDF written;
    written.processFile(path.c_str());
    QPDFObjectHandle writtenPage = written.getAllPages().at(0);
    QPDFObjectHandle writtenFont = writtenPage.getKey("/Resources").getKey("/Font").getKey("/F1");
    return {path, writtenFont.getKey("/ToUnicode").getObjectID(), writtenFont.getObjectID()};
}

}  // namespace

ToUnicodeSample writeToUnicodePdf(const std::string& path, const std::string& cmap) {
    return writeSample(path, cmap, false);
}

ToUnicodeSample writeCorruptToUnicodePdf(const std::string& path, const std::string& cmap) {
    return writeSample(path, cmap, true);
}

std::string deflateThenBreak(const std::string& data) {
    z_stream zip{};
    deflateInit(&zip, Z_DEFAULT_COMPRESSION);
    std::string packed(compressBound(static_cast<uLong>(data.size())) + 16, '\0');
    zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zip.avail_in = static_cast<uInt>(data.size() / 2);
    zip.next_out = reinterpret_cast<Bytef*>(packed.data());
    zip.avail_out = static_cast<uInt>(packed.size());
    ::deflate(&zip, Z_FULL_FLUSH);
    packed.resize(zip.total_out);
    deflateEnd(&zip);
    return packed + "\x07\xFF\xFF\xFF";
}

std::string deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
             static_cast<uLong>(data.size()));
    packed.resize(size);
    return packed;
}

std::string writeFontsPdf(const std::string& path, const std::vector<std::vector<std::string>>& pages) {
    QPDF pdf;
    pdf.emptyPDF();
    std::vector<QPDFObjectHandle> made;
    for (const std::vector<std::string>& fonts : pages) {
        QPDFObjectHandle fontResources = QPDFObjectHandle::newDictionary();
        std::string content;
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            const std::string& text = fonts[i];
            QPDFObjectHandle font = text.rfind('@', 0) == 0
                                        ? made.at(std::stoul(text.substr(1)))
                                        : pdf.makeIndirectObject(QPDFObjectHandle::parse(text));
            if (text.rfind('@', 0) != 0) made.push_back(font);
            const std::string name = "/F" + std::to_string(i + 1);
            fontResources.replaceKey(name, font);
            content += "BT " + name + " 12 Tf 72 " + std::to_string(700 - 20 * static_cast<int>(i)) +
                       " Td (Word) Tj ET\n";
        }
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/Font", fontResources);
        QPDFObjectHandle page = pdf.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
        QPDFPageDocumentHelper(pdf).addPage(page, false);
    }
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.write();
    return path;
}

std::string sampleCMap(std::size_t bytes) {
    std::string text =
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
        "1 begincodespacerange <0000> <FFFF> endcodespacerange\n";
    char entry[64];
    for (unsigned code = 0; text.size() < bytes; code = (code + 1) & 0xFFFF) {
        if (code % 100 == 0) text += "100 beginbfchar\n";
        std::snprintf(entry, sizeof entry, "<%04X> <%04X>\n", code, (code * 7 + 0x20) & 0xFFFF);
        text += entry;
        if (code % 100 == 99) text += "endbfchar\n";
    }
    if (text.compare(text.size() - 10, 10, "endbfchar\n") != 0) text += "endbfchar\n";
    return text + "endcmap CMapName currentdict /CMap defineresource pop end end\n";
}

std::string writeSharedFontsPdf(const std::string& path, int fonts, int pages) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle fontResources = QPDFObjectHandle::newDictionary();
    for (int index = 0; index < fonts; ++index) {
        char name[16];
        std::snprintf(name, sizeof name, "Many%04d", index);
        fontResources.replaceKey("/F" + std::to_string(index),
                                 pdf.makeIndirectObject(QPDFObjectHandle::parse(
                                     std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + name +
                                     " /Encoding /WinAnsiEncoding >>")));
    }
    QPDFObjectHandle resources = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    resources.replaceKey("/Font", fontResources);
    for (int page = 0; page < pages; ++page) {
        QPDFObjectHandle object =
            pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 200 200] >>"));
        object.replaceKey("/Resources", resources);
        pdf.addPage(object, false);
    }
    QPDFWriter writer(pdf, path.c_str());
    writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    return path;
}

std::string writeRawPdf(const std::string& path, const std::vector<std::string>& objects) {
    std::string file = "%PDF-1.4\n";
    std::string table = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t index = 0; index < objects.size(); ++index) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", file.size());
        table += entry;
        file += std::to_string(index + 1) + " 0 obj\n" + objects[index] + "\nendobj\n";
    }
    const std::size_t tableOffset = file.size();
    file += table + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
            std::to_string(tableOffset) + "\n%%EOF\n";
    std::ofstream out(path, std::ios::binary);
    out << file;
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string temporaryPath(const std::string& name) {
    static const std::filesystem::path directory = [] {
        char pattern[] = "/tmp/ortheo-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::filesystem::path(made != nullptr ? made : "/tmp");
    }();
    static const struct Cleanup {
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove_all(directory, ignored);
        }
    } cleanup;
    return (directory / name).string();
}

}  // namespace ortheo::testing
