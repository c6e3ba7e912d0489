#include "report/line_buffer.h"

#include <cstdarg>

namespace ortheo {

void formatCut(char* buffer, std::size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, capacity, format, args);
    va_end(args);
}

}  // namespace ortheo
