# Project-wide warning set; TALLWICK_WERROR turns them into errors (CI does).
add_library(tallwick_warnings INTERFACE)
target_compile_options(tallwick_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(TALLWICK_WERROR)
  target_compile_options(tallwick_warnings INTERFACE -Werror)
endif()
