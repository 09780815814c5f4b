# Run by cpack after it has made the Debian package (CPACK_POST_BUILD_SCRIPTS):
# lintian lists every tag, pedantic ones too, and an error or a warning fails
# the cpack run.
find_program(lintian lintian)
if(NOT lintian)
  message(WARNING "lintian is not installed (package lintian): the package is not checked")
  return()
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${lintian} --fail-on error,warning --display-info --pedantic ${package}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "lintian finds errors or warnings in ${package}")
  endif()
  message(STATUS "lintian: no error, no warning in ${package}")
endforeach()
