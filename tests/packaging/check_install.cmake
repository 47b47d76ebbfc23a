# Installs the build into a fresh prefix with "cmake --install" and checks
# what lands there: the program, which runs, and the man page, unchanged.
cmake_minimum_required(VERSION 3.22)

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (status ${status}):\n${out}${err}")
endif()

set(failed FALSE)
set(program ${PREFIX}/${BINDIR}/rpncalc)
set(page ${PREFIX}/${MANDIR}/man1/rpncalc.1)
if(NOT EXISTS ${program})
  set(failed TRUE)
  message("not installed: ${program}")
else()
  # The installed program runs: with no input it shows the prompt, ends the
  # line and stops with status 0.
  file(WRITE ${PREFIX}/empty.in "")
  execute_process(COMMAND ${program} INPUT_FILE ${PREFIX}/empty.in
                  OUTPUT_FILE ${PREFIX}/empty.out RESULT_VARIABLE status TIMEOUT 60)
  file(READ ${PREFIX}/empty.out shown HEX) # byte for byte, CR included
  string(HEX " 21Jul03 Enter calc, or HELP: \r\n" expected)
  if(NOT status EQUAL 0 OR NOT shown STREQUAL expected)
    set(failed TRUE)
    message("the installed program gave status ${status} and output ${shown}, expected ${expected}")
  endif()
endif()
if(NOT EXISTS ${page})
  set(failed TRUE)
  message("not installed: ${page}")
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${page} ${SOURCE_PAGE}
                  RESULT_VARIABLE differs)
  if(differs)
    set(failed TRUE)
    message("the installed man page differs from ${SOURCE_PAGE}")
  endif()
endif()

if(failed)
  message(FATAL_ERROR "install check failed")
endif()
