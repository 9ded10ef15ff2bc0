# Cross build for 32-bit Windows (the product DLLs, and the tools and tests
# that 32-bit Wine runs) with Debian's MinGW-w64 GCC, POSIX thread model.
set(TALLWICK_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
