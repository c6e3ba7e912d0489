// How a description page is painted, read back from its content stream:
// the light blue frames, then the glyph boxes, then the black text on top.

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include "report_run.h"
#include "support/sample_pdf.h"

namespace ortheo::testing {
namespace {

// What a content stream paints, in order: "stroke RGB WIDTH xCOUNT" for a
// stroked path of COUNT rectangles, "text GRAY" for a string shown, with the
// colours and line width in force at that point.
class PaintRecorder : public QPDFObjectHandle::ParserCallbacks {
public:
    void handleObject(QPDFObjectHandle object, size_t, size_t) override {
        if (!object.isOperator()) {
            operands_.push_back(object.unparse());
            return;
        }
        apply(object.getOperatorValue());
        operands_.clear();
    }
    void handleEOF() override {}

    std::vector<std::string> painted;

private:
    struct State {
        std::string stroke = "0 0 0";
        std::string fill = "0";
        std::string lineWidth = "1";
    };

    std::string joinedOperands() const {
        std::string joined;
        for (const std::string& operand : operands_) joined += (joined.empty() ? "" : " ") + operand;
        return joined;
    }

    void apply(const std::string& op) {
        if (op == "q") saved_.push_back(state_);
        if (op == "Q" && !saved_.empty()) {
            state_ = saved_.back();
            saved_.pop_back();
        }
        if (op == "RG") state_.stroke = joinedOperands();
        if (op == "g" || op == "rg") state_.fill = joinedOperands();
        if (op == "w") state_.lineWidth = joinedOperands();
        if (op == "re") ++rectangles_;
        if (op == "S") painted.push_back("stroke " + state_.stroke + " " + state_.lineWidth + " x" + std::to_string(rectangles_));
        if (op == "S" || op == "n" || op == "f") rectangles_ = 0;
        if (op == "Tj" && (painted.empty() || painted.back() != "text " + state_.fill)) {
            painted.push_back("text " + state_.fill);
        }
    }

    State state_;
    std::vector<State> saved_;
    std::vector<std::string> operands_;
    int rectangles_ = 0;
};

std::vector<std::string> paintedOn(const std::string& report, int pageIndex) {
    QPDF pdf;
    pdf.processFile(report.c_str());
    PaintRecorder recorder;
    QPDFPageObjectHelper(pdf.getAllPages().at(static_cast<std::size_t>(pageIndex))).parseContents(&recorder);
    return recorder.painted;
}

TEST(PageStyle, FramesThenGlyphBoxesInLightBlueThenBlackText) {
    ReportRun run(writeToUnicodePdf(temporaryPath("styled.pdf"), "1 beginbfchar <41> <0041> endbfchar").path);
    const std::string report = run.build("styled-report.pdf");
    EXPECT_EQ(paintedOn(report, 0),
              (std::vector<std::string>{"stroke 0.8 0.8 1 0.5 x256", "stroke 0.8 0.8 1 1 x256", "text 0"}));
    EXPECT_EQ(paintedOn(report, 1), (std::vector<std::string>{"text 0"})) << "a ToUnicode page has text only";
}

}  // namespace
}  // namespace ortheo::testing
