# The compiler and linker flags Debian builds its packages with, read from
# dpkg-buildflags (package dpkg-dev) with every hardening feature on, as
# debhelper passes them to CMake; a newer dpkg brings its newer flags. For
# release builds only (TIMERSET_DEBIAN_RELEASE): _FORTIFY_SOURCE and the stack
# protector do not go with the sanitizers of the test build. The usual
# DEB_CXXFLAGS_APPEND and the like in the environment still apply.
find_program(TIMERSET_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  # Run in the source folder: its -ffile-prefix-map writes that folder as ".".
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${TIMERSET_DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE dpkg_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
message(STATUS "Flags from dpkg-buildflags: ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS}; linker: ${dpkg_LDFLAGS}")

string(APPEND CMAKE_CXX_FLAGS " ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS}")
foreach(kind EXE SHARED MODULE)
  string(APPEND CMAKE_${kind}_LINKER_FLAGS " ${dpkg_LDFLAGS}")
endforeach()
# The optimisation level and -g are dpkg's too; the build type adds only NDEBUG.
foreach(type RELEASE RELWITHDEBINFO MINSIZEREL)
  set(CMAKE_CXX_FLAGS_${type} -DNDEBUG)
endforeach()
