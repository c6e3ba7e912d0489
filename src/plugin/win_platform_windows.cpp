// The plug-in's Windows calls, on Windows: the system's own.
#include "plugin/win_platform.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdarg>

namespace ortheo::win {

int wnsprintfA(char* buffer, int size, const char* format, ...) {
    if (buffer == nullptr || size <= 0) return 0;
    va_list args;
    va_start(args, format);
    const int written = ::wvnsprintfA(buffer, size, format, args);
    va_end(args);
    if (written >= 0) return written;
    // Cut short: what was written stays, ended within the buffer.
    buffer[size - 1] = '\0';
    return lstrlenA(buffer);
}

void OutputDebugStringA(const char* text) {
    if (text != nullptr) ::OutputDebugStringA(text);
}

void* LoadBitmapA(void* moduleInstance, int resource) {
    return ::LoadBitmapA(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEA(resource));
}

int DeleteObject(void* object) {
    if (object == nullptr) return 0;
    return ::DeleteObject(static_cast<HGDIOBJ>(object)) ? 1 : 0;
}

}  // namespace ortheo::win
