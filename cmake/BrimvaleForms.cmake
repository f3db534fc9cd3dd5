# The forms of a program: their code, written from them by formgen, and their
# texts and pictures, embedded into each executable that reads them.
#
#   include(BrimvaleForms)
#   brimvale_form_code(orvane_shell CLASSES forms/FormClasses.txt SUPPORT FormBinding.h
#                      FORMS forms/MainForm.form forms/RulesForm.form)
#   brimvale_add_forms(orvane FORMS forms/MainForm.form forms/RulesForm.form)
#
# brimvale_form_code runs formgen (tools/formgen) on each form at build time:
# forms/MainForm.form gives MainForm.form.h, found by that name by the target
# and by everyone who links it, and MainForm.form.cpp, compiled into the
# target. CLASSES maps the form classes to C++ classes and headers; SUPPORT
# is the header the code stands on. A changed form, map or formgen writes
# the code again.
#
# brimvale_add_forms embeds the forms into an executable's resources.
# For each form, the class on its first object line names the resource: the
# form of TMainForm becomes RCDATA "TMAINFORM". Every picture value in it
# ("PicNormal = TPngPicture 'art/free.png'", or one line of an image list
# "TIcon 'tray0.ico'") names a file relative to the form's folder, which
# becomes RCDATA "TMAINFORM_ART_FREE_PNG": the upper-cased file name with
# each character other than A-Z and 0-9 made '_', behind the form's resource
# name and '_' (see PictureResourceName in gui/FormReader.h). Two different
# files that come out under one name stop the configure step.
#
# The forms are scanned when CMake configures; changing a form reruns it.
include_guard(DIRECTORY)

function(brimvale_form_code target)
  cmake_parse_arguments(F "" "CLASSES;SUPPORT" "FORMS" ${ARGN})
  if(NOT BRIMVALE_FORMGEN)
    message(FATAL_ERROR "brimvale_form_code: formgen is not part of this build (tools/ comes first)")
  endif()
  if(NOT F_CLASSES OR NOT F_SUPPORT OR NOT F_FORMS OR F_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "brimvale_form_code(${target}): give CLASSES, SUPPORT and FORMS")
  endif()
  get_filename_component(map "${F_CLASSES}" ABSOLUTE)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/forms)
  file(MAKE_DIRECTORY ${dir})
  foreach(form IN LISTS F_FORMS)
    get_filename_component(form_path "${form}" ABSOLUTE)
    get_filename_component(name "${form}" NAME)
    set(header ${dir}/${name}.h)
    set(source ${dir}/${name}.cpp)
    add_custom_command(OUTPUT ${header} ${source}
      COMMAND ${BRIMVALE_FORMGEN} --form ${form_path} --classes ${map} --support ${F_SUPPORT}
              --header ${header} --source ${source}
      DEPENDS ${form_path} ${map} ${BRIMVALE_FORMGEN_DEPENDS}
      COMMENT "Writing the code of ${name}"
      VERBATIM)
    target_sources(${target} PRIVATE ${header} ${source})
  endforeach()
  target_include_directories(${target} PUBLIC ${dir})
endfunction()

function(brimvale_add_forms target)
  cmake_parse_arguments(F "" "" "FORMS" ${ARGN})
  set(rc_text "")
  set(deps "")
  foreach(form IN LISTS F_FORMS)
    get_filename_component(form_path "${form}" ABSOLUTE)
    get_filename_component(form_dir "${form_path}" DIRECTORY)
    if(NOT EXISTS "${form_path}")
      message(FATAL_ERROR "brimvale_add_forms: form ${form} not found")
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${form_path}")
    file(READ "${form_path}" content)
    set(content "\n${content}")
    string(TOUPPER "${content}" upper)

    string(REGEX MATCH "\n[ \t]*(OBJECT|INHERITED)[ \t]+[A-Z_][A-Z0-9_]*[ \t]*:[ \t]*([A-Z_][A-Z0-9_]*)" header "${upper}")
    if(NOT header)
      message(FATAL_ERROR "brimvale_add_forms: ${form} has no 'object Name: TClass' line")
    endif()
    set(form_name "${CMAKE_MATCH_2}")
    _brimvale_form_resource(${target} "${form_name}" "${form_path}")
    string(APPEND rc_text "${form_name} RCDATA \"${form_path}\"\n")
    list(APPEND deps "${form_path}")

    # Picture values: "Path = TClass 'file'" or a list line "TClass 'file'".
    string(REGEX MATCHALL
           "\n[ \t]*([A-Za-z_][A-Za-z0-9_.]*[ \t]*=[ \t]*)?[A-Za-z_][A-Za-z0-9_]*[ \t]*'[^'\n]*'"
           pictures "${content}")
    foreach(picture IN LISTS pictures)
      string(REGEX REPLACE ".*'([^'\n]*)'$" "\\1" file "${picture}")
      if(IS_ABSOLUTE "${file}")
        set(file_path "${file}")
      else()
        set(file_path "${form_dir}/${file}")
      endif()
      if(NOT EXISTS "${file_path}")
        message(FATAL_ERROR "brimvale_add_forms: ${form} names the picture '${file}', which is not there (${file_path})")
      endif()
      string(TOUPPER "${file}" encoded)
      string(REGEX REPLACE "[^A-Z0-9]" "_" encoded "${encoded}")
      set(name "${form_name}_${encoded}")
      _brimvale_form_resource(${target} "${name}" "${file_path}")
      if(NOT "${name}" IN_LIST seen)
        list(APPEND seen "${name}")
        string(APPEND rc_text "${name} RCDATA \"${file_path}\"\n")
        list(APPEND deps "${file_path}")
      endif()
    endforeach()
  endforeach()

  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_forms.rc")
  file(CONFIGURE OUTPUT "${rc}" CONTENT "${rc_text}" @ONLY)
  brimvale_add_resources(${target} SCRIPT "${rc}" DEPENDS ${deps})
endfunction()

# One resource name per file within a target.
function(_brimvale_form_resource target name path)
  get_property(known TARGET ${target} PROPERTY _BRIMVALE_FORM_RES_${name})
  if(known AND NOT known STREQUAL path)
    message(FATAL_ERROR "brimvale_add_forms: ${known} and ${path} would both be resource ${name}")
  endif()
  set_property(TARGET ${target} PROPERTY _BRIMVALE_FORM_RES_${name} "${path}")
endfunction()
