#include "plugin/win_platform.h"

#include <cstdarg>
#include <cstdio>

namespace ortheo::win {

int wnsprintfA(char* buffer, int size, const char* format, ...) {
    if (buffer == nullptr || size <= 0) return 0;
    va_list args;
    va_start(args, format);
    const int wanted = std::vsnprintf(buffer, static_cast<std::size_t>(size), format, args);
    va_end(args);
    if (wanted < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return wanted < size ? wanted : size - 1;
}

void OutputDebugStringA(const char* text) {
    if (text == nullptr) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}

}  // namespace ortheo::win
