# Runs one golden transcript: feeds NAME.in to the program and compares its
# standard output byte for byte with NAME.out, its standard error with
# NAME.err where that file exists, and its exit status with NAME.status (0
# when that file is absent). NAME.args, where it exists, holds the program's
# arguments, one per line (no argument may hold a ";", CMake's list
# separator). The program runs in the transcripts' folder, so a file operand
# names a data file there by its plain name (column.txt). Prints a readable
# diff on failure.

get_filename_component(dir ${INPUT} DIRECTORY)
get_filename_component(name ${INPUT} NAME_WE)
set(expected_out ${dir}/${name}.out)
set(expected_status 0)
if(EXISTS ${dir}/${name}.status)
  file(READ ${dir}/${name}.status expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()

set(args "")
if(EXISTS ${dir}/${name}.args)
  file(READ ${dir}/${name}.args args_text)
  string(REGEX REPLACE "\n$" "" args_text "${args_text}")
  string(REPLACE "\n" ";" args "${args_text}")
endif()

file(MAKE_DIRECTORY ${WORKDIR})
set(actual_out ${WORKDIR}/${name}.actual)
set(actual_err ${WORKDIR}/${name}.actual-err)
execute_process(COMMAND ${PROGRAM} ${args}
                WORKING_DIRECTORY ${dir}
                INPUT_FILE ${INPUT}
                OUTPUT_FILE ${actual_out}
                ERROR_FILE ${actual_err}
                RESULT_VARIABLE status
                TIMEOUT 60)

set(failed FALSE)
find_program(DIFF diff)
find_program(CAT cat)
# Compares one channel's bytes with the expected file, with a diff on failure.
function(compare_channel what expected actual)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${actual}
                  RESULT_VARIABLE differs)
  if(differs)
    set(failed TRUE PARENT_SCOPE)
    message("${what} differs from ${expected} (- expected, + actual; CR shown as ^M):")
    if(DIFF AND CAT)
      execute_process(COMMAND ${DIFF} -u --label expected --label actual ${expected} ${actual}
                      COMMAND ${CAT} -A)
    endif()
  endif()
endfunction()
compare_channel("Standard output" ${expected_out} ${actual_out})
if(EXISTS ${dir}/${name}.err)
  compare_channel("Standard error" ${dir}/${name}.err ${actual_err})
endif()
if(NOT "${status}" STREQUAL "${expected_status}")
  set(failed TRUE)
  file(READ ${actual_err} err_text)
  message("Exit status ${status}, expected ${expected_status}. Standard error:\n${err_text}")
endif()
if(failed)
  message(FATAL_ERROR "transcript ${name} failed")
endif()
