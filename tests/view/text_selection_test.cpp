// Where text starts and which font it is drawn in, on a page made for it:
// the text state operators, q and Q, and form XObjects with their own
// matrices and resources, drawn twice and drawing themselves.

#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "view/text_selection.h"

namespace ortheo {
namespace {

struct Expected {
    std::string font;  // the font's /BaseFont
    double x;
    double y;
};

// A page whose content takes the text state through its operators, and a
// second, blank page without content.
constexpr const char* kPageContent =
    "q 2 0 0 2 10 20 cm BT /F1 10 Tf 5 6 Td (a) Tj 14 TL T* (b) Tj ET Q\n"
    "BT /F2 10 Tf 100 100 Td 0 -12 TD (c) Tj (d) ' 1 2 (e) \" 1 0 0 1 50 60 Tm [(f) 120 (f)] TJ ET\n"
    "q /F1 1 Tf Q BT (g) Tj ET\n"
    "BT /Missing 1 Tf (h) Tj ET\n"
    "/Fm1 Do /Fm1 Do\n"
    "q 1 0 0 1 40 40 cm /Fm2 Do Q\n";

// Draws with the page's /F1, and draws itself.
constexpr const char* kFormWithoutResources = "BT /F1 5 Tf 1 2 Td (i) Tj ET /Fm1 Do";
// Its own /F1 is another font than the page's.
constexpr const char* kFormWithResources = "BT /F1 5 Tf 10 10 Td (j) Tj ET";

class TextPieces : public ::testing::Test {
protected:
    void SetUp() override {
        pdf_.emptyPDF();
        QPDFObjectHandle resources = QPDFObjectHandle::parse("<< /Font << >> /XObject << >> >>");
        resources.getKey("/Font").replaceKey("/F1", font("Alpha"));
        resources.getKey("/Font").replaceKey("/F2", font("Beta"));

        QPDFObjectHandle drawsItself = form(kFormWithoutResources, "[1 0 0 1 300 0]");
        resources.getKey("/XObject").replaceKey("/Fm1", drawsItself);

        QPDFObjectHandle ownFonts = form(kFormWithResources, "[0.5 0 0 0.5 0 0]");
        ownFonts.getDict().replaceKey("/Resources", QPDFObjectHandle::parse("<< /Font << >> >>"));
        ownFonts.getDict().getKey("/Resources").getKey("/Font").replaceKey("/F1", font("Gamma"));
        resources.getKey("/XObject").replaceKey("/Fm2", ownFonts);

        QPDFObjectHandle page = pdf_.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf_, kPageContent));
        QPDFPageDocumentHelper(pdf_).addPage(page, false);
        QPDFPageDocumentHelper(pdf_).addPage(
            pdf_.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>")), false);
    }

    QPDFObjectHandle font(const std::string& name) {
        return pdf_.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /" + name + " >>"));
    }

    QPDFObjectHandle form(const std::string& content, const std::string& matrix) {
        QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf_, content);
        stream.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        stream.getDict().replaceKey("/Matrix", QPDFObjectHandle::parse(matrix));
        return stream;
    }

    std::vector<Expected> pieces(const std::vector<host::PageRange>& pages, const std::optional<host::UserRect>& area) {
        std::vector<Expected> found;
        for (const host::PageRange& range : pages) {
            for (int page = range.first; page <= range.last; ++page) {
                for (host::TextPiece& piece : host::findPagePieces(pdf_, page, area)) {
                    found.push_back({piece.font.getKey("/BaseFont").getName().substr(1), piece.x, piece.y});
                }
            }
        }
        return found;
    }

    QPDF pdf_;
};

void expectPieces(const std::vector<Expected>& found, const std::vector<Expected>& expected) {
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].font, expected[i].font) << "piece " << i;
        EXPECT_NEAR(found[i].x, expected[i].x, 1e-9) << "piece " << i;
        EXPECT_NEAR(found[i].y, expected[i].y, 1e-9) << "piece " << i;
    }
}

TEST_F(TextPieces, EachTextOperatorStartsWhereTheTextStateLeavesIt) {
    expectPieces(pieces({{0, 1}}, std::nullopt), {
        {"Alpha", 20, 32},   // Td through the scaled and moved CTM
        {"Alpha", 20, 4},    // T* with the leading of TL
        {"Beta", 100, 88},   // TD sets the leading
        {"Beta", 100, 76},   // ' moves to the next line
        {"Beta", 100, 64},   // and so does "
        {"Beta", 50, 60},    // Tm; TJ counts once
        {"Beta", 0, 0},      // Q restored the font that q saved
        {"Alpha", 301, 2},   // the form's /Matrix, the page's resources; drawn once, its cycle cut
        {"Gamma", 45, 45},   // the form's own /Resources, its /Matrix after the cm
    });
}

TEST_F(TextPieces, ARectangleTakesInTheStartingPointsOnAndInsideItsEdges) {
    const std::vector<Expected> inside = {
        {"Alpha", 20, 32}, {"Alpha", 20, 4}, {"Beta", 50, 60}, {"Beta", 0, 0}, {"Gamma", 45, 45}};
    expectPieces(pieces({{0, 0}}, host::UserRect{0, 0, 60, 60}), inside);
    expectPieces(pieces({{0, 0}}, host::UserRect{60, 60, 0, 0}), inside);
    expectPieces(pieces({{0, 0}}, host::UserRect{300, 0, 302, 3}), {{"Alpha", 301, 2}});
}

TEST_F(TextPieces, ABlankPageHasNoPiecesAndAnUnreadableOneNamesItself) {
    EXPECT_TRUE(pieces({{1, 1}}, std::nullopt).empty());

    QPDFObjectHandle broken = QPDFObjectHandle::newStream(&pdf_, "not deflated at all");
    broken.getDict().replaceKey("/Filter", QPDFObjectHandle::newName("/FlateDecode"));
    QPDFObjectHandle blank = pdf_.getAllPages().at(1);
    blank.replaceKey("/Contents", broken);
    pdf_.setSuppressWarnings(true);
    try {
        pieces({{0, 1}}, std::nullopt);
        FAIL() << "an unreadable content stream gave pieces";
    } catch (const std::runtime_error& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind("Page 2: its content could not be read (", 0), 0u)
            << failure.what();
    }
}

TEST(PageRanges, AreSortedAndOverlappingOrAdjacentOnesJoined) {
    using Ranges = std::vector<host::PageRange>;
    EXPECT_EQ(host::joinedPageRanges({{4, 6}, {0, 0}, {5, 9}, {1, 2}, {12, 12}}), (Ranges{{0, 2}, {4, 9}, {12, 12}}));
    EXPECT_EQ(host::joinedPageRanges({{3, 3}, {3, 3}, {0, 5}}), (Ranges{{0, 5}}));
    const int last = std::numeric_limits<int>::max();
    EXPECT_EQ(host::joinedPageRanges({{last, last}, {0, last - 1}}), (Ranges{{0, last}})) << "no overflow";
    EXPECT_EQ(host::joinedPageRanges({}), Ranges{});
}

}  // namespace
}  // namespace ortheo
