# Optional coverage build: -DTALLWICK_COVERAGE=ON instruments every target
# for clang's source-based coverage (scripts/coverage.sh builds and reports it).
if(TALLWICK_COVERAGE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TALLWICK_COVERAGE needs clang (CC=clang-14 CXX=clang++-14; see scripts/coverage.sh)")
  endif()
  add_compile_options(-fprofile-instr-generate -fcoverage-mapping)
  add_link_options(-fprofile-instr-generate)
endif()
