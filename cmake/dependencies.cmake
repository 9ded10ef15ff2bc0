# All dependencies are Debian 12 packages (scripts/setup.sh installs them).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows-dependencies.cmake)
  return()
endif()

find_package(Threads REQUIRED)
find_package(fmt REQUIRED)
find_package(spdlog REQUIRED)
find_package(nlohmann_json REQUIRED)      # pphost, frame-publisher
find_package(CLI11 CONFIG REQUIRED)       # their command lines

if(TALLWICK_SHELL)
  find_package(Qt5 5.15 REQUIRED COMPONENTS WebEngineWidgets)
endif()

if(TALLWICK_TESTS)
  find_package(GTest REQUIRED)
endif()
if(TALLWICK_BENCH)
  find_package(benchmark REQUIRED)
endif()
