// The tokenizer: where tokens start and end, comments, and the stored length.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tabulorum/pdf/pdf_cmap.h"

namespace ortheo {
namespace {

using namespace std::literals;

std::vector<std::string> tokensOf(const std::string& text) {
    std::vector<std::string> tokens;
    std::size_t position = 0;
    std::string_view token;
    while (nextToken(text.data(), position, text.size(), token)) {
        tokens.emplace_back(token);
    }
    return tokens;
}

using Tokens = std::vector<std::string>;

TEST(CMapTokenizer, ClassifiesTheWhiteSpaceAndDelimiterBytesOfPdf) {
    std::string whiteSpace;
    std::string delimiters;
    for (int c = 0; c < 256; ++c) {
        if (charClass[c] == CharClass::whiteSpace) {
            whiteSpace += static_cast<char>(c);
        } else if (charClass[c] == CharClass::delimiter) {
            delimiters += static_cast<char>(c);
        }
    }
    EXPECT_EQ(whiteSpace, "\0\t\n\f\r "s);
    EXPECT_EQ(delimiters, "%()/<>[]{}");
}

TEST(CMapTokenizer, EndsARegularTokenAtWhiteSpaceOrAnyDelimiter) {
    EXPECT_EQ(tokensOf("/CMapName/Adobe-Identity-UCS def\0x"s), (Tokens{"/CMapName", "/Adobe-Identity-UCS", "def", "x"}));
    EXPECT_EQ(tokensOf("[<00>]{a}b)c"), (Tokens{"[", "<00>", "]", "{a", "}b", ")c"}));
    EXPECT_EQ(tokensOf("\xC3\xA9t\xC3\xA9 1"), (Tokens{"\xC3\xA9t\xC3\xA9", "1"}));
}

TEST(CMapTokenizer, SkipsCommentsUpToTheirLineEnd) {
    EXPECT_EQ(tokensOf("a% one\rb %two\nc%three"), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(tokensOf("(50%) <4%1>"), (Tokens{"(50%)", "<4%1>"}));
}

TEST(CMapTokenizer, ReadsAStringTokenToItsFirstUnescapedClosingParenthesis) {
    EXPECT_EQ(tokensOf(R"((a\)b) x)"), (Tokens{R"((a\)b))", "x"}));
    EXPECT_EQ(tokensOf(R"((a\\)b) x)"), (Tokens{R"((a\\)b))", "x"}));  // the second backslash escapes again
    EXPECT_EQ(tokensOf("(a(b)c)"), (Tokens{"(a(b)", "c", ")"}));       // no nesting
}

TEST(CMapTokenizer, ReadsAHexTokenToItsFirstClosingBracket) {
    EXPECT_EQ(tokensOf("<00 41\n42>x"), (Tokens{"<00 41\n42>", "x"}));
    EXPECT_EQ(tokensOf("<</Ordering (UCS)>>"), (Tokens{"<</Ordering (UCS)>", ">"}));
}

TEST(CMapTokenizer, EndsAnyTokenAtTheEndOfTheText) {
    EXPECT_EQ(tokensOf("(abc"), (Tokens{"(abc"}));
    EXPECT_EQ(tokensOf("x <00"), (Tokens{"x", "<00"}));
}

TEST(CMapTokenizer, FindsNoTokenInWhiteSpaceAndCommentsAndLeavesTheTokenAlone) {
    for (const std::string& text : {""s, " \t\r\n\0"s, "  % only a comment"s}) {
        std::size_t position = 0;
        std::string_view token = "kept";
        EXPECT_FALSE(nextToken(text.data(), position, text.size(), token));
        EXPECT_EQ(token, "kept");
    }
    std::size_t position = 5;
    std::string_view token;
    EXPECT_FALSE(nextToken("abc", position, 3, token));
}

TEST(CMapTokenizer, StoresTheFirst998BytesOfALongTokenAndConsumesTheRest) {
    const std::string name = "/" + std::string(1200, 'n');
    const Tokens tokens = tokensOf(name + " next");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0], name.substr(0, 998));
    EXPECT_EQ(tokens[1], "next");
}

TEST(CMapTokenizer, EndsATokensValueAtANulByte) {
    EXPECT_EQ(tokenValue("(a\0b)"sv), "(a");
    EXPECT_EQ(tokenValue("(ab)"), "(ab)");
}

}  // namespace
}  // namespace ortheo
