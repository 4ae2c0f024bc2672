# The window program under Wine on a private X server with openbox, driven
# by real clicks (tests/windows/realwindow/, on the Linux build's real-window
# helpers), through a starter that runs bixiqin.exe with wine-run. The
# prefix is these tests' own: each starts its own X server, and Wine's
# services follow one display.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(_under_wine ${CMAKE_BINARY_DIR}/bixiqin-under-wine)
  file(WRITE ${_under_wine} "#!/bin/sh\nBIXIQIN_WINE_PREFIX=${CMAKE_BINARY_DIR}/wine-prefix-window exec ${CMAKE_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR}/bixiqin.exe \"$@\"\n")
  file(CHMOD ${_under_wine} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  add_test(NAME realwindow.main_window
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/windows/realwindow/main_window.sh ${_under_wine}
      ${CMAKE_BINARY_DIR}/wine-prefix-window)
  set_tests_properties(realwindow.main_window PROPERTIES LABELS realwindow SKIP_RETURN_CODE 77 TIMEOUT 240
    RESOURCE_LOCK realwindow)
endif()
