// Reading a written report back, as tests check it: the strings each page
// shows, in content order, and the outline as titles with their depth and
// target page.
#pragma once

#include <string>
#include <vector>

namespace ortheo::testing {

// The strings that the page's content stream shows (Tj), in order, with the
// font resource name each is shown in and the origin of its text matrix
// (Tm's e and f: x, and the baseline's height above the bottom edge).
struct ShownString {
    std::string font;
    std::string text;
    double x = 0;
    double y = 0;
};
std::vector<ShownString> shownStrings(const std::string& path, int pageIndex);

// The rectangles (re) the page's content stream strokes, in order, with the
// line width (w) they are stroked with.
struct StrokedRectangle {
    double x, y, width, height, lineWidth;
    friend bool operator==(const StrokedRectangle&, const StrokedRectangle&) = default;
};
std::vector<StrokedRectangle> strokedRectangles(const std::string& path, int pageIndex);

// The outline, depth first: "Title" indented by two spaces a level, then
// " -> page N" (1-based) when the entry leads to a page.
std::vector<std::string> outlineLines(const std::string& path);

int pageCount(const std::string& path);

}  // namespace ortheo::testing
