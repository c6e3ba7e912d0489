// PDModel 95 where a file shares what it can: resources dictionaries used by
// many pages and forms that draw each other. What is walked once and reused
// must give every page what a walk of that page alone gives.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include "fonts/host_fonts.h"
#include "model/documents.h"
#include "support/loaded_plugin.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Handle;

QPDFObjectHandle font(QPDF& pdf, const std::string& name) {
    return pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " >>"));
}

QPDFObjectHandle form(QPDF& pdf) {
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf, "");
    stream.replaceDict(QPDFObjectHandle::parse("<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] >>"));
    return stream;
}

QPDFObjectHandle resources(QPDFObjectHandle fonts, QPDFObjectHandle xobjects) {
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    if (fonts.isDictionary()) dict.replaceKey("/Font", fonts);
    if (xobjects.isDictionary()) dict.replaceKey("/XObject", xobjects);
    return dict;
}

QPDFObjectHandle entries(const std::string& key, QPDFObjectHandle value) {
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey(key, value);
    return dict;
}

void addPage(QPDF& pdf, QPDFObjectHandle pageResources) {
    QPDFObjectHandle page =
        pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 100 100] >>"));
    page.replaceKey("/Resources", pageResources);
    pdf.addPage(page, false);
}

// Form A holds font FA and draws form B; form B holds FB and draws form A.
// Page 1 comes in through A, page 2 through B; pages 3 and 4 share one
// numbered resources dictionary that draws A.
std::string writeSharedDocument() {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle formA = form(pdf);
    QPDFObjectHandle formB = form(pdf);
    formA.getDict().replaceKey("/Resources", resources(entries("/FA", font(pdf, "FA")), entries("/B", formB)));
    formB.getDict().replaceKey("/Resources", resources(entries("/FB", font(pdf, "FB")), entries("/A", formA)));
    const QPDFObjectHandle none = QPDFObjectHandle::newNull();
    addPage(pdf, resources(entries("/F1", font(pdf, "Page1")), entries("/X", formA)));
    addPage(pdf, resources(none, entries("/X", formB)));
    QPDFObjectHandle shared =
        pdf.makeIndirectObject(resources(entries("/F1", font(pdf, "Shared")), entries("/X", formA)));
    addPage(pdf, shared);
    addPage(pdf, shared);

    const std::string path = testing::temporaryPath("shared-resources.pdf");
    QPDFWriter writer(pdf, path.c_str());
    writer.write();
    return path;
}

TEST(FontWalk, SharedResourcesAndFormsThatDrawEachOtherGiveEachPageItsOwnWalk) {
    testing::LoadedPlugin loaded;
    const Handle document = loaded.host().documents().open(writeSharedDocument());
    const auto names = [&](std::int32_t page) {
        std::vector<std::string> found;
        for (const Handle font : testing::enumeratedFonts(document, page)) found.push_back(testing::fontNameOf(font));
        return found;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(names(0), (Names{"Page1", "FA", "FB"}));
    EXPECT_EQ(names(1), (Names{"FB", "FA"})) << "what was walked from A is not what B gives";
    EXPECT_EQ(names(2), (Names{"Shared", "FA", "FB"}));
    EXPECT_EQ(names(3), names(2));
    EXPECT_EQ(names(1), (Names{"FB", "FA"})) << "asked again";
    EXPECT_EQ(testing::enumeratedFonts(document, 2), testing::enumeratedFonts(document, 3));
}

// Forty forms, each drawing the next one twice, the last drawing the first:
// 2^40 paths, one font each.
TEST(FontWalk, FormsThatDrawEachOtherTwiceOverAreWalkedOnceEach) {
    QPDF pdf;
    pdf.emptyPDF();
    std::vector<QPDFObjectHandle> forms;
    for (int index = 0; index < 40; ++index) forms.push_back(form(pdf));
    for (std::size_t index = 0; index < forms.size(); ++index) {
        QPDFObjectHandle next = forms[(index + 1) % forms.size()];
        QPDFObjectHandle drawn = entries("/A", next);
        drawn.replaceKey("/B", next);
        forms[index].getDict().replaceKey("/Resources",
                                          resources(entries("/F", font(pdf, "Form" + std::to_string(index))), drawn));
    }
    addPage(pdf, resources(QPDFObjectHandle::newNull(), entries("/X", forms[0])));
    addPage(pdf, resources(QPDFObjectHandle::newNull(), entries("/X", forms[20])));
    const std::string path = testing::temporaryPath("forms-twice-over.pdf");
    QPDFWriter writer(pdf, path.c_str());
    writer.write();

    testing::LoadedPlugin loaded;
    const Handle document = loaded.host().documents().open(path);
    const std::vector<Handle> first = testing::enumeratedFonts(document, 0);
    ASSERT_EQ(first.size(), 40u);
    EXPECT_EQ(testing::fontNameOf(first[0]), "Form0");
    EXPECT_EQ(testing::fontNameOf(first[39]), "Form39");
    const std::vector<Handle> second = testing::enumeratedFonts(document, 1);
    ASSERT_EQ(second.size(), 40u);
    EXPECT_EQ(testing::fontNameOf(second[0]), "Form20");
    EXPECT_EQ(testing::fontNameOf(second[39]), "Form19");
}

}  // namespace
}  // namespace ortheo
