# Runs g3tool once and checks its exit status, its output and, for --json
# runs, values in its report.
#   TOOL      the program
#   ARGS      arguments separated by "|"
#   STATUS    expected exit status
#   STDOUT    regular expression the output must match (optional)
#   STDERR    regular expression the error output must match (optional)
#   CHECKS    "&&"-separated checks "key/key/...=value" (exact text) or
#             "key/key/...~regex" on the JSON report
#   WORKDIR   working folder
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${TOOL} ${args} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err WORKING_DIRECTORY ${WORKDIR})
set(context "\n--- stdout:\n${out}\n--- stderr:\n${err}")
if(NOT rc STREQUAL "${STATUS}")
  message(FATAL_ERROR "exit status ${rc}, expected ${STATUS}${context}")
endif()
if(DEFINED STDOUT AND NOT out MATCHES "${STDOUT}")
  message(FATAL_ERROR "stdout does not match '${STDOUT}'${context}")
endif()
if(DEFINED STDERR AND NOT err MATCHES "${STDERR}")
  message(FATAL_ERROR "stderr does not match '${STDERR}'${context}")
endif()
if(DEFINED CHECKS)
  string(REPLACE "&&" ";" checks "${CHECKS}")
  foreach(check ${checks})
    if(check MATCHES "^([^=~]+)([=~])(.*)$")
      set(path "${CMAKE_MATCH_1}")
      set(op "${CMAKE_MATCH_2}")
      set(want "${CMAKE_MATCH_3}")
    else()
      message(FATAL_ERROR "bad check '${check}'")
    endif()
    string(REPLACE "/" ";" keys "${path}")
    string(JSON got ERROR_VARIABLE jerr GET "${out}" ${keys})
    if(jerr)
      message(FATAL_ERROR "report has no ${path}: ${jerr}${context}")
    endif()
    if(op STREQUAL "=")
      if(NOT got STREQUAL want)
        message(FATAL_ERROR "${path} is '${got}', expected '${want}'${context}")
      endif()
    elseif(NOT got MATCHES "${want}")
      message(FATAL_ERROR "${path} is '${got}', which does not match '${want}'${context}")
    endif()
  endforeach()
endif()
