// Conversions between 16.16 values and PDF numbers: rounding, clamping, and
// the round trip through a written file.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/fixed_numbers.h"
#include "model/pages.h"

namespace host {
namespace {

TEST(FixedFromDouble, RoundsToNearestAndClampsToTheRange) {
    EXPECT_EQ(fixedFromDouble(1.5), 0x18000);
    EXPECT_EQ(fixedFromDouble(-1.5), -0x18000);
    EXPECT_EQ(fixedFromDouble(0.6 / 65536), 1);
    EXPECT_EQ(fixedFromDouble(0.4 / 65536), 0);
    EXPECT_EQ(fixedFromDouble(-0.6 / 65536), -1);
    EXPECT_EQ(fixedFromDouble(32767.99999), kFixedMax);
    EXPECT_EQ(fixedFromDouble(40000), kFixedMax);
    EXPECT_EQ(fixedFromDouble(-32768), kFixedMin);
    EXPECT_EQ(fixedFromDouble(-1e300), kFixedMin);
    EXPECT_EQ(fixedFromDouble(std::numeric_limits<double>::infinity()), kFixedMax);
    EXPECT_EQ(fixedFromDouble(std::nan("")), 0);
}

TEST(PdfNumberFromFixed, WholeValuesAreIntegersAndFractionsComeBackExactly) {
    EXPECT_EQ(pdfNumberFromFixed(1100 << 16).unparse(), "1100");
    EXPECT_EQ(pdfNumberFromFixed(-3 * kFixedOne).unparse(), "-3");
    EXPECT_EQ(pdfNumberFromFixed(kFixedMin).unparse(), "-32768");
    EXPECT_EQ(pdfNumberFromFixed(0x8000).unparse(), "0.5");
    EXPECT_EQ(pdfNumberFromFixed(-0x18000).unparse(), "-1.5");

    // Every value, written and read as a PDF number, is itself again.
    for (const Fixed value : {1, -1, 0x7FFF, 0x8001, 0xCCCD, -0x8001, kFixedMax, kFixedMin + 1, 0x44C0001}) {
        QPDFObjectHandle number = QPDFObjectHandle::parse(pdfNumberFromFixed(value).unparse());
        EXPECT_EQ(fixedFromDouble(number.getNumericValue()), value) << number.unparse();
    }
}

TEST(FixedRectFromBox, TakesCornersInAnyOrderAndLetterForAnythingElse) {
    const FixedRect reversed = fixedRectFromBox(QPDFObjectHandle::parse("[612 792 0.5 -2]"));
    EXPECT_EQ(reversed.left, 0x8000);
    EXPECT_EQ(reversed.bottom, -2 * kFixedOne);
    EXPECT_EQ(reversed.right, 612 * kFixedOne);
    EXPECT_EQ(reversed.top, 792 * kFixedOne);
    for (const char* broken : {"null", "[0 0 10]", "[0 0 /Ten 10]", "(box)"}) {
        const FixedRect letter = fixedRectFromBox(QPDFObjectHandle::parse(broken));
        EXPECT_EQ(letter.right, 612 * kFixedOne) << broken;
        EXPECT_EQ(letter.top, 792 * kFixedOne) << broken;
    }
}

}  // namespace
}  // namespace host
