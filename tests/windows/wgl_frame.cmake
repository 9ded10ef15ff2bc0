# A drawn frame under Windows: frame-publisher.exe writes an I420 and an NV12
# frame, the module draws them in pphost.exe with `--gl wgl` under Wine (on an
# Xvfb with GLX that check_wgl_frame.sh starts), and every pixel must match
# the Linux pphost's picture of the same frames within 1 in each channel
# (both drawn by Mesa's softpipe; they came out equal).
# Needs the Linux build's bin/ (TALLWICK_LINUX_BIN, which
# scripts/build-windows.sh passes). The pictures stay in wgl_frame/ of this
# folder.
if(NOT (TALLWICK_WINDOWS_TOOLS AND CMAKE_CROSSCOMPILING_EMULATOR))
  return()
endif()
if(NOT TALLWICK_LINUX_BIN OR NOT EXISTS ${TALLWICK_LINUX_BIN}/pphost)
  message(STATUS "Windows WGL frame test: no Linux pphost in '${TALLWICK_LINUX_BIN}'; build Linux first")
  return()
endif()

set(_s "$<SEMICOLON>")  # a stream's own separator, kept through add_test
add_test(NAME windows_wgl_frame
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_wgl_frame.sh ${TALLWICK_LINUX_BIN}
          $<TARGET_FILE:frame-publisher> $<TARGET_FILE:pphost> ${CMAKE_CURRENT_SOURCE_DIR}/wgl_frame.jsonl
          ${CMAKE_CURRENT_BINARY_DIR}/wgl_frame 1
          "name=/tallwick-wgl-i420${_s}uid=u1${_s}sid=s1${_s}width=160${_s}height=90${_s}pattern=bars${_s}label=I420"
          "name=/tallwick-wgl-nv12${_s}uid=u2${_s}sid=s2${_s}width=160${_s}height=90${_s}format=NV12${_s}pattern=tile:200,60,40${_s}label=NV12")
set_tests_properties(windows_wgl_frame PROPERTIES
  LABELS windows ENVIRONMENT "${TALLWICK_WINE_ENV};TALLWICK_LAUNCHER=${CMAKE_CROSSCOMPILING_EMULATOR}"
  FIXTURES_REQUIRED wine_session RUN_SERIAL ON TIMEOUT 300)
