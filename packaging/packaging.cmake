# Installing into the freedesktop places and packaging as a .deb.
#   cmake --install <build> [--prefix DIR]        make package (a .deb through CPack)
set(_pkg ${CMAKE_CURRENT_LIST_DIR})
set(BIXIQIN_APP_ID org.bixiqin.bixiqin)
# The Debian revision of the package: its version is <project version>-<this>,
# and the top entry of packaging/changelog names that version.
set(BIXIQIN_DEBIAN_RELEASE 1)

install(FILES ${_pkg}/${BIXIQIN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${_pkg}/${BIXIQIN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(_size 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/bixiqin-${_size}.png
    DESTINATION share/icons/hicolor/${_size}x${_size}/apps RENAME bixiqin.png)
endforeach()

# The manual pages of both programs, gzipped as Debian keeps them (-n: no
# name or time stamp inside, so that two builds give the same package).
set(_man_pages)
foreach(_page bixiqin.1 bixiqin-convert.1)
  set(_gz ${CMAKE_BINARY_DIR}/man/${_page}.gz)
  add_custom_command(OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E copy ${_pkg}/${_page} ${CMAKE_BINARY_DIR}/man/${_page}
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/${_page}
    DEPENDS ${_pkg}/${_page} VERBATIM)
  list(APPEND _man_pages ${_gz})
endforeach()
add_custom_target(bixiqin_man_pages ALL DEPENDS ${_man_pages})
install(FILES ${_man_pages} DESTINATION share/man/man1)

# Debian's documentation folder: the licence in the machine-readable form and
# the package's changelog, gzipped the same way as the manual pages.
set(_changelog_gz ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz)
add_custom_command(OUTPUT ${_changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E copy ${_pkg}/changelog ${CMAKE_BINARY_DIR}/doc/changelog.Debian
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/doc/changelog.Debian
  DEPENDS ${_pkg}/changelog VERBATIM)
add_custom_target(bixiqin_changelog ALL DEPENDS ${_changelog_gz})
install(FILES ${_pkg}/copyright ${_changelog_gz} DESTINATION share/doc/bixiqin)
# The one lintian tag that does not apply; the file says why.
install(FILES ${_pkg}/bixiqin.lintian-overrides DESTINATION share/lintian/overrides RENAME bixiqin)

if(BIXIQIN_TESTS)
  # groff says nothing about a well-formed page.
  find_program(BIXIQIN_GROFF groff)
  if(BIXIQIN_GROFF)
    add_test(NAME package.man_pages
      COMMAND ${BIXIQIN_GROFF} -K utf8 -Tutf8 -man -ww -z ${_pkg}/bixiqin.1 ${_pkg}/bixiqin-convert.1)
    set_tests_properties(package.man_pages PROPERTIES LABELS package FAIL_REGULAR_EXPRESSION ".")
  endif()
  # The two files are checked by the freedesktop validators in every test run.
  add_test(NAME package.desktop_file
    COMMAND desktop-file-validate ${_pkg}/${BIXIQIN_APP_ID}.desktop)
  add_test(NAME package.metainfo
    COMMAND appstreamcli validate --no-net --strict ${_pkg}/${BIXIQIN_APP_ID}.metainfo.xml)
  set_tests_properties(package.desktop_file package.metainfo PROPERTIES LABELS package)
  # The changelog is well-formed and its top entry is the version being
  # packaged (lintian does not compare the two).
  string(REPLACE "." "\\." _version_pattern "${PROJECT_VERSION}-${BIXIQIN_DEBIAN_RELEASE}")
  add_test(NAME package.changelog COMMAND dpkg-parsechangelog -l ${_pkg}/changelog -S Version)
  set_tests_properties(package.changelog PROPERTIES LABELS package
    PASS_REGULAR_EXPRESSION "^${_version_pattern}\n$" FAIL_REGULAR_EXPRESSION "warning|error")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bixiqin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Bixiqin developers")
# The same maintainer as in packaging/changelog.
set(CPACK_PACKAGE_CONTACT "Bixiqin developers <bixiqin@example.com>")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${BIXIQIN_DEBIAN_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of text file encodings (GBK, GB18030, UTF-8)")
set(CPACK_PACKAGE_DESCRIPTION "Bixiqin (碧溪琴) converts plain-text files, such as novels, between\nGBK, GB18030 and UTF-8 in batches. Each converted file is written beside\nits source, named after the target encoding; the source is never changed.\nThe bixiqin-convert command does the same from a terminal or a script.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The linked shared libraries (Qt 6 widgets, ...) come from dpkg-shlibdeps;
# what the program opens or finds by name is listed here: FluidSynth
# (opened as libfluidsynth.so.3 when the music first plays, so shlibdeps
# cannot see it), the General MIDI soundfont at
# /usr/share/sounds/sf2/default-GM.sf2, the CJK font for the captions, and
# xdg-open for the web pages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfluidsynth3 (>= 2.2), timgm6mb-soundfont | fluid-soundfont-gm, fonts-wqy-microhei, xdg-utils, qt6-translations-l10n")
include(CPack)
