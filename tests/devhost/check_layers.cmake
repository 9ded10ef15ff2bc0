# pphost is built in layers, bottom first. A file may include its own folder
# and the layers below its own; an include that points up, or across to
# another folder of the same layer, is an error. The value headers at the top
# of devhost/ (json.h, presented_image.h, entry_points.h) lie below every
# layer.
#
#   cmake -DDEVHOST=DIR -P check_layers.cmake
#
# Lists every include that breaks the order and fails when there is one.
cmake_minimum_required(VERSION 3.25)

set(layers
    "runtime,gl,glcalls" # loop, clock, vars, instances; native GL contexts; the GL call record
    "output" # the output lines
    "browser" # the PPB interfaces the module calls
    "page" # the page's ops and pictures
    "host" # host.h and host.cpp: the in-process host
    "serve" # pphost serve
    "main") # main.cpp and command_line.*: the program

if(NOT IS_DIRECTORY "${DEVHOST}")
  message(FATAL_ERROR "usage: cmake -DDEVHOST=DIR -P check_layers.cmake")
endif()

# The layer of a path below devhost/: its folder; host or main for the files
# at the top that make those; "values" for the value headers there.
function(layer_of path out)
  if(path MATCHES "^([^/]+)/")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(path MATCHES "^host\\.")
    set(${out} "host" PARENT_SCOPE)
  elseif(path MATCHES "^(main|command_line)\\.")
    set(${out} "main" PARENT_SCOPE)
  else()
    set(${out} "values" PARENT_SCOPE)
  endif()
endfunction()

# Its place in `layers`, from 0; -1 for the value headers, "" for a folder of
# no layer.
function(rank_of layer out)
  set(rank -1)
  set(index 0)
  foreach(entry IN LISTS layers)
    string(REPLACE "," ";" names "${entry}")
    if(layer IN_LIST names)
      set(rank ${index})
    endif()
    math(EXPR index "${index} + 1")
  endforeach()
  if(rank EQUAL -1 AND NOT layer STREQUAL "values")
    set(rank "")
  endif()
  set(${out} "${rank}" PARENT_SCOPE)
endfunction()

set(wrong "")
file(GLOB_RECURSE files RELATIVE "${DEVHOST}" "${DEVHOST}/*.h" "${DEVHOST}/*.cpp")
foreach(file IN LISTS files)
  layer_of("${file}" from)
  rank_of("${from}" fromRank)
  if(fromRank STREQUAL "")
    list(APPEND wrong "devhost/${file}: folder ${from}/ is in no layer of this check")
    continue()
  endif()
  file(STRINGS "${DEVHOST}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]devhost/")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[^\"<]*[\"<]devhost/([^\">]*).*$" "\\1" target "${line}")
    layer_of("${target}" to)
    rank_of("${to}" toRank)
    if(NOT to STREQUAL from AND (toRank STREQUAL "" OR NOT toRank LESS fromRank))
      list(APPEND wrong "devhost/${file} (${from}) includes devhost/${target} (${to})")
    endif()
  endforeach()
endforeach()

if(wrong)
  list(JOIN wrong "\n" text)
  message(NOTICE "${text}")
  message(FATAL_ERROR "includes against pphost's layers")
endif()
list(LENGTH files count)
message(STATUS "pphost's layers: ${count} files, every include points down")
