# Cross build for 32-bit Windows with mingw-w64 (Debian's g++-mingw-w64-i686):
# the Ortheo.api that the viewer loads.
set(ORTHEO_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
