# Dependencies of the MinGW-w64 cross builds, all from Debian 12 packages:
# the header-only libraries come from the build machine's /usr/include, and
# GoogleTest is compiled from Debian's source package.
#
# Only the folders of those libraries are put on the include path (through a
# folder of links in the build tree), never /usr/include itself, whose C
# library headers are the Linux ones.
set(TALLWICK_HOST_INCLUDE /usr/include CACHE PATH "Where the header-only libraries' headers are")
set(_tallwick_win_include ${PROJECT_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${_tallwick_win_include})

function(tallwick_host_headers target)
  cmake_parse_arguments(H "" "" "FOLDERS;DEFINITIONS" ${ARGN})
  foreach(folder IN LISTS H_FOLDERS)
    if(NOT EXISTS ${TALLWICK_HOST_INCLUDE}/${folder})
      message(FATAL_ERROR "${TALLWICK_HOST_INCLUDE}/${folder} is missing (scripts/setup.sh installs it)")
    endif()
    file(CREATE_LINK ${TALLWICK_HOST_INCLUDE}/${folder} ${_tallwick_win_include}/${folder} SYMBOLIC)
  endforeach()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${_tallwick_win_include})
  target_compile_definitions(${target} INTERFACE ${H_DEFINITIONS})
endfunction()

tallwick_host_headers(fmt::fmt FOLDERS fmt DEFINITIONS FMT_HEADER_ONLY)
tallwick_host_headers(spdlog::spdlog FOLDERS spdlog DEFINITIONS SPDLOG_HEADER_ONLY SPDLOG_FMT_EXTERNAL)
target_link_libraries(spdlog::spdlog INTERFACE fmt::fmt)
tallwick_host_headers(nlohmann_json::nlohmann_json FOLDERS nlohmann)
tallwick_host_headers(CLI11::CLI11 FOLDERS CLI)

if(TALLWICK_TESTS)
  set(TALLWICK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  # Defines GTest::gtest, GTest::gmock and GTest::gtest_main.
  add_subdirectory(${TALLWICK_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
