// A report page as poppler's pdftoppm renders it, in shades of grey at two
// pixels a point, so that tests can look at what a reader really sees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ortheo::testing {

using Pixels = std::vector<std::uint8_t>;

class RenderedPage {
public:
    // Renders the page (0-based) of the PDF; what pdftoppm wrote on standard
    // error is kept.
    RenderedPage(const std::string& pdf, int pageIndex);

    // The pixels of the area with its top-left corner at (x, y), in points
    // from the page's left and top edges, row by row.
    Pixels area(int x, int y, int width, int height) const;

    const std::string& complaints() const { return complaints_; }

private:
    int width_ = 0;
    int height_ = 0;
    Pixels pixels_;
    std::string complaints_;
};

// True when no pixel of the area is darker than mid-grey.
bool isBlank(const Pixels& area);

}  // namespace ortheo::testing
