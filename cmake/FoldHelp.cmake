# The help text of a program is docs/man/NAME.1.txt: --help prints it and the
# manual page is generated from it. It is embedded as the header
# help/NAME.hpp under ${FOLD_GENERATED_DIR}, at configure time (editing the
# text reruns CMake).
function(fold_help_header name)
  set(FOLD_HELP_FILE ${name}.1.txt)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${FOLD_HELP_FILE})
  if(NOT EXISTS ${source})
    return()
  endif()
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} FOLD_HELP_TEXT)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/help.hpp.in ${FOLD_GENERATED_DIR}/help/${name}.hpp @ONLY)
endfunction()
