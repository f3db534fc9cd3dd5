# Fails when a file a user gets carries the test automation channel: the
# names of its windows and of its environment switch (gui/src/Automation.cpp)
# or the scripted build's script window (app/tests/scripted/ScriptedMain.cpp),
# in ASCII or in UTF-16.
#
#   cmake -DFOLDER=<staged program folder> [-DZIP=<portable zip>] [-DWORK=<scratch folder>]
#         [-DPROBES=<test build>|<test build>...] -P checks/NoTestChannel.cmake
#
# Every file of the folder is scanned, and every file of the zip, unpacked
# into WORK. PROBES are test builds that have the channel: each name must be
# found in one of them, or the scan (or the list of names) would prove nothing.
cmake_minimum_required(VERSION 3.25)
if(NOT FOLDER OR NOT IS_DIRECTORY "${FOLDER}")
  message(FATAL_ERROR "usage: cmake -DFOLDER=<program folder> [-DZIP=<zip> -DWORK=<folder>] [-DPROBES=<exe>|...] "
                      "-P NoTestChannel.cmake")
endif()

get_filename_component(FOLDER "${FOLDER}" ABSOLUTE)
if(WORK)
  get_filename_component(WORK "${WORK}" ABSOLUTE)
endif()

set(_names BrimvaleAutomation BrimvaleAutomationClient BRIMVALE_AUTOMATION OrvaneScript)

# The bytes of each name as hex, one-byte and two-byte characters.
foreach(_name IN LISTS _names)
  string(HEX "${_name}" _ascii)
  string(REGEX REPLACE "(..)" "\\100" _utf16 "${_ascii}")
  set(_needles_${_name} ${_ascii} ${_utf16})
endforeach()

# The names the file holds, at a byte boundary.
function(_names_in file out)
  file(READ "${file}" _hex HEX)
  set(_found "")
  foreach(_name IN LISTS _names)
    foreach(_needle IN LISTS _needles_${_name})
      string(FIND "${_hex}" "${_needle}" _at)
      # A match at an odd hex digit straddles bytes: look on past it.
      set(_rest "")
      set(_offset 0)
      while(NOT _at EQUAL -1)
        math(EXPR _odd "(${_offset} + ${_at}) % 2")
        if(NOT _odd)
          break()
        endif()
        math(EXPR _next "${_offset} + ${_at} + 1")
        string(SUBSTRING "${_hex}" ${_next} -1 _rest)
        set(_offset ${_next})
        string(FIND "${_rest}" "${_needle}" _at)
      endwhile()
      if(NOT _at EQUAL -1)
        list(APPEND _found ${_name})
        break()
      endif()
    endforeach()
  endforeach()
  set(${out} "${_found}" PARENT_SCOPE)
endfunction()

set(_failures "")
set(_scanned 0)
function(_scan_folder folder label)
  file(GLOB_RECURSE _files LIST_DIRECTORIES FALSE "${folder}/*")
  if(NOT _files)
    message(FATAL_ERROR "NoTestChannel: ${label} holds no file")
  endif()
  foreach(_file IN LISTS _files)
    _names_in("${_file}" _found)
    file(RELATIVE_PATH _shown "${folder}" "${_file}")
    if(_found)
      list(JOIN _found ", " _list)
      list(APPEND _failures "${label}/${_shown}: ${_list}")
    endif()
    math(EXPR _scanned "${_scanned} + 1")
  endforeach()
  set(_failures "${_failures}" PARENT_SCOPE)
  set(_scanned ${_scanned} PARENT_SCOPE)
endfunction()

_scan_folder("${FOLDER}" "program folder")
if(ZIP)
  if(NOT EXISTS "${ZIP}" OR NOT WORK)
    message(FATAL_ERROR "NoTestChannel: no zip ${ZIP}, or no WORK folder to unpack it in")
  endif()
  file(REMOVE_RECURSE "${WORK}")
  file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${WORK}")
  get_filename_component(_zip_name "${ZIP}" NAME)
  _scan_folder("${WORK}" "${_zip_name}")
endif()

# The test builds carry debugging information (tens of megabytes): their
# ASCII strings are enough to see the names in.
if(PROBES)
  string(REPLACE "|" ";" PROBES "${PROBES}")
  list(JOIN _names "|" _any)
  set(_seen "")
  foreach(_probe IN LISTS PROBES)
    file(STRINGS "${_probe}" _strings REGEX "${_any}")
    foreach(_name IN LISTS _names)
      foreach(_string IN LISTS _strings)
        string(FIND "${_string}" "${_name}" _at)
        if(NOT _at EQUAL -1)
          list(APPEND _seen ${_name})
          break()
        endif()
      endforeach()
    endforeach()
  endforeach()
  foreach(_name IN LISTS _names)
    if(NOT _name IN_LIST _seen)
      message(FATAL_ERROR "NoTestChannel: no test build holds \"${_name}\"; the scan or the list of names is wrong")
    endif()
  endforeach()
endif()

if(_failures)
  list(JOIN _failures "\n  " _report)
  message(FATAL_ERROR "NoTestChannel: the test automation channel is in what ships:\n  ${_report}")
endif()
list(JOIN _names ", " _list)
message(STATUS "NoTestChannel: ${_scanned} shipped files hold none of ${_list}")
