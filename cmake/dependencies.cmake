# All dependencies are Debian 12 packages (scripts/setup.sh installs them).
find_package(Threads REQUIRED)
find_package(fmt REQUIRED)
find_package(spdlog REQUIRED)

if(TALLWICK_TESTS)
  find_package(GTest REQUIRED)
endif()
if(TALLWICK_BENCH)
  find_package(benchmark REQUIRED)
endif()
