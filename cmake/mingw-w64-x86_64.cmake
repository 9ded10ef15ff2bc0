# Cross build for 64-bit Windows (the same DLLs, tools and tests, run under
# wine64) with Debian's MinGW-w64 GCC, POSIX thread model.
set(TALLWICK_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
