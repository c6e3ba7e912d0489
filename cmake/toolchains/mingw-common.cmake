# What both mingw-w64 toolchains share; ORTHEO_MINGW_TRIPLET names the target.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${ORTHEO_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${ORTHEO_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${ORTHEO_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ORTHEO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -O2, as the Linux build: at -O3, GCC 12 warns falsely (-Wrestrict) inside
# std::string concatenation, which the warnings-as-errors build refuses.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a release build")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of a release build")
