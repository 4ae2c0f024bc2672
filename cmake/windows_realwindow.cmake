# The window program under Wine on a private X server with openbox, driven
# by real clicks (tests/windows/realwindow/, and tests/realwindow/'s drop),
# through starters that run bixiqin.exe and window-probe.exe with wine-run.
# The prefix is these tests' own: each starts its own X server, and Wine's
# services follow one display. The helpers that run natively (the pixel
# reader, the drag source, the name watcher, and bixiqin-convert to compare
# with) come from the Linux build in BIXIQIN_LINUX_BUILD, which
# `make check-windows` builds first and names.

# Asks the program's window what X cannot tell (whether it answers, what
# its tooltip says), from the same prefix.
add_executable(window-probe tests/windows/realwindow/window_probe.cpp tests/windows/utf16.cpp)
target_link_libraries(window-probe PRIVATE bixiqin_settings)

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  return()
endif()

set(_window_prefix ${CMAKE_BINARY_DIR}/wine-prefix-window)
function(bixiqin_wine_starter name program)
  set(_starter ${CMAKE_BINARY_DIR}/${name})
  file(WRITE ${_starter} "#!/bin/sh\nBIXIQIN_WINE_PREFIX=${_window_prefix} exec ${CMAKE_SOURCE_DIR}/scripts/wine-run ${program} \"$@\"\n")
  file(CHMOD ${_starter} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endfunction()
bixiqin_wine_starter(bixiqin-under-wine ${CMAKE_BINARY_DIR}/bixiqin.exe)
bixiqin_wine_starter(window-probe-under-wine ${CMAKE_BINARY_DIR}/window-probe.exe)
set(_under_wine ${CMAKE_BINARY_DIR}/bixiqin-under-wine)

# One at a time, as on Linux: each starts its own X server and window
# manager, and all share the one prefix.
add_test(NAME realwindow.main_window
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/windows/realwindow/main_window.sh ${_under_wine} ${_window_prefix}
    ${CMAKE_BINARY_DIR}/window-probe-under-wine)
set_tests_properties(realwindow.main_window PROPERTIES LABELS realwindow SKIP_RETURN_CODE 77 TIMEOUT 240
  RESOURCE_LOCK realwindow)

set(BIXIQIN_LINUX_BUILD "" CACHE PATH "the Linux build whose native helpers the real-window checks use")
if(NOT BIXIQIN_LINUX_BUILD)
  message(STATUS "No BIXIQIN_LINUX_BUILD: the window's conversion and drop checks under Wine are not registered")
  return()
endif()

foreach(_check add-and-convert failed-row choose-encodings live-during-file)
  add_test(NAME realwindow.${_check}
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/windows/realwindow/conversion.sh ${_under_wine} ${_window_prefix}
      ${CMAKE_BINARY_DIR}/window-probe-under-wine ${BIXIQIN_LINUX_BUILD} ${_check})
  set_tests_properties(realwindow.${_check} PROPERTIES LABELS realwindow SKIP_RETURN_CODE 77 TIMEOUT 240
    RESOURCE_LOCK realwindow)
endforeach()

# The same drop as on Linux, onto the window under Wine (WM_DROPFILES).
add_test(NAME realwindow.drop
  COMMAND sh ${CMAKE_SOURCE_DIR}/tests/realwindow/drop.sh ${_under_wine}
    ${BIXIQIN_LINUX_BUILD}/tests/realwindow/realwindow-drag-source
    ${BIXIQIN_LINUX_BUILD}/tests/realwindow/realwindow-created-names)
set_tests_properties(realwindow.drop PROPERTIES LABELS realwindow SKIP_RETURN_CODE 77 TIMEOUT 240
  RESOURCE_LOCK realwindow ENVIRONMENT WINE_PREFIX_TO_END=${_window_prefix})
