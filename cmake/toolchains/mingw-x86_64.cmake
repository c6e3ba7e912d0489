# Cross build for 64-bit Windows with mingw-w64 (Debian's
# g++-mingw-w64-x86-64): the same plug-in and the test host that loads it
# under wine.
set(ORTHEO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
