// The few Windows calls the plug-in makes, and small stand-ins for them on
// other systems: the import trace goes to the debugger output there, which
// on Linux is standard error.
#pragma once

#include <cstddef>

namespace ortheo::win {

// Formats into `buffer`, writing at most `size` bytes including the
// terminating zero (the bounded sibling of wsprintfA).
int wnsprintfA(char* buffer, int size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void OutputDebugStringA(const char* text);

}  // namespace ortheo::win
