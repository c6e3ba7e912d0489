#include "rendered_page.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>

#include "support/run_command.h"
#include "support/sample_pdf.h"

namespace ortheo::testing {
namespace {

constexpr int kPixelsPerPoint = 2;
constexpr std::uint8_t kMidGrey = 128;

}  // namespace

RenderedPage::RenderedPage(const std::string& pdf, int pageIndex) {
    const std::string page = std::to_string(pageIndex + 1);
    const std::string prefix = temporaryPath("rendered-page-" + page);
    const CommandResult rendered =
        runCommand({"/usr/bin/pdftoppm", "-gray", "-r", std::to_string(72 * kPixelsPerPoint), "-f", page, "-l", page,
                    "-singlefile", pdf, prefix});
    complaints_ = rendered.err;
    if (rendered.exitStatus != 0) throw std::runtime_error("pdftoppm failed: " + rendered.err);

    // A binary PGM: "P5", width, height, the largest value (255), one byte of
    // white space, then the pixels.
    const std::string image = fileBytes(prefix + ".pgm");
    std::istringstream header(image);
    std::string magic;
    int largest = 0;
    header >> magic >> width_ >> height_ >> largest;
    const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
    const std::size_t size = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    if (magic != "P5" || largest != 255 || image.size() < start + size) throw std::runtime_error("not a grey PGM");
    pixels_.assign(image.begin() + static_cast<std::ptrdiff_t>(start),
                   image.begin() + static_cast<std::ptrdiff_t>(start + size));
}

Pixels RenderedPage::area(int x, int y, int width, int height) const {
    Pixels chosen;
    for (int row = y * kPixelsPerPoint; row < (y + height) * kPixelsPerPoint; ++row) {
        for (int column = x * kPixelsPerPoint; column < (x + width) * kPixelsPerPoint; ++column) {
            const bool inside = row >= 0 && row < height_ && column >= 0 && column < width_;
            chosen.push_back(inside ? pixels_[static_cast<std::size_t>(row) * width_ + column] : 255);
        }
    }
    return chosen;
}

bool isBlank(const Pixels& area) {
    return std::all_of(area.begin(), area.end(), [](std::uint8_t pixel) { return pixel >= kMidGrey; });
}

}  // namespace ortheo::testing
