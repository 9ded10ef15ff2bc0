# Shared part of the MinGW-w64 toolchain files; TALLWICK_MINGW_TRIPLET names
# the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TALLWICK_MINGW_TRIPLET})

set(CMAKE_C_COMPILER ${TALLWICK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLWICK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLWICK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthread go into each binary, so that a plain
# Windows machine needs nothing but its system DLLs (and ours).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run under Wine: the x86_64 build under wine64's loader, the i686 build
# under wine32's (Debian's /usr/lib/wine/wine; a /usr/bin/wine, where the
# wine package puts one, is a script that picks either, so it is not taken).
if(TALLWICK_MINGW_TRIPLET STREQUAL "x86_64-w64-mingw32")
  find_program(TALLWICK_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(TALLWICK_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLWICK_WINE64})
  endif()
elseif(TALLWICK_MINGW_TRIPLET STREQUAL "i686-w64-mingw32")
  find_program(TALLWICK_WINE32 NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
  if(TALLWICK_WINE32)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLWICK_WINE32})
  endif()
endif()
