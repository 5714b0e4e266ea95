cmake_minimum_required(VERSION 3.25)

# Fails when a program names a library search path of its own (RPATH or RUNPATH). Everything
# the programs link is a system library; an empty entry in such a path, as the build tree pads
# it, makes the loader look for every library in the current folder first.
# Run as: cmake -DPROGRAMS=<file;file...> -P check_no_search_path.cmake

find_program(READELF readelf REQUIRED)
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND ${READELF} -d ${program} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "readelf cannot read ${program}")
  endif()
  if(dynamic MATCHES "\\((RPATH|RUNPATH)\\)[^\n]*")
    message(FATAL_ERROR "${program} names a library search path: ${CMAKE_MATCH_0}")
  endif()
endforeach()
