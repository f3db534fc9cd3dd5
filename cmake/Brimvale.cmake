# Project-wide build helpers.

set(BRIMVALE_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(WIN32)
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
