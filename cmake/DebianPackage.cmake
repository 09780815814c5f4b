# The Debian package of the Linux program (cpack -G DEB in a build folder) and
# what goes with the program into it: the manual page, the AppStream metadata,
# the changelog and the machine-readable copyright file. Library dependencies
# come from dpkg-shlibdeps (package dpkg-dev). Included by ui/qt/CMakeLists.txt.
#
# Reproducible: gzip -n stores no name or time; cpack sets every file's time to
# SOURCE_DATE_EPOCH when that is set (scripts/release.sh sets it to the last
# commit's).
set(TIMERSET_MAINTAINER "タイマセット developers <timerset@users.noreply.github.com>")
set(appstream_id io.github.timerset.timerset)
set(deb_revision 1)
set(resources ${PROJECT_SOURCE_DIR}/resources)
set(out ${CMAKE_CURRENT_BINARY_DIR}/debian)

# The changelog and the AppStream metadata name this version as the latest.
file(STRINGS ${resources}/debian/changelog changelog LIMIT_COUNT 1)
file(STRINGS ${resources}/${appstream_id}.metainfo.xml release REGEX "<release " LIMIT_COUNT 1)
if(NOT changelog MATCHES "^timerset \\(${PROJECT_VERSION}-${deb_revision}\\) "
   OR NOT release MATCHES "version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "resources/debian/changelog and the metainfo's first <release> "
                      "must be version ${PROJECT_VERSION}(-${deb_revision})")
endif()

# The copyright file in Debian's machine-readable format, its licence text taken
# from LICENSE.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "\nCopyright \\(c\\) ([^\n]*)\n" TIMERSET_COPYRIGHT "${license}")
set(TIMERSET_COPYRIGHT ${CMAKE_MATCH_1})
string(REGEX REPLACE "^.*\nCopyright [^\n]*\n\n" "" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " TIMERSET_LICENSE_DEP5 " ${license}")
configure_file(${resources}/debian/copyright.in ${out}/copyright @ONLY)

find_program(TIMERSET_GZIP gzip REQUIRED)
add_custom_command(
  OUTPUT ${out}/timerset.1.gz ${out}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${resources}/timerset.1 ${out}/timerset.1
  COMMAND ${CMAKE_COMMAND} -E copy ${resources}/debian/changelog ${out}/changelog.Debian
  COMMAND ${TIMERSET_GZIP} -n -9 -f ${out}/timerset.1 ${out}/changelog.Debian
  DEPENDS ${resources}/timerset.1 ${resources}/debian/changelog
  COMMENT "Compressing the manual page and the changelog"
  VERBATIM)
add_custom_target(timerset_package_docs ALL DEPENDS ${out}/timerset.1.gz ${out}/changelog.Debian.gz)

install(FILES ${out}/timerset.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${resources}/${appstream_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${out}/copyright ${out}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/timerset)
install(FILES ${resources}/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME timerset)

set(CPACK_PACKAGE_NAME timerset)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "timerset")
set(CPACK_PACKAGE_CONTACT ${TIMERSET_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-window reminder with a Japanese user interface")
set(CPACK_PACKAGE_DESCRIPTION [[
Type a time of day into the window's two small boxes and a note into the long
one, and press セット (set): the window hides, and at that time it comes back
with the note, in front of the other windows, without taking the keyboard from
the program in use.

The window is in Japanese (時 hour, 分 minute, メモ note); the manual page
timerset(1) is in English.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${deb_revision})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its X11 platform plugin and finds a Japanese font at run time, which
# dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk | fonts-vlgothic | fonts-takao-gothic")
# A release package is refused, as debuild refuses one, when lintian finds an
# error or a warning in it.
if(TIMERSET_DEBIAN_RELEASE)
  set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/Lintian.cmake)
endif()
include(CPack)
