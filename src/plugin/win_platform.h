// The few Windows calls the plug-in makes. On Windows they are the system's
// own (win_platform_windows.cpp); elsewhere small stand-ins take their place
// (win_platform.cpp): the import trace goes to the debugger output there,
// which on Linux is standard error, and bitmaps come from the resources
// built into the library.
#pragma once

#include <cstddef>

namespace ortheo::win {

// Formats into `buffer`, writing at most `size` bytes including the
// terminating zero (the bounded sibling of wsprintfA). Knows the
// conversions %s, %c, %d, %u and %x, with widths and the l prefix.
int wnsprintfA(char* buffer, int size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void OutputDebugStringA(const char* text);

// A bitmap resource of the plug-in's module; null when there is no such
// resource. DeleteObject frees it.
void* LoadBitmapA(void* moduleInstance, int resource);
int DeleteObject(void* object);

#if !defined(_WIN32)
// How many loaded bitmaps have not been deleted yet.
int liveBitmapsForTesting();

// The bytes of bitmap resource 106 (a BMP file), built in from resources/.
extern const unsigned char kButtonBitmapBytes[];
extern const std::size_t kButtonBitmapSize;
#endif

}  // namespace ortheo::win
