// The two number conversions of the parser.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {
namespace {

using namespace std::literals;

TEST(CMapHexValue, ReadsTheDigitsAfterTheFirstCharacter) {
    EXPECT_EQ(hexValue("<0041>"), 0x41u);
    EXPECT_EQ(hexValue("<00660069>"), 0x660069u);  // two UTF-16 units in one number
    EXPECT_EQ(hexValue("<abCD>"), 0xABCDu);
    EXPECT_EQ(hexValue("x41>"), 0x41u);  // the first character is not looked at
    EXPECT_EQ(hexValue("<41g2>"), 0x41u);
}

TEST(CMapHexValue, KeepsTheLastEightDigitsOfALongNumber) {
    EXPECT_EQ(hexValue("<123456789>"), 0x23456789u);
    EXPECT_EQ(hexValue("<" + std::string(30, 'f') + "01234567>"), 0x01234567u);
    EXPECT_EQ(hexValue("<-" + std::string(30, 'f') + "00000001>"), 0xFFFFFFFFu);
}

TEST(CMapHexValue, TakesSignAndPrefixLikeTheCLibrary) {
    EXPECT_EQ(hexValue("< \t\v41>"), 0x41u);
    EXPECT_EQ(hexValue("<-1>"), 0xFFFFFFFFu);
    EXPECT_EQ(hexValue("<+0x1F>"), 0x1Fu);
    EXPECT_EQ(hexValue("<0X>"), 0u);  // the prefix's 0 is a digit
    EXPECT_EQ(hexValue("<0x 41>"), 0u);
    EXPECT_EQ(hexValue("<- 1>"), std::nullopt);
    EXPECT_EQ(hexValue("<+-1>"), std::nullopt);
}

TEST(CMapHexValue, SkipsWhiteSpaceBetweenDigits) {
    EXPECT_EQ(hexValue("<00 41>"), 0x41u);
    EXPECT_EQ(hexValue("<0 0\r\n4\t1 >"), 0x41u);
    EXPECT_EQ(hexValue("<41 g>"), 0x41u);
    EXPECT_EQ(hexValue("<4\0 1>"sv), 0x4u);  // a NUL ends the stored token
}

TEST(CMapHexValue, FailsWithoutADigit) {
    for (const std::string_view token : {"["sv, "<>"sv, "<g1>"sv, "< >"sv, "<-"sv, "<\0 1>"sv}) {
        EXPECT_EQ(hexValue(token), std::nullopt) << token;
    }
}

TEST(CMapHexValue, AgreesWithSscanfWhereSscanfKeepsAllDigits) {
    for (const char* token : {"<0>", "<FFFFFFFF>", "<-80000000>", "<0x0x1>", "<00x1>", "< +0Xab>", "<fedcba9876543210>",
                              "<-0>", "<1 >", "(12)"}) {
        unsigned int expected = 0;
        ASSERT_EQ(std::sscanf(token + 1, "%x", &expected), 1) << token;
        EXPECT_EQ(hexValue(token), expected) << token;
    }
}

TEST(CMapDecimalValue, ReadsAnOptionallySignedNumberAndWrapsModulo2To32) {
    EXPECT_EQ(decimalValue("12"), 12u);
    EXPECT_EQ(decimalValue(" \t+7x"), 7u);
    EXPECT_EQ(decimalValue("-3"), 0xFFFFFFFDu);
    EXPECT_EQ(decimalValue("4294967296"), 0u);
    EXPECT_EQ(decimalValue("99999999999999999999999"), 0xF67FFFFFu);
    EXPECT_EQ(decimalValue("<12>"), 0u);
    EXPECT_EQ(decimalValue("- 5"), 0u);
}

}  // namespace
}  // namespace ortheo
