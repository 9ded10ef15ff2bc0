# What `cmake --install <build> [--prefix DIR]` puts under the prefix, in the
# GNUInstallDirs places:
#
#   lib/  (CMAKE_INSTALL_LIBDIR; bin/ for Windows DLLs)
#     the module, tallwick-ppapi-render, and the log library it imports; the
#     module's RUNPATH is $ORIGIN, so it finds tallwick-log beside itself
#     wherever the two are put;
#     the frame-writer library, shared and static;
#   include/tallwick_frame_writer.h
#   lib/pkgconfig/tallwick-frame-writer.pc
#   lib/cmake/TallwickFrameWriter/   find_package(TallwickFrameWriter):
#     tallwick::frame-writer and tallwick::frame-writer-static, with a
#     version file;
#   share/doc/tallwick-ppapi-render/frame-layout.md
#
# Components: "runtime" (the module, the log library, the shared writer) and
# "development" (the header, the static archive, the two package files).
# pphost, frame-publisher, tallwick-shell, the demos, the tests and the
# benchmarks are tools for working on this tree and stay in it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TALLWICK_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TallwickFrameWriter)

# Nothing links the module or the log library but the module itself, so their
# Windows import libraries stay in the build tree.
install(TARGETS tallwick-ppapi-render tallwick-log
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development EXCLUDE_FROM_ALL)

install(TARGETS tallwick-frame-writer tallwick-frame-writer-static
  EXPORT TallwickFrameWriterTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/writer/include/tallwick_frame_writer.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(FILES ${PROJECT_SOURCE_DIR}/docs/frame-layout.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)

# The CMake package.
install(EXPORT TallwickFrameWriterTargets
  NAMESPACE tallwick::
  DESTINATION ${TALLWICK_CMAKE_PACKAGE_DIR} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TallwickFrameWriterConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TallwickFrameWriterConfig.cmake
  INSTALL_DESTINATION ${TALLWICK_CMAKE_PACKAGE_DIR})
# Below 1.0 a minor version may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TallwickFrameWriterConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TallwickFrameWriterConfig.cmake
              ${PROJECT_BINARY_DIR}/TallwickFrameWriterConfigVersion.cmake
  DESTINATION ${TALLWICK_CMAKE_PACKAGE_DIR} COMPONENT development)

# The pkg-config file finds the prefix from where it lies (${pcfiledir}), so
# that a tree installed with --prefix, or moved, still holds together.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(TALLWICK_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(TALLWICK_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  file(RELATIVE_PATH TALLWICK_PC_UP /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
  string(REGEX REPLACE "/$" "" TALLWICK_PC_UP "${TALLWICK_PC_UP}")
  set(TALLWICK_PC_PREFIX "\${pcfiledir}/${TALLWICK_PC_UP}")
  set(TALLWICK_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(TALLWICK_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(TALLWICK_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
# What the static archive needs beyond itself (pkg-config --static): the C++
# runtime, as it is C++ inside, and on Linux librt (shm_open).
set(TALLWICK_PC_LIBS_PRIVATE "-lstdc++ -lm")
set(TALLWICK_PC_CFLAGS_PRIVATE_LINE "")
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  string(APPEND TALLWICK_PC_LIBS_PRIVATE " -lrt")
endif()
if(WIN32)
  # The header's declarations differ for the static archive there.
  set(TALLWICK_PC_CFLAGS_PRIVATE_LINE "Cflags.private: -DTALLWICK_FRAME_WRITER_STATIC")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tallwick-frame-writer.pc.in
  ${PROJECT_BINARY_DIR}/tallwick-frame-writer.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tallwick-frame-writer.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
