# Runs one golden transcript: feeds NAME.in to the program and compares its
# standard output byte for byte with NAME.out, and its exit status with
# NAME.status (0 when that file is absent). Prints a readable diff on failure.

get_filename_component(dir ${INPUT} DIRECTORY)
get_filename_component(name ${INPUT} NAME_WE)
set(expected_out ${dir}/${name}.out)
set(expected_status 0)
if(EXISTS ${dir}/${name}.status)
  file(READ ${dir}/${name}.status expected_status)
  string(STRIP "${expected_status}" expected_status)
endif()

file(MAKE_DIRECTORY ${WORKDIR})
set(actual_out ${WORKDIR}/${name}.actual)
execute_process(COMMAND ${PROGRAM}
                INPUT_FILE ${INPUT}
                OUTPUT_FILE ${actual_out}
                ERROR_VARIABLE actual_err
                RESULT_VARIABLE status
                TIMEOUT 60)

set(failed FALSE)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected_out} ${actual_out}
                RESULT_VARIABLE differs)
if(differs)
  set(failed TRUE)
  message("Standard output differs from ${expected_out} (- expected, + actual; CR shown as ^M):")
  find_program(DIFF diff)
  find_program(CAT cat)
  if(DIFF AND CAT)
    execute_process(COMMAND ${DIFF} -u --label expected --label actual ${expected_out} ${actual_out}
                    COMMAND ${CAT} -A)
  endif()
endif()
if(NOT "${status}" STREQUAL "${expected_status}")
  set(failed TRUE)
  message("Exit status ${status}, expected ${expected_status}. Standard error:\n${actual_err}")
endif()
if(failed)
  message(FATAL_ERROR "transcript ${name} failed")
endif()
