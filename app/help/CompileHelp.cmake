# Compiles the staged help project and copies the result to OUTPUT.
# cmake -DCHMCMD=<chmcmd> -DSTAGE=<folder with Help.hhp> -DOUTPUT=<Help.chm> -P CompileHelp.cmake
#
# chmcmd reports a link to a missing file only as a warning and still
# succeeds; a broken link in the help is a fault, so it fails the build here.

cmake_minimum_required(VERSION 3.25)

execute_process(
  COMMAND ${CHMCMD} Help.hhp
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE _result
  OUTPUT_VARIABLE _out
  ERROR_VARIABLE _err)

string(REGEX MATCHALL "Warning:[^\n]*" _warnings "${_out}\n${_err}")
set(_missing)
foreach(_w IN LISTS _warnings)
  if(_w MATCHES "couldn't find|not found|missing")
    list(APPEND _missing "${_w}")
  else()
    message(STATUS "help: ${_w}")
  endif()
endforeach()

if(NOT _result EQUAL 0)
  message(FATAL_ERROR "help: chmcmd failed (${_result}):\n${_out}\n${_err}")
endif()
if(_missing)
  list(JOIN _missing "\n  " _missing)
  message(FATAL_ERROR "help: broken references in the help sources:\n  ${_missing}")
endif()

set(_chm ${STAGE}/Help.chm)
if(NOT EXISTS ${_chm})
  message(FATAL_ERROR "help: chmcmd did not write ${_chm}:\n${_out}\n${_err}")
endif()
file(READ ${_chm} _magic LIMIT 4 HEX)
if(NOT _magic STREQUAL "49545346")  # "ITSF"
  message(FATAL_ERROR "help: ${_chm} is not a compiled help file")
endif()

get_filename_component(_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${_dir})
file(COPY_FILE ${_chm} ${OUTPUT})
