// Pages of host documents through the plug-in's own host calls: inserting,
// counting, boxes, releasing, and the page mode.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include "support/raised.h"
#include "core/errors.h"
#include "model/documents.h"
#include "model/pages.h"
#include "plugin/host_call.h"
#include "support/loaded_plugin.h"
#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo {
namespace {

using host::FixedRect;
using host::Handle;
using testing::LoadedPlugin;
using testing::raisedText;
using testing::runCommand;
using testing::temporaryPath;

constexpr host::Fixed points(int value) { return value * host::kFixedOne; }

// A page box of `width` by `height` points at the origin.
constexpr FixedRect box(int width, int height) { return {0, points(height), points(width), 0}; }

// The /MediaBox that pdfinfo reads for a page, as "left bottom right top".
std::string pdfinfoMediaBox(const std::string& path, int pageNumber) {
    const std::string number = std::to_string(pageNumber);
    const auto info = runCommand({"/usr/bin/pdfinfo", "-box", "-f", number, "-l", number, path});
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "Page %4d MediaBox:", pageNumber);
    const std::size_t at = info.out.find(prefix);
    if (at == std::string::npos) return "(no box) " + info.out + info.err;
    double left, bottom, right, top;
    if (std::sscanf(info.out.c_str() + at + std::strlen(prefix), "%lf %lf %lf %lf", &left, &bottom, &right, &top) != 4) {
        return "(unreadable box)";
    }
    char box[128];
    std::snprintf(box, sizeof box, "%.2f %.2f %.2f %.2f", left, bottom, right, top);
    return box;
}

std::string asPdfinfoBox(const FixedRect& rect) {
    char box[128];
    std::snprintf(box, sizeof box, "%.2f %.2f %.2f %.2f", rect.left / 65536.0, rect.bottom / 65536.0,
                  rect.right / 65536.0, rect.top / 65536.0);
    return box;
}

bool sameRect(const FixedRect& a, const FixedRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class PagesTest : public ::testing::Test {
protected:
    FixedRect boxAt(Handle document, std::int32_t index) {
        const Handle page = callHost<host::op::DocAcquirePage>(document, index);
        FixedRect answered;
        callHost<host::op::PageBox>(page, &answered);
        callHost<host::op::PageRelease>(page);
        return answered;
    }

    Handle insert(Handle document, std::int32_t afterIndex, const FixedRect& pageBox) {
        const Handle page = callHost<host::op::DocCreatePage>(document, afterIndex, pageBox);
        callHost<host::op::PageRelease>(page);
        return page;
    }

    LoadedPlugin loaded_;
};

TEST_F(PagesTest, PagesGoBeforeTheFirstAfterTheLastAndBetween) {
    const Handle document = callHost<host::op::DocCreate>();
    EXPECT_EQ(callHost<host::op::DocPageCount>(document), 0);
    insert(document, -1, box(100, 100));  // into the empty document
    insert(document, 0, box(400, 100));   // after the last
    insert(document, -1, box(200, 100));  // before the first
    insert(document, 1, box(300, 100));   // between
    EXPECT_EQ(callHost<host::op::DocPageCount>(document), 4);

    const std::string path = temporaryPath("inserted.pdf");
    loaded_.host().documents().save(document, path);
    EXPECT_EQ(pdfinfoMediaBox(path, 1), "0.00 0.00 200.00 100.00");
    EXPECT_EQ(pdfinfoMediaBox(path, 2), "0.00 0.00 100.00 100.00");
    EXPECT_EQ(pdfinfoMediaBox(path, 3), "0.00 0.00 300.00 100.00");
    EXPECT_EQ(pdfinfoMediaBox(path, 4), "0.00 0.00 400.00 100.00");
    EXPECT_EQ(runCommand({"/usr/bin/qpdf", "--check", path}).exitStatus, 0);
}

TEST_F(PagesTest, InsertionOutsideTheDocumentOrWithAnEmptyBoxRaisesAndAddsNothing) {
    const Handle document = callHost<host::op::DocCreate>();
    insert(document, -1, box(100, 100));
    EXPECT_EQ(raisedText([&] { insert(document, 1, box(100, 100)); }),
              "PDModel 85: cannot insert after page index 1 of a document of 1 page (-1 inserts before the "
              "first page)");
    EXPECT_NE(raisedText([&] { insert(document, -2, box(100, 100)); }), "(nothing raised)");
    const FixedRect upsideDown{0, 0, points(100), points(100)};
    EXPECT_NE(raisedText([&] { insert(document, 0, upsideDown); }), "(nothing raised)");
    EXPECT_NE(raisedText([&] { insert(document, 0, box(0, 100)); }), "(nothing raised)");
    EXPECT_EQ(callHost<host::op::DocPageCount>(document), 1);
}

TEST_F(PagesTest, ABoxComesBackAsGivenToTheLastFraction) {
    const Handle document = callHost<host::op::DocCreate>();
    const FixedRect fractional{-0x8001, points(1100) + 1, points(595) + 0x5C29, -0x18000};
    const Handle page = callHost<host::op::DocCreatePage>(document, -1, fractional);
    FixedRect answered;
    callHost<host::op::PageBox>(page, &answered);
    EXPECT_TRUE(sameRect(answered, fractional));
    EXPECT_EQ(raisedText([&] { callHost<host::op::PageBox>(page, nullptr); }),
              "PDModel 144: no rectangle to answer the page's box in");
}

// A file whose first page inherits its box from the page tree, whose second
// gives its corners the wrong way round, whose third is beyond the 16.16
// range and whose fourth has a box of three numbers.
std::string writeBoxesPdf(const std::string& path) {
    QPDF pdf;
    pdf.emptyPDF();
    for (const char* pageBox : {"", "[612 792 0 0]", "[-40000.5 -10 12.3456789 10000000]", "[0 0 10]"}) {
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /Resources << >> >>");
        if (*pageBox != '\0') page.replaceKey("/MediaBox", QPDFObjectHandle::parse(pageBox));
        pdf.addPage(pdf.makeIndirectObject(page), false);
    }
    // Set after the pages were added: adding rebuilds the page tree's root.
    pdf.getRoot().getKey("/Pages").replaceKey("/MediaBox", QPDFObjectHandle::parse("[0 0 500 700]"));
    QPDFWriter writer(pdf, path.c_str());
    writer.write();
    return path;
}

TEST_F(PagesTest, BoxesOfAFileAreInheritedNormalisedAndClamped) {
    const std::string path = writeBoxesPdf(temporaryPath("boxes.pdf"));
    ASSERT_EQ(pdfinfoMediaBox(path, 1), "0.00 0.00 500.00 700.00");
    const Handle document = loaded_.host().documents().open(path);
    EXPECT_EQ(callHost<host::op::DocPageCount>(document), 4);
    EXPECT_TRUE(sameRect(boxAt(document, 0), box(500, 700)));
    EXPECT_TRUE(sameRect(boxAt(document, 1), box(612, 792)));
    const FixedRect clamped{host::kFixedMin, host::kFixedMax, 0xC587E, points(-10)};  // 12.3456789 rounded
    EXPECT_TRUE(sameRect(boxAt(document, 2), clamped));
    EXPECT_TRUE(sameRect(boxAt(document, 3), box(612, 792))) << "a broken box is taken as US Letter, as readers do";
}

TEST_F(PagesTest, ABoxOfARealProducersFileIsWhatPdfinfoReads) {
    const std::string path = std::string(ORTHEO_FIXTURES) + "/latex.pdf";
    const Handle document = loaded_.host().documents().open(path);
    EXPECT_EQ(callHost<host::op::DocPageCount>(document), 2);
    EXPECT_EQ(asPdfinfoBox(boxAt(document, 0)), pdfinfoMediaBox(path, 1));
}

TEST_F(PagesTest, ReleasedPagesAndPagesOfAClosedDocumentAreStale) {
    const Handle document = callHost<host::op::DocCreate>();
    insert(document, -1, box(100, 100));
    const Handle page = callHost<host::op::DocAcquirePage>(document, 0);
    const Handle again = callHost<host::op::DocAcquirePage>(document, 0);
    EXPECT_NE(page, again) << "each acquisition is its own handle";
    callHost<host::op::PageRelease>(page);
    FixedRect answered;
    EXPECT_EQ(raisedText([&] { callHost<host::op::PageBox>(page, &answered); }).rfind("Expected a page, got stale", 0),
              0u);
    EXPECT_NE(raisedText([&] { callHost<host::op::PageRelease>(page); }), "(nothing raised)");
    EXPECT_EQ(raisedText([&] { callHost<host::op::DocAcquirePage>(document, 1); }),
              "PDModel 84: page index 1 is outside the document's 1 page");

    loaded_.host().documents().close(document);
    EXPECT_NE(raisedText([&] { callHost<host::op::PageBox>(again, &answered); }), "(nothing raised)");
    EXPECT_NE(raisedText([&] { callHost<host::op::DocPageCount>(document); }), "(nothing raised)");
    EXPECT_EQ(loaded_.host().pages().acquiredCount(), 0u);
}

TEST_F(PagesTest, ThePageModeSaysWhatTheDocumentOpensWith) {
    const Handle document = callHost<host::op::DocCreate>();
    QPDFObjectHandle catalog = loaded_.host().documents().get(document).pdf->getRoot();
    callHost<host::op::DocSetPageMode>(document, host::op::kPageModeUseBookmarks);
    EXPECT_EQ(catalog.getKey("/PageMode").unparse(), "/UseOutlines");
    callHost<host::op::DocSetPageMode>(document, 4);
    EXPECT_EQ(catalog.getKey("/PageMode").unparse(), "/FullScreen");
    callHost<host::op::DocSetPageMode>(document, 0);
    EXPECT_FALSE(catalog.hasKey("/PageMode"));
    EXPECT_EQ(raisedText([&] { callHost<host::op::DocSetPageMode>(document, 7); }),
              "PDModel 77: 7 is not a page mode (0 to 6)");
    EXPECT_NE(raisedText([&] { callHost<host::op::DocSetPageMode>(document, -1); }), "(nothing raised)");
}

}  // namespace
}  // namespace ortheo
