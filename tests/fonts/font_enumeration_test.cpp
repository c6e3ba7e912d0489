// PDModel 95 on real PDFs: the fonts of each page, as pdffonts lists them,
// and what pdffonts does not show, on a PDF made for it.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "support/raised.h"
#include "core/errors.h"
#include "fonts/font_samples.h"
#include "fonts/host_fonts.h"
#include "model/documents.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::Handle;
using testing::LoadedPlugin;

struct NamedFont {
    std::string name;
    int objectNumber;
    auto operator<=>(const NamedFont&) const = default;
};

class FontEnumerationTest : public ::testing::Test {
protected:
    Handle open(const std::string& path) { return loaded_.host().documents().open(path); }

    std::vector<std::string> namesOfPage(Handle document, std::int32_t index) {
        std::vector<std::string> names;
        for (const Handle font : testing::enumeratedFonts(document, index)) names.push_back(testing::fontNameOf(font));
        return names;
    }

    LoadedPlugin loaded_;
};

class FixtureFontsTest : public FontEnumerationTest, public ::testing::WithParamInterface<const char*> {};

// pdffonts lists a page's fonts in file order, which qpdf does not keep: the
// lists are compared as sets.
TEST_P(FixtureFontsTest, EachPageGivesTheFontsThatPdffontsLists) {
    const std::string path = std::string(ORTHEO_FIXTURES) + "/" + GetParam();
    const Handle document = open(path);
    for (int page = 1; page <= 2; ++page) {
        std::vector<NamedFont> listed;
        for (const auto& font : testing::pdffontsOfPage(path, page)) listed.push_back({font.name, font.objectNumber});
        std::vector<NamedFont> enumerated;
        for (const Handle font : testing::enumeratedFonts(document, page - 1)) {
            enumerated.push_back({testing::fontNameOf(font), testing::objectNumberOf(font)});
        }
        std::sort(listed.begin(), listed.end());
        std::sort(enumerated.begin(), enumerated.end());
        ASSERT_FALSE(listed.empty());
        EXPECT_EQ(enumerated, listed) << GetParam() << " page " << page;
    }
}

INSTANTIATE_TEST_SUITE_P(Producers, FixtureFontsTest, ::testing::Values("latex.pdf", "groff-gs.pdf", "cairo.pdf"));

TEST_F(FontEnumerationTest, WalksTypeThreeFontsFormsPatternsAndAppearancesInTheStatedOrder) {
    const auto sample = testing::writeFontSamplePdf(testing::temporaryPath("font-sample.pdf"));
    const Handle document = open(sample.path);

    // pdffonts does not look inside Type3 fonts' resources, so the order and
    // the Type3 font's inner Times-Italic are checked here by name.
    EXPECT_EQ(namesOfPage(document, 0),
              (std::vector<std::string>{"Helvetica", "Courier",
                                        "Type3 font " + std::to_string(sample.type3Object) + " 0 R", "CIDSample",
                                        "Times-Italic", "Times-Bold", "Courier-Bold", "Symbol"}));
    EXPECT_EQ(namesOfPage(document, 1),
              (std::vector<std::string>{"Helvetica", "TrueType font " + std::to_string(sample.trueTypeObject) + " 0 R"}));

    // Otherwise pdffonts agrees (it lists the inline Courier as [none], object 0).
    std::set<int> listed;
    for (const auto& font : testing::pdffontsOfPage(sample.path, 1)) listed.insert(font.objectNumber);
    std::set<int> enumerated;
    for (const Handle font : testing::enumeratedFonts(document, 0)) {
        if (testing::fontNameOf(font) != "Times-Italic") enumerated.insert(testing::objectNumberOf(font));
    }
    EXPECT_EQ(enumerated, listed);
}

// The report document changes as it is written: what a form holds is read
// afresh each time.
TEST_F(FontEnumerationTest, SeesFontsAddedToADocumentTheHostCreated) {
    const Handle document = loaded_.host().documents().create();
    QPDF& pdf = *loaded_.host().documents().get(document).pdf;
    QPDFObjectHandle form = pdf.makeIndirectObject(QPDFObjectHandle::newStream(&pdf, "BT ET"));
    form.replaceDict(QPDFObjectHandle::parse("<< /Type /XObject /Subtype /Form /BBox [0 0 1 1]"
                                             " /Resources << /Font << /A << /Subtype /Type1 /BaseFont /Alpha >> >> >> >>"));
    QPDFObjectHandle page = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 10 10] /Resources << /XObject << >> >> >>"));
    page.getKey("/Resources").getKey("/XObject").replaceKey("/X", form);
    QPDFPageDocumentHelper(pdf).addPage(page, false);
    EXPECT_EQ(namesOfPage(document, 0), std::vector<std::string>{"Alpha"});

    form.getDict().getKey("/Resources").getKey("/Font").replaceKey(
        "/B", QPDFObjectHandle::parse("<< /Subtype /Type1 /BaseFont /Beta >>"));
    EXPECT_EQ(namesOfPage(document, 0), (std::vector<std::string>{"Alpha", "Beta"}));
}

TEST_F(FontEnumerationTest, GivesTheSameHandleForTheSameFontOnEveryPageAndEveryCall) {
    const Handle document = open(testing::writeFontSamplePdf(testing::temporaryPath("font-sample.pdf")).path);
    const auto first = testing::enumeratedFonts(document, 0);
    const auto again = testing::enumeratedFonts(document, 0);
    EXPECT_EQ(first, again);  // the inline Courier included
    EXPECT_EQ(testing::enumeratedFonts(document, 1).at(0), first.at(0));  // Helvetica, inherited on page 2
    EXPECT_EQ(testing::objectNumberOf(first.at(1)), 0);  // Courier is written inline
}

// What the appearances of a shared /Annots array hold is worked out once,
// and each page lists it after its own fonts, without repeats.
TEST_F(FontEnumerationTest, PagesSharingAnAnnotsArrayEachListWhatItsAppearancesHold) {
    const std::string path = testing::writeRawPdf(
        testing::temporaryPath("shared-annots.pdf"),
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Annots 5 0 R"
         " /Resources << /Font << /F << /Subtype /Type1 /BaseFont /Alpha >> >> >> >>",
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 10 10] /Annots 5 0 R /Resources << /Font << /F 8 0 R >> >> >>",
         "[6 0 R 6 0 R]", "<< /Type /Annot /Subtype /FreeText /Rect [0 0 1 1] /AP << /N 7 0 R >> >>",
         "<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Length 0"
         " /Resources << /Font << /A 8 0 R /B << /Subtype /Type1 /BaseFont /Beta >> >> >> >>\nstream\n\nendstream",
         "<< /Subtype /Type1 /BaseFont /Gamma >>"});
    const Handle document = open(path);
    EXPECT_EQ(namesOfPage(document, 0), (std::vector<std::string>{"Alpha", "Gamma", "Beta"}));
    EXPECT_EQ(namesOfPage(document, 1), (std::vector<std::string>{"Gamma", "Beta"}));
}

// Stops when the procedure answers 0, after `limit` fonts.
struct StopAfter {
    int limit;
    int calls = 0;
    static host::Bool16 count(Handle, void*, host::ClientData data) {
        auto* self = static_cast<StopAfter*>(data);
        return ++self->calls < self->limit ? 1 : 0;
    }
};

TEST_F(FontEnumerationTest, StopsAtOnceWhenTheProcedureAnswersZero) {
    const Handle document = open(std::string(ORTHEO_FIXTURES) + "/groff-gs.pdf");
    StopAfter stop{3};
    callHost<host::op::DocEnumFonts>(document, 0, 1, &StopAfter::count, &stop, 0, 0);
    EXPECT_EQ(stop.calls, 3);
    StopAfter pastFirstPage{5};
    callHost<host::op::DocEnumFonts>(document, 0, 1, &StopAfter::count, &pastFirstPage, 0, 0);
    EXPECT_EQ(pastFirstPage.calls, 5);  // four on page 1, then the first of page 2
}

TEST_F(FontEnumerationTest, RaisesForPageRangesOutsideTheDocumentAndForNoProcedure) {
    const Handle document = open(std::string(ORTHEO_FIXTURES) + "/cairo.pdf");
    StopAfter never{1000};
    const auto expectRaise = [&](std::int32_t first, std::int32_t last, const std::string& text) {
        const auto enumerate = [&] {
            callHost<host::op::DocEnumFonts>(document, first, last, &StopAfter::count, &never, 0, 0);
        };
        EXPECT_EQ(testing::raisedCode(enumerate), host::kErrBadArgument) << first << " to " << last;
        const std::string raised = testing::raisedText(enumerate);
        EXPECT_NE(raised.find(text), std::string::npos) << raised;
    };
    expectRaise(-1, 0, "page indices -1 to 0 are outside the document's 2 pages");
    expectRaise(0, 2, "page indices 0 to 2 are outside the document's 2 pages");
    expectRaise(1, 0, "the first page index 1 comes after the last page index 0");
    EXPECT_EQ(never.calls, 0);
    EXPECT_THROW(callHost<host::op::DocEnumFonts>(document, 0, 0, nullptr, nullptr, 0, 0), HostRaised);
    EXPECT_THROW(callHost<host::op::DocEnumFonts>(testing::staleHandle(document), 0, 0, &StopAfter::count, &never, 0, 0), HostRaised);
}

// A procedure that calls back into the host as the report does: it makes
// fonts and enumerates another page while the host enumerates this one.
struct Reentrant {
    Handle document;
    std::vector<Handle> reported;
    static host::Bool16 collect(Handle font, void*, host::ClientData data) {
        auto* self = static_cast<Reentrant*>(data);
        self->reported.push_back(font);
        host::Object dict = callHost<host::op::FontCosObject>(font);
        callHost<host::op::FontCreateFromCos>(&dict);
        testing::enumeratedFonts(self->document, 1);
        return 1;
    }
};

TEST_F(FontEnumerationTest, ReentrantCallsFromTheProcedureDoNotDisturbTheEnumeration) {
    const Handle document = open(std::string(ORTHEO_FIXTURES) + "/latex.pdf");
    const auto expected = testing::enumeratedFonts(document, 1);
    Reentrant procedure{document, {}};
    callHost<host::op::DocEnumFonts>(document, 1, 1, &Reentrant::collect, &procedure, 0, 0);
    EXPECT_EQ(procedure.reported, expected);
}

struct Closer {
    host::Host* host;
    Handle document;
    int calls = 0;
    static host::Bool16 close(Handle, void*, host::ClientData data) {
        auto* self = static_cast<Closer*>(data);
        if (++self->calls == 1) self->host->documents().close(self->document);
        return 1;
    }
};

TEST_F(FontEnumerationTest, EndsQuietlyWhenTheProcedureClosesTheDocumentAndItsFontsGoStale) {
    const Handle document = open(std::string(ORTHEO_FIXTURES) + "/latex.pdf");
    const Handle font = testing::enumeratedFonts(document, 0).at(0);
    Closer closer{&loaded_.host(), document};
    callHost<host::op::DocEnumFonts>(document, 0, 1, &Closer::close, &closer, 0, 0);
    EXPECT_EQ(closer.calls, 1);
    EXPECT_EQ(testing::raisedCode([&] { testing::fontNameOf(font); }), host::kErrBadHandle)
        << "a font of a closed document was named";
}

}  // namespace
}  // namespace ortheo
