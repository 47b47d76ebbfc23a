# Checks the man page: groff renders it without a single warning (-ww) for
# the devices man uses on terminals, and the rendered text documents every
# operator and command word. Prints "SKIPPED: groff not found" without groff.

cmake_minimum_required(VERSION 3.22)

find_program(GROFF groff)
if(NOT GROFF)
  message("SKIPPED: groff not found; the man page check needs it (apt-get install groff-base)")
  return()
endif()

set(failed FALSE)
foreach(device "" ascii utf8)
  set(args -man -ww -z)
  if(device)
    list(APPEND args -T${device})
  endif()
  execute_process(COMMAND ${GROFF} ${args} ${PAGE}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    set(failed TRUE)
    string(JOIN " " shown ${args})
    message("groff ${shown} ${PAGE} (status ${status}) printed:\n${out}${err}")
  endif()
endforeach()

# Every operator and command word has an entry of its own: the tag of a
# tagged paragraph (.TP followed by .B or .BR).
file(READ ${PAGE} source)
string(REGEX MATCHALL "\n\\.TP\n\\.BR? [^\n]*" entries "${source}")
set(tags "")
foreach(entry ${entries})
  string(REGEX REPLACE "^\n\\.TP\n\\.BR? " "" entry "${entry}")
  string(REPLACE "\\-" "-" entry "${entry}")
  string(REPLACE "\\(ha" "^" entry "${entry}")
  string(REPLACE "\"" "" entry "${entry}")
  string(REPLACE "," " " entry "${entry}")
  string(REGEX REPLACE " +" ";" entry "${entry}")
  list(APPEND tags ${entry})
endforeach()
set(terms SQRT SQR HELP STO RCL SWAP SWAPXY LASTX ROLLDN DUMP EXP LN "Y^X" INT TRUNC
          ROUND FRAC MOD SIN COS TAN ARCTAN ARCSIN ARCCOS D2R R2D JUL TODAY GREG DOW
          "+" "-" "*" "/" "^" "**" "<>" "><")
foreach(term IN LISTS terms)
  if(NOT term IN_LIST tags)
    set(failed TRUE)
    message("the man page has no entry for ${term}")
  endif()
endforeach()

# The sections a reader looks for, in the rendered text.
execute_process(COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-u ${PAGE}
                OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  set(failed TRUE)
  message("groff could not render ${PAGE} as text (status ${status})")
endif()
foreach(section NAME SYNOPSIS DESCRIPTION "LINE EDITING" OPERATORS "COMMAND WORDS" CALENDAR
                "EXIT STATUS" EXAMPLES)
  if(NOT text MATCHES "\n${section}\n")
    set(failed TRUE)
    message("the man page has no section ${section}")
  endif()
endforeach()

if(failed)
  message(FATAL_ERROR "man page check failed")
endif()
