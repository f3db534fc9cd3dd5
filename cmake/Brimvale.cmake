# Project-wide build helpers.

set(BRIMVALE_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(WIN32)
  # Resource scripts (see brimvale_add_resources).
  enable_language(RC)
  # Unicode Win32 API, Windows 7 as the oldest target.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Binaries must run on a bare Windows: no MinGW runtime DLLs beside them.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# GoogleTest from the Debian sources, built with the active toolchain.
function(brimvale_use_gtest)
  if(TARGET gtest)
    return()
  endif()
  set(BRIMVALE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${BRIMVALE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
endfunction()

# brimvale_add_gtest(NAME SOURCES ... [LIBS ...] [LABELS ...] [TIMEOUT s] [GUI])
# One test executable, registered as one CTest test. Under the cross build
# CTest runs it through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR).
# GUI marks tests that need the X display that scripts/test provides.
function(brimvale_add_gtest name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  brimvale_use_gtest()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  target_compile_options(${name} PRIVATE ${BRIMVALE_WARNINGS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(_labels ${T_LABELS})
  if(T_GUI)
    list(APPEND _labels gui)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${_labels}")
endfunction()

# Resources, attached one way to every kind of target:
#
#   brimvale_add_resources(<target> SCRIPT <file.rc> [DEPENDS <file>...]
#                          [INCLUDE_DIRECTORIES <dir>...])
#   brimvale_add_resources(<target> FILES <name> <type> <file> [<name> <type> <file>...])
#
# SCRIPT compiles a resource script; DEPENDS names what it pulls in, so a
# changed picture compiles it again. FILES writes the script: one line
# `<name> <type> "<file>"` an entry, files relative to this folder.
# An executable or DLL carries the resources itself. A static library cannot:
# its resources become the object library <target>_resources, which every
# program linking the library takes in (an interface source), so no program
# needs a step of its own.
function(brimvale_add_resources target)
  cmake_parse_arguments(R "" "SCRIPT" "DEPENDS;INCLUDE_DIRECTORIES;FILES" ${ARGN})
  if(R_UNPARSED_ARGUMENTS OR (R_SCRIPT AND R_FILES) OR (NOT R_SCRIPT AND NOT R_FILES))
    message(FATAL_ERROR "brimvale_add_resources(${target}): give either SCRIPT or FILES")
  endif()
  if(R_FILES)
    list(LENGTH R_FILES count)
    math(EXPR odd "${count} % 3")
    if(odd)
      message(FATAL_ERROR "brimvale_add_resources(${target}): FILES takes <name> <type> <file> triples")
    endif()
    set(text "")
    while(R_FILES)
      list(POP_FRONT R_FILES name type file)
      get_filename_component(file "${file}" ABSOLUTE)
      if(NOT EXISTS "${file}")
        message(FATAL_ERROR "brimvale_add_resources(${target}): ${file} is not there")
      endif()
      string(APPEND text "${name} ${type} \"${file}\"\n")
      list(APPEND R_DEPENDS "${file}")
    endwhile()
    set(R_SCRIPT ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
    get_property(written TARGET ${target} PROPERTY _BRIMVALE_RESOURCE_FILES)
    if(written)
      message(FATAL_ERROR "brimvale_add_resources(${target}): list every FILES entry in one call")
    endif()
    set_property(TARGET ${target} PROPERTY _BRIMVALE_RESOURCE_FILES ON)
    file(CONFIGURE OUTPUT ${R_SCRIPT} CONTENT "${text}" @ONLY)
  else()
    get_filename_component(R_SCRIPT "${R_SCRIPT}" ABSOLUTE)
  endif()
  # Files a rule of this folder makes are sources too, so that rule runs first.
  set(depends "")
  set(made "")
  foreach(file IN LISTS R_DEPENDS)
    get_filename_component(file "${file}" ABSOLUTE)
    list(APPEND depends "${file}")
    get_source_file_property(generated "${file}" GENERATED)
    if(generated)
      list(APPEND made "${file}")
    endif()
  endforeach()
  if(depends)
    set_property(SOURCE ${R_SCRIPT} APPEND PROPERTY OBJECT_DEPENDS ${depends})
  endif()
  if(R_INCLUDE_DIRECTORIES)
    set_property(SOURCE ${R_SCRIPT} APPEND PROPERTY INCLUDE_DIRECTORIES ${R_INCLUDE_DIRECTORIES})
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    if(TARGET ${target}_resources)
      message(FATAL_ERROR "brimvale_add_resources(${target}): a static library takes its resources in one call")
    endif()
    add_library(${target}_resources OBJECT ${R_SCRIPT} ${made})
    target_sources(${target} INTERFACE $<TARGET_OBJECTS:${target}_resources>)
  else()
    target_sources(${target} PRIVATE ${R_SCRIPT} ${made})
  endif()
endfunction()

# brimvale_engine_beside(<target>): Tarnwick.dll lies in <target>'s folder,
# copied again whenever the DLL changes (also when <target> itself does not).
# Programs built into one folder share the one copy.
function(brimvale_engine_beside target)
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  string(SHA1 hash "${dir}")
  string(SUBSTRING "${hash}" 0 12 hash)
  set(copy brimvale_engine_copy_${hash})
  if(NOT TARGET ${copy})
    add_custom_command(OUTPUT ${dir}/Tarnwick.dll
      COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:brimvale_engine_dll> ${dir}/Tarnwick.dll
      DEPENDS brimvale_engine_dll
      COMMENT "Copying Tarnwick.dll into ${dir}"
      VERBATIM)
    add_custom_target(${copy} DEPENDS ${dir}/Tarnwick.dll)
  endif()
  add_dependencies(${target} ${copy})
endfunction()

# brimvale_version_resource(<target> <file name> <description> VFT_APP|VFT_DLL)
# The version resource of a binary of the program folder: product Brimvale,
# the project's version, and the copyright line of the language strings, so
# the two never differ.
function(brimvale_version_resource target file_name description file_type)
  file(STRINGS ${PROJECT_SOURCE_DIR}/components/LangKeys.inc copyright REGEX "^LANG_TEXT\\(LANG_MAIN_COPYRIGHT, ")
  string(REGEX REPLACE "^LANG_TEXT\\(LANG_MAIN_COPYRIGHT, \"(.*)\"\\)$" "\\1" BRIMVALE_COPYRIGHT "${copyright}")
  if(NOT BRIMVALE_COPYRIGHT OR BRIMVALE_COPYRIGHT STREQUAL copyright)
    message(FATAL_ERROR "brimvale_version_resource: LANG_MAIN_COPYRIGHT not found in components/LangKeys.inc")
  endif()
  string(REPLACE "." "," BRIMVALE_VERSION_COMMAS "${PROJECT_VERSION}")
  set(BRIMVALE_VERSION_COMMAS "${BRIMVALE_VERSION_COMMAS},0")
  get_filename_component(BRIMVALE_FILE_STEM ${file_name} NAME_WE)
  set(BRIMVALE_FILE_NAME ${file_name})
  set(BRIMVALE_FILE_DESCRIPTION ${description})
  set(BRIMVALE_FILE_TYPE ${file_type})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${BRIMVALE_FILE_STEM}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/Version.rc.in ${rc} @ONLY)
  brimvale_add_resources(${target} SCRIPT ${rc})
endfunction()
