// The few Windows calls the plug-in makes, and small stand-ins for them on
// other systems: the import trace goes to the debugger output there, which
// on Linux is standard error; bitmaps come from the resources built into
// the library.
#pragma once

#include <cstddef>

namespace ortheo::win {

// Formats into `buffer`, writing at most `size` bytes including the
// terminating zero (the bounded sibling of wsprintfA).
int wnsprintfA(char* buffer, int size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void OutputDebugStringA(const char* text);

// A bitmap resource of the plug-in's module; null when there is no such
// resource. DeleteObject frees it.
void* LoadBitmapA(void* moduleInstance, int resource);
int DeleteObject(void* object);

// How many loaded bitmaps have not been deleted yet.
int liveBitmapsForTesting();

// The bytes of bitmap resource 106 (a BMP file), built in from resources/.
extern const unsigned char kButtonBitmapBytes[];
extern const std::size_t kButtonBitmapSize;

}  // namespace ortheo::win
