// The content writer on its own: numbers from 16.16 values, and the
// operators each kind of element becomes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "edit/content_writer.h"

namespace host {
namespace {

Fixed readBack(const std::string& text) { return static_cast<Fixed>(std::llround(std::strtod(text.c_str(), nullptr) * kFixedOne)); }

TEST(FormatFixed, WritesPlainDecimalsThatReadBackAsTheSameValue) {
    EXPECT_EQ(formatFixed(0), "0");
    EXPECT_EQ(formatFixed(kFixedOne), "1");
    EXPECT_EQ(formatFixed(0xCCCD), "0.8");
    EXPECT_EQ(formatFixed(-0x8000), "-0.5");
    EXPECT_EQ(formatFixed(1100 * kFixedOne), "1100");
    EXPECT_EQ(formatFixed(1), "0.00002");
    EXPECT_EQ(formatFixed(-1), "-0.00002");
    EXPECT_EQ(formatFixed(kFixedMin), "-32768");
    EXPECT_EQ(formatFixed(kFixedMax), "32767.99998");

    // Every fraction of one unit, and a sweep over the whole range.
    for (Fixed value = -kFixedOne; value <= kFixedOne; ++value) ASSERT_EQ(readBack(formatFixed(value)), value) << value;
    for (std::int64_t value = kFixedMin; value <= kFixedMax; value += 104729) {
        const std::string text = formatFixed(static_cast<Fixed>(value));
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text;
        ASSERT_EQ(readBack(text), value) << text;
    }
}

GraphicState lightBlueStroke(Fixed lineWidth) {
    GraphicState state;
    state.stroke = {ColorFamily::Rgb, {0xCCCD, 0xCCCD, kFixedOne, 0}};
    state.fill = {ColorFamily::Rgb, {}};
    state.lineWidth = lineWidth;
    return state;
}

std::string write(const std::vector<Element>& elements) {
    return writeContent(elements, [](const PageFontEntry&) { return std::string("F1"); });
}

TEST(WriteContent, TextRunsAndStrokedRectanglesAsThePageWritersMakeThem) {
    TextElement text;
    text.runs.push_back({"Font (report)", {}, GraphicState{}, {12 * kFixedOne, 0, 0, 15 * kFixedOne, 30 * kFixedOne,
                                                              1055 * kFixedOne}});
    PathElement frames{lightBlueStroke(kFixedOne / 2), op::kPaintStroke, {}};
    frames.segments.push_back({SegmentKind::Rect, {30 * kFixedOne, 1030 * kFixedOne, 62 * kFixedOne, -59 * kFixedOne}});

    EXPECT_EQ(write({frames, text}),
              "q\n0.8 0.8 1 RG\n0.5 w\n30 1030 62 -59 re\nS\nQ\n"
              "BT\n/F1 1 Tf\n12 0 0 15 30 1055 Tm\n0 g\n(Font \\(report\\)) Tj\nET\n");
}

TEST(WriteContent, EachPaintOperationAndSegmentKindHasItsOperator) {
    PathElement path{lightBlueStroke(kFixedOne), 0, {}};
    path.state.miterLimit = 4 * kFixedOne;
    path.state.flatness = 0;
    path.segments = {{SegmentKind::MoveTo, {1 * kFixedOne, 2 * kFixedOne}},
                     {SegmentKind::LineTo, {3 * kFixedOne, 4 * kFixedOne}},
                     {SegmentKind::CurveTo, {1, 2, 3, 4, 5, 6}},
                     {SegmentKind::CurveToV, {kFixedOne, kFixedOne, kFixedOne, kFixedOne}},
                     {SegmentKind::CurveToY, {0, 0, 0, 0}},
                     {SegmentKind::Close, {}}};

    EXPECT_EQ(write({path}), "") << "a path painted neither way draws nothing";
    const std::pair<std::int32_t, const char*> paints[] = {{1, "\nS\n"}, {2, "\nf\n"}, {4, "\nf*\n"}, {3, "\nB\n"}, {5, "\nB*\n"}};
    for (const auto& [paintOp, paint] : paints) {
        path.paintOp = paintOp;
        EXPECT_NE(write({path}).find(paint), std::string::npos) << paintOp;
    }
    path.paintOp = kPaintFill;
    EXPECT_EQ(write({path}),
              "q\n0 0 0 rg\n1 2 m\n3 4 l\n0.00002 0.00003 0.00005 0.00006 0.00008 0.00009 c\n1 1 1 1 v\n0 0 0 0 y\nh\nf\nQ\n")
        << "a fill needs no line style and no stroke colour";
    path.paintOp = op::kPaintStroke;
    EXPECT_NE(write({path}).find("1 w\n4 M\n1 2 m"), std::string::npos) << "a miter limit other than 10 is written";
}

TEST(WriteContent, CmykAndGrayColoursUseTheirOwnOperators) {
    TextElement text;
    GraphicState cmyk;
    cmyk.fill = {ColorFamily::Cmyk, {0, kFixedOne, 0x8000, 0}};
    text.runs.push_back({"x", {}, cmyk, {kFixedOne, 0, 0, kFixedOne, 0, 0}});
    PathElement path{GraphicState{}, op::kPaintStroke, {{SegmentKind::Rect, {0, 0, kFixedOne, kFixedOne}}}};
    path.state.stroke = {ColorFamily::Cmyk, {kFixedOne, 0, 0, 0}};

    const std::string content = write({text, path});
    EXPECT_NE(content.find("0 1 0.5 0 k\n"), std::string::npos) << content;
    EXPECT_NE(content.find("1 0 0 0 K\n"), std::string::npos) << content;
}

}  // namespace
}  // namespace host
