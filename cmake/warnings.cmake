# Project-wide warning set; TALLWICK_WERROR turns them into errors (CI does).
# No -Wnull-dereference: GCC 12 reports false positives inside nlohmann-json at -O2.
add_library(tallwick_warnings INTERFACE)
target_compile_options(tallwick_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough)
if(TALLWICK_WERROR)
  target_compile_options(tallwick_warnings INTERFACE -Werror)
endif()
