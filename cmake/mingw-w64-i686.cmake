# Cross build for 32-bit Windows (the product DLLs, and the tools and tests
# that 32-bit Wine runs) with Debian's MinGW-w64 GCC, POSIX thread model.
set(TALLWICK_MINGW_TRIPLET i686-w64-mingw32)
# Floating point in SSE2 registers, as on x86_64: with the x87 unit's wider
# intermediates, the gallery's texture windows came out a few 1e-9 off the
# values the 64-bit builds compute (the GL-call comparison with Linux shows
# it). Every x86 machine the product runs on has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
