// The --select-text argument: page lists become ranges checked against the
// document's page count, and every bad one says what is wrong.

#include <gtest/gtest.h>

#include "app/text_selection_argument.h"

namespace ortheo {
namespace {

using host::PageRange;

// The problem the argument gives for a document of ten pages.
std::string problemWithTenPages(const std::string& text) {
    const auto parsed = host::parseTextSelection(text, 10);
    EXPECT_FALSE(parsed.selection) << text;
    return parsed.problem;
}

TEST(TextSelectionArgument, PagesBecomeZeroBasedRangesAsWritten) {
    const auto parsed = host::parseTextSelection("2,4-5,3-3,5-10:0,0,300.5,-4e2", 10);
    ASSERT_TRUE(parsed.selection) << parsed.problem;
    EXPECT_EQ(parsed.selection->pages, (std::vector<PageRange>{{1, 1}, {3, 4}, {2, 2}, {4, 9}}));
    ASSERT_TRUE(parsed.selection->area);
    EXPECT_EQ(parsed.selection->area->x1, 300.5);
    EXPECT_EQ(parsed.selection->area->y1, -400);
    EXPECT_FALSE(host::parseTextSelection("1", 1).selection->area);
}

TEST(TextSelectionArgument, PagesOutsideTheDocumentAreRefusedWithoutExpandingAnything) {
    EXPECT_EQ(problemWithTenPages("11"), "page 11 is beyond the document's 10 pages");
    EXPECT_EQ(problemWithTenPages("2147483647"), "page 2147483647 is beyond the document's 10 pages");
    EXPECT_EQ(problemWithTenPages("1-2147483647"), "page 2147483647 is beyond the document's 10 pages");
    EXPECT_EQ(problemWithTenPages("4294967297"), "page 4294967297 is beyond the document's 10 pages")
        << "not wrapped to page 1";
    EXPECT_EQ(problemWithTenPages("3,99999999999999999999999999"),
              "page 99999999999999999999999999 is beyond the document's 10 pages");
    EXPECT_EQ(problemWithTenPages("0"), "page 0 does not exist: pages count from 1");
    EXPECT_EQ(problemWithTenPages("0-3"), "page 0 does not exist: pages count from 1");
    EXPECT_EQ(problemWithTenPages("5-3"), "the range 5-3 runs backwards");
}

TEST(TextSelectionArgument, WhatIsNoPageNumberIsNamed) {
    EXPECT_EQ(problemWithTenPages("-3"), "\"-3\" is not a page or a range of pages, such as 3 or 3-5");
    EXPECT_EQ(problemWithTenPages("1--3"), "\"1--3\" is not a page or a range of pages, such as 3 or 3-5");
    EXPECT_EQ(problemWithTenPages("+3"), "\"+3\" is not a page or a range of pages, such as 3 or 3-5");
    EXPECT_EQ(problemWithTenPages("1,,2"), "\"\" is not a page or a range of pages, such as 3 or 3-5");
    EXPECT_EQ(problemWithTenPages("1-"), "\"1-\" is not a page or a range of pages, such as 3 or 3-5");
    const std::string expected = "expected PAGES[:X0,Y0,X1,Y1], such as 1,3-5:0,0,300,400";
    EXPECT_EQ(problemWithTenPages(""), expected);
    EXPECT_EQ(problemWithTenPages("1,"), expected);
    EXPECT_EQ(problemWithTenPages("1:0,0,1"), expected);
    EXPECT_EQ(problemWithTenPages("1:0,0,1,nan"), expected);
    EXPECT_EQ(problemWithTenPages("1:0,0,1,1,1"), expected);
}

}  // namespace
}  // namespace ortheo
