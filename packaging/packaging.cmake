# Installing into the freedesktop places and packaging as a .deb.
#   cmake --install <build> [--prefix DIR]        make package (a .deb through CPack)
set(_pkg ${CMAKE_CURRENT_LIST_DIR})
set(BIXIQIN_APP_ID org.bixiqin.bixiqin)

install(FILES ${_pkg}/${BIXIQIN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${_pkg}/${BIXIQIN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(_size 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/bixiqin-${_size}.png
    DESTINATION share/icons/hicolor/${_size}x${_size}/apps RENAME bixiqin.png)
endforeach()

if(BIXIQIN_TESTS)
  # The two files are checked by the freedesktop validators in every test run.
  add_test(NAME package.desktop_file
    COMMAND desktop-file-validate ${_pkg}/${BIXIQIN_APP_ID}.desktop)
  add_test(NAME package.metainfo
    COMMAND appstreamcli validate --no-net --strict ${_pkg}/${BIXIQIN_APP_ID}.metainfo.xml)
  set_tests_properties(package.desktop_file package.metainfo PROPERTIES LABELS package)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bixiqin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Bixiqin project")
set(CPACK_PACKAGE_CONTACT "Bixiqin project <bixiqin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of text file encodings (GBK, GB18030, UTF-8)")
set(CPACK_PACKAGE_DESCRIPTION "Bixiqin (碧溪琴) converts plain-text files, such as novels, between\nGBK, GB18030 and UTF-8 in batches. Each converted file is written beside\nits source, named after the target encoding; the source is never changed.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries (Qt 6 widgets, FluidSynth, ...) come from dpkg-shlibdeps;
# what the program finds by path or starts by name is listed here: the
# General MIDI soundfont at /usr/share/sounds/sf2/default-GM.sf2, the CJK
# font for the captions, and xdg-open for the web pages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | fluid-soundfont-gm, fonts-wqy-microhei, xdg-utils")
include(CPack)
