// The drawing operations the report's sections use: text pieces, stroked
// rectangles, the report font and path styles. Positions and sizes are whole
// points, x from the left edge and y downwards from the top edge of the page
// box; these operations turn them into the host's 16.16 values.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/host_services.h"

namespace ortheo {

constexpr std::int32_t runMode = 1;   // the text is a run of text
constexpr std::int32_t charMode = 2;  // the text is a single character

// A whole number of points as 16.16, clamped beyond +-32767 instead of wrapping.
host::Fixed fix(std::int64_t points);
// A real number as 16.16: r * 65536 + 0.5, cut towards zero.
host::Fixed fixReal(double value);

// Adds `text` to the text element with its top-left corner at (x, y), set
// `height` points tall and `width` points wide.
void WriteText(host::Handle textElement, std::int32_t mode, std::string text, host::Handle font, std::int32_t x,
               std::int32_t y, std::int32_t width, std::int32_t height);

// Appends a stroked rectangle, top-left corner at (x, y), reaching down.
int AddRectangle(host::Handle path, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// A new page-content font for report text (Times-Roman); the caller owns it.
host::Handle MakeReportFont();

// Gives the element a graphic state: this line width and stroke colour (RGB).
int SetPathStyle(host::Handle element, double lineWidth, double red, double green, double blue);

}  // namespace ortheo
