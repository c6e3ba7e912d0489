// The plug-in's Windows calls on other systems: small stand-ins.
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

namespace {

constexpr int kButtonBitmapResource = 106;

struct Bitmap {
    const unsigned char* bytes;
    std::size_t size;
};

int liveBitmaps = 0;

}  // namespace

void* LoadBitmapA(void*, int resource) {
    if (resource != kButtonBitmapResource) return nullptr;
    ++liveBitmaps;
    return new Bitmap{kButtonBitmapBytes, kButtonBitmapSize};
}

int DeleteObject(void* object) {
    if (object == nullptr) return 0;
    delete static_cast<Bitmap*>(object);
    --liveBitmaps;
    return 1;
}

int liveBitmapsForTesting() { return liveBitmaps; }

}  // namespace ortheo::win
