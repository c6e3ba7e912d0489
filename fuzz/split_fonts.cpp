// Writes each distinct font of a document into a one-page PDF of its own, as
// seeds for the report fuzzer: a seed with one font costs the pipeline one
// description page, a tenth of a whole fixture, so the fuzzer runs that much
// more often over the same kinds of font.
//
//   split_fonts INPUT.pdf PREFIX      writes PREFIX-1.pdf, PREFIX-2.pdf, ...
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <iostream>
#include <set>
#include <string>

namespace {

// A page that shows a few codes in the font, so that the seed also works
// for runs that only look at fonts which draw text.
QPDFObjectHandle pageWithFont(QPDF& document, QPDFObjectHandle font) {
    QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
    fonts.replaceKey("/F1", font);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/Font", fonts);
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", QPDFObjectHandle::parse("[0 0 200 100]"));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents",
                    QPDFObjectHandle::newStream(&document, "BT /F1 12 Tf 10 50 Td <0041004200430044> Tj ET\n"));
    return document.makeIndirectObject(page);
}

void writeSeed(QPDFObjectHandle font, const std::string& path) {
    QPDF seed;
    seed.emptyPDF();
    QPDFPageDocumentHelper(seed).addPage(pageWithFont(seed, seed.copyForeignObject(font)), false);
    QPDFWriter writer(seed, path.c_str());
    writer.setStaticID(true);
    writer.write();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: split_fonts INPUT.pdf PREFIX\n";
        return 2;
    }
    try {
        QPDF input;
        input.processFile(argv[1]);
        std::set<QPDFObjGen> written;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(input).getAllPages()) {
            QPDFObjectHandle fonts = page.getAttribute("/Resources", false).getKey("/Font");
            if (!fonts.isDictionary()) continue;
            for (auto [name, font] : fonts.ditems()) {
                if (!font.isDictionary() || !font.isIndirect() || !written.insert(font.getObjGen()).second) continue;
                writeSeed(font, std::string(argv[2]) + "-" + std::to_string(written.size()) + ".pdf");
            }
        }
    } catch (const std::exception& failure) {
        std::cerr << "split_fonts: " << failure.what() << "\n";
        return 1;
    }
    return 0;
}
