# "rpncalc --version" and "rpncalc -V" show the CMake project's version, on
# standard output, and end with status 0.
cmake_minimum_required(VERSION 3.22)

foreach(option --version -V)
  execute_process(COMMAND ${PROGRAM} ${option}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT "${out}" STREQUAL "rpncalc ${VERSION}\n" OR NOT "${err}" STREQUAL "")
    message(FATAL_ERROR "rpncalc ${option}: status ${status}, output '${out}', error '${err}'; "
                        "expected 'rpncalc ${VERSION}' and a line end, status 0")
  endif()
endforeach()
