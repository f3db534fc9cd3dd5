# Checks that each folder includes only from the layers below it:
#
#   app -> engine client, skins, controls, components, png -> gui -> kit
#   (gui and the components also decode with the PNG core, which is below gui)
#   the engine: the kit and its own interface header; the PNG core: nothing of ours
#   testsupport: above gui, for tests only (Messages.h, the bare message
#   loop, needs nothing of ours, so the engine's tests may use it)
#   tools: the build's own programs; the form reader's tokens (gui/FormLexer.h,
#   portable and free of the rest of gui) are all of ours they use
#
#   cmake -DTREE=<source folder> -P checks/CheckLayers.cmake
#
# Every #include of every C/C++ file is resolved as the compiler would: next
# to the including file first, then in the include folders of the tree's
# libraries. An include that resolves into a layer the file may not use is
# named with its file and line; the script then fails. Includes that resolve
# nowhere in the tree are the system's and pass.
cmake_minimum_required(VERSION 3.25)
if(NOT TREE)
  message(FATAL_ERROR "usage: cmake -DTREE=<source folder> -P CheckLayers.cmake")
endif()
get_filename_component(TREE "${TREE}" ABSOLUTE)

# --- the layers ----------------------------------------------------------------
# Where each layer's files lie: the first matching path prefix wins, so the
# more specific ones come first.
set(_places
  testsupport/include/testsupport/Messages.h test_messages
  testsupport/ testsupport
  kit/ kit
  engine/tests/ engine_tests
  engine/ engine
  gui/tests/ gui_tests
  gui/include/gui/FormLexer.h form_lexer
  gui/ gui
  engineclient/tests/ engineclient_tests
  engineclient/ engineclient
  png/core/ png_core
  png/tests/ png_tests
  png/fuzz/ png_fuzz
  png/ png
  components/tests/ components_tests
  components/ components
  controls/tests/ controls_tests
  controls/ controls
  skins/tests/ skins_tests
  skins/ skins
  app/tests/ app_tests
  app/ app
  bench/engine/ bench_engine
  bench/app/ bench_app
  bench/png/ bench_png
  checks/ checks
  tools/ tools)
# Headers the build makes, by name.
set(_generated TarnwickLib.h engine_idl)

# What each layer may include besides itself.
set(_may_kit "")
set(_may_test_messages "")
set(_may_engine kit engine_idl)
set(_may_form_lexer "")
set(_may_gui kit form_lexer png_core)
set(_may_testsupport gui kit test_messages)
set(_may_engineclient gui kit engine_idl)
set(_may_png_core "")
set(_may_png png_core gui kit)
set(_may_components gui kit png_core)
set(_may_controls gui kit)
set(_may_skins gui kit)
set(_may_app engineclient skins controls components png png_core gui kit engine_idl)
# Tests use their own layer, what it may, and the test support; benchmarks
# and the fuzzer what they measure.
set(_may_engine_tests engine ${_may_engine} test_messages)
set(_may_gui_tests gui ${_may_gui} testsupport test_messages)
set(_may_engineclient_tests engineclient ${_may_engineclient} testsupport test_messages)
set(_may_png_tests png ${_may_png} testsupport test_messages)
set(_may_png_fuzz png_core)
# The component and skin tests read forms with PNG pictures, as the program does.
set(_may_components_tests components ${_may_components} png testsupport test_messages)
set(_may_controls_tests controls ${_may_controls} testsupport test_messages)
set(_may_skins_tests skins ${_may_skins} png testsupport test_messages)
set(_may_app_tests app ${_may_app} testsupport test_messages)
set(_may_bench_engine engine engine_tests ${_may_engine})
set(_may_bench_png png_core)
# The program's benchmarks drive it through the tests' harness and time its parts.
set(_may_bench_app app_tests app ${_may_app})
# The build's own tools run on the building machine: of ours they use only
# the form reader's tokens.
set(_may_tools form_lexer)
set(_may_checks kit engine engine_idl gui form_lexer testsupport test_messages engineclient png_core png components
                controls skins)

# Include folders of the libraries, as their targets give them to others.
set(_roots kit/include gui/include testsupport/include engineclient/include engine engine/tests/unit png/core png
           components controls skins app/src app/tests)

# --- helpers ---------------------------------------------------------------------
# The layer of a path inside the tree ("" when none holds it).
function(_layer_of path out)
  file(RELATIVE_PATH relative "${TREE}" "${path}")
  set(places ${_places})
  while(places)
    list(POP_FRONT places prefix layer)
    string(FIND "${relative}" "${prefix}" at)
    if(at EQUAL 0)
      set(${out} ${layer} PARENT_SCOPE)
      return()
    endif()
  endwhile()
  set(${out} "" PARENT_SCOPE)
endfunction()

# The files of the tree an include may mean, as the compiler looks for them.
function(_resolve including name quoted out)
  set(found "")
  if(quoted)
    get_filename_component(here "${including}" DIRECTORY)
    if(EXISTS "${here}/${name}" AND NOT IS_DIRECTORY "${here}/${name}")
      get_filename_component(file "${here}/${name}" ABSOLUTE)
      set(${out} "${file}" PARENT_SCOPE)
      return()
    endif()
  endif()
  foreach(root IN LISTS _roots)
    if(EXISTS "${TREE}/${root}/${name}" AND NOT IS_DIRECTORY "${TREE}/${root}/${name}")
      get_filename_component(file "${TREE}/${root}/${name}" ABSOLUTE)
      list(APPEND found "${file}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# --- the walk ----------------------------------------------------------------------
# This walks the tree to check it; it lists nothing that is built.
set(_sources "")
set(_unplaced "")
file(GLOB _top LIST_DIRECTORIES true RELATIVE "${TREE}" "${TREE}/*")
foreach(_dir IN LISTS _top)
  if(NOT IS_DIRECTORY "${TREE}/${_dir}" OR _dir MATCHES "^(\\.|build)")
    continue()
  endif()
  file(GLOB_RECURSE _files "${TREE}/${_dir}/*.h" "${TREE}/${_dir}/*.hpp" "${TREE}/${_dir}/*.inc"
       "${TREE}/${_dir}/*.c" "${TREE}/${_dir}/*.cc" "${TREE}/${_dir}/*.cpp")
  foreach(_file IN LISTS _files)
    _layer_of("${_file}" _layer)
    if(_layer)
      list(APPEND _sources "${_file}")
    else()
      list(APPEND _unplaced "${_file}")
    endif()
  endforeach()
endforeach()

set(_wrong 0)
set(_checked 0)
foreach(_file IN LISTS _unplaced)
  file(RELATIVE_PATH _shown "${TREE}" "${_file}")
  message("${_shown}: lies in no layer; give its folder one in checks/CheckLayers.cmake")
  math(EXPR _wrong "${_wrong} + 1")
endforeach()

foreach(_file IN LISTS _sources)
  _layer_of("${_file}" _layer)
  file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
  foreach(_line IN LISTS _lines)
    string(REGEX MATCH "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]" _ "${_line}")
    set(_quoted OFF)
    if(CMAKE_MATCH_1 STREQUAL "\"")
      set(_quoted ON)
    endif()
    set(_name "${CMAKE_MATCH_2}")
    _resolve("${_file}" "${_name}" ${_quoted} _targets)
    set(_layers "")
    foreach(_target IN LISTS _targets)
      _layer_of("${_target}" _to)
      list(APPEND _layers ${_to})
    endforeach()
    if(NOT _targets)
      list(FIND _generated "${_name}" _at)
      if(_at GREATER_EQUAL 0)
        math(EXPR _at "${_at} + 1")
        list(GET _generated ${_at} _layers)
      endif()
    endif()
    if(NOT _layers)
      continue()  # the system's
    endif()
    math(EXPR _checked "${_checked} + 1")
    set(_allowed OFF)
    foreach(_to IN LISTS _layers)
      if(_to STREQUAL _layer OR _to IN_LIST _may_${_layer})
        set(_allowed ON)
      endif()
    endforeach()
    if(NOT _allowed)
      # The line number: the line breaks before the include, counted.
      file(READ "${_file}" _content)
      string(FIND "${_content}" "${_line}" _at)
      string(SUBSTRING "${_content}" 0 ${_at} _before)
      string(REGEX MATCHALL "\n" _breaks "${_before}")
      list(LENGTH _breaks _number)
      math(EXPR _number "${_number} + 1")
      file(RELATIVE_PATH _shown "${TREE}" "${_file}")
      list(JOIN _layers " or " _what)
      message("${_shown}:${_number}: includes \"${_name}\" (${_what}), which ${_layer} may not use")
      math(EXPR _wrong "${_wrong} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH _sources _count)
if(_wrong GREATER 0)
  message(FATAL_ERROR "layers: ${_wrong} wrong include(s) in ${_count} files")
endif()
message("layers: ${_count} files, ${_checked} includes of ours, each from a layer below")
