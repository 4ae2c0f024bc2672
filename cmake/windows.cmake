# The Windows edition, cross-built with mingw-w64 (cmake/toolchains/) from
# the same folders: no Qt, FluidSynth or X11. Included by the top-level
# CMakeLists.txt, which stops after it.
#
# A library is one folder's *.cpp files, less the files it leaves out for
# this edition; a test program is one folder of tests/, likewise. Each file
# left out says why, so that it can come back once its platform code exists.

if(BIXIQIN_SANITIZE OR BIXIQIN_TSAN)
  message(FATAL_ERROR "The sanitizers are for the Linux build; mingw-w64 has neither runtime.")
endif()

# The *.cpp files of `folder` (relative to the source tree) less the file
# names in the list `left_out`, into `out`. A name left out that is not
# there stops the configuration: a renamed file must not come back unseen.
function(bixiqin_windows_sources out folder left_out)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(_file IN LISTS left_out)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${folder}/${_file})
      message(FATAL_ERROR "${folder}/${_file} is left out of the Windows edition but does not exist")
    endif()
    list(REMOVE_ITEM _src ${CMAKE_SOURCE_DIR}/${folder}/${_file})
  endforeach()
  set(${out} ${_src} PARENT_SCOPE)
endfunction()

# bixiqin_windows_library(<target> <folder> [LINK <target>...] [LEFT_OUT <file>...])
# Adds the library to BIXIQIN_WINDOWS_LIBRARIES, which the tests link.
function(bixiqin_windows_library name folder)
  cmake_parse_arguments(PARSE_ARGV 2 _arg "" "" "LINK;LEFT_OUT")
  bixiqin_windows_sources(_src ${folder} "${_arg_LEFT_OUT}")
  add_library(${name} STATIC ${_src})
  target_link_libraries(${name} PUBLIC bixiqin_settings ${_arg_LINK})
  set(BIXIQIN_WINDOWS_LIBRARIES ${BIXIQIN_WINDOWS_LIBRARIES} ${name} PARENT_SCOPE)
endfunction()

# There is no iconv for mingw: our own, behind an <iconv.h> of the same
# interface, so that the code including <iconv.h> compiles unchanged.
if(NOT TARGET bixiqin_own_iconv)
  add_subdirectory(platform/common/iconv)
endif()
add_library(bixiqin_iconv INTERFACE)
target_include_directories(bixiqin_iconv INTERFACE ${CMAKE_SOURCE_DIR}/platform/win32/include)
target_link_libraries(bixiqin_iconv INTERFACE bixiqin_own_iconv)

set(BIXIQIN_WINDOWS_LIBRARIES "")
bixiqin_windows_library(bixiqin_text text LINK bixiqin_iconv)

# The contract's Win32 side (platform/win32/) and what needs no system
# (platform/common/). ntdll: files opened by their name within a folder's
# handle; advapi32: a source's access list carried to its output; shell32:
# the command line in UTF-16; winmm: the window's music; user32, gdi32,
# comctl32, comdlg32 and dwmapi: the windows, the open dialog and the glass.
bixiqin_windows_library(bixiqin_platform platform/win32 LINK bixiqin_text bixiqin_iconv ntdll advapi32 shell32 winmm
  user32 gdi32 comctl32 comdlg32 dwmapi)
bixiqin_windows_sources(_common platform/common "")
target_sources(bixiqin_platform PRIVATE ${_common})
# <windows.h> without its min and max macros and its rarely used parts.
target_compile_definitions(bixiqin_platform PRIVATE NOMINMAX WIN32_LEAN_AND_MEAN)

bixiqin_windows_library(bixiqin_files files LINK bixiqin_text bixiqin_platform)
bixiqin_windows_library(bixiqin_convert convert LINK bixiqin_files bixiqin_platform bixiqin_text)

# The window layer and its handlers in the other folders reach each other:
# a deliberate cycle between static libraries, as on Linux, which CMake
# resolves by repeating them on the link line.
bixiqin_windows_library(bixiqin_ui ui LINK bixiqin_text bixiqin_platform bixiqin_app bixiqin_convert
  bixiqin_files bixiqin_effects)
bixiqin_windows_library(bixiqin_effects effects LINK bixiqin_text bixiqin_platform bixiqin_ui)
bixiqin_windows_library(bixiqin_app app LINK bixiqin_text bixiqin_platform bixiqin_ui)

# The window program, a Windows program without a console.
add_executable(bixiqin WIN32 app/entry/main.cpp)
target_link_libraries(bixiqin PRIVATE bixiqin_settings bixiqin_app)
set_target_properties(bixiqin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The command-line converter, at the top of the build folder as on Linux.
file(GLOB _command_line_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/command_line/*.cpp)
add_executable(bixiqin-convert app/entry/convert_main.cpp ${_command_line_src})
target_link_libraries(bixiqin-convert PRIVATE bixiqin_settings bixiqin_convert)
target_compile_definitions(bixiqin-convert PRIVATE BIXIQIN_VERSION="${PROJECT_VERSION}")
set_target_properties(bixiqin-convert PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

include(${CMAKE_SOURCE_DIR}/cmake/windows_package.cmake)

if(NOT BIXIQIN_TESTS)
  return()
endif()

# GoogleTest from Debian's sources, built for Windows with this toolchain.
# SYSTEM: its headers' warnings are its own, as with the installed headers
# on Linux.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

enable_testing()
include(GoogleTest)

# The tests' entry without a window toolkit (tests/support/main.cpp starts
# a QApplication).
add_library(bixiqin_windows_test_main STATIC tests/support/windows_main.cpp)
target_link_libraries(bixiqin_windows_test_main PUBLIC bixiqin_settings GTest::gtest)

# The test folders built for Windows; tests/<folder> becomes test_<folder>
# from its *.cpp files, less those in bixiqin_windows_left_out_<folder>.
# tests/windows is this edition's alone (the Linux build skips it).
set(BIXIQIN_WINDOWS_TEST_FOLDERS text convert files cli effects music windows)

# QtSeesReplacementCharactersForStrayBytes, in this file, compares with
# Qt's strings.
set(bixiqin_windows_left_out_text encoding_boundary_test.cpp)

set(bixiqin_windows_left_out_convert
  # glibc's UTF-32 with its byte order mark (our own iconv has UTF-32LE
  # only), modification times in nanoseconds (st_mtim), /proc/self/status.
  conversion_linux_test.cpp
  # FIFOs and device nodes, a read-only bind mount, the file size limit in
  # a death test.
  failure_linux_test.cpp
  # Linux's 255-byte names and tmpfs mounts in a child.
  outcome_linux_test.cpp
  # utimensat, unnamed files (O_TMPFILE), a folder swapped in a forked child.
  source_change_linux_test.cpp
  # Mounts, resource limits, fork and kill, signals, seccomp, permission
  # bits and access lists.
  file_systems_test.cpp
  # The look-ahead's permission bits and open-file limit; the threads and
  # their nice values from /proc (look_ahead_support_windows.cpp answers
  # the same questions here).
  look_ahead_linux_test.cpp look_ahead_support_linux.cpp
  # Mount namespaces, seccomp and fork, for the files above.
  private_disk.cpp)

# The locale's variables, line breaks and backslashes in names, resource
# limits, kernel files, /dev/full and pipes; and their fork-and-exec runner
# (program_run_windows.cpp runs the .exe instead).
set(bixiqin_windows_left_out_cli command_line_linux_test.cpp program_run_linux.cpp)

# The Linux side's record from uname and os-release; the window's effects
# and the screenshot tool, which need the window.
set(bixiqin_windows_left_out_effects version_record_test.cpp screenshot_tool_test.cpp
  window_effects_fixture.cpp window_effects_kinds_test.cpp window_effects_windows_test.cpp)

# The synthesizer's rendering and schedule, and the stream closed inside
# it: Linux's default output.
set(bixiqin_windows_left_out_music closed_stream_test.cpp render_test.cpp synth_schedule_test.cpp)

# The open dialog's tests drive Qt's file dialog.
set(bixiqin_windows_left_out_files open_dialog_gui_test.cpp open_dialog_names_test.cpp
  open_dialog_platform_test.cpp)

# Test discovery runs each program, and only x86_64 has an emulator here
# (scripts/wine-run); the i686 tests are built but not registered.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(STATUS "No emulator for ${CMAKE_SYSTEM_PROCESSOR}: the tests are built, not registered with ctest")
endif()

# The command line's tests share the conversion tests' folder and the
# Windows tests' runner.
set(bixiqin_windows_also_cli tests/convert/temp_folder.cpp tests/windows/windows_support.cpp
  tests/windows/utf16.cpp)

foreach(_folder IN LISTS BIXIQIN_WINDOWS_TEST_FOLDERS)
  bixiqin_windows_sources(_src tests/${_folder} "${bixiqin_windows_left_out_${_folder}}")
  add_executable(test_${_folder} ${_src} ${bixiqin_windows_also_${_folder}})
  target_link_libraries(test_${_folder} PRIVATE bixiqin_windows_test_main ${BIXIQIN_WINDOWS_LIBRARIES})
  target_compile_definitions(test_${_folder} PRIVATE BIXIQIN_BINARY_DIR="${CMAKE_BINARY_DIR}"
    BIXIQIN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  set_target_properties(test_${_folder} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    # The first program run under Wine also makes the build's prefix.
    gtest_discover_tests(test_${_folder} PROPERTIES LABELS ${_folder} DISCOVERY_TIMEOUT 120)
  endif()
endforeach()

# The command line's tests once more with Chinese for the user's language:
# Wine takes it from the locale it is started in, so a zh_CN locale is
# made here (the system may have none) and those runs start in it.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(_locales ${CMAKE_BINARY_DIR}/locale)
  add_custom_command(OUTPUT ${_locales}/zh_CN.UTF-8/LC_CTYPE
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_locales}
    COMMAND localedef -i zh_CN -f UTF-8 ${_locales}/zh_CN.UTF-8
    COMMENT "A zh_CN.UTF-8 locale for the tests' Chinese run")
  add_custom_target(bixiqin_chinese_locale DEPENDS ${_locales}/zh_CN.UTF-8/LC_CTYPE)
  add_dependencies(test_cli bixiqin_chinese_locale)
  gtest_discover_tests(test_cli TEST_PREFIX "zh_CN:" DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS cli ENVIRONMENT "LOCPATH=${_locales};LC_ALL=zh_CN.UTF-8;LANG=zh_CN.UTF-8")
endif()

# The Windows and command-line tests run bixiqin-convert.exe (found beside
# the tests folder) and call the system themselves.
foreach(_runs_the_program test_windows test_cli)
  add_dependencies(${_runs_the_program} bixiqin-convert)
  target_compile_definitions(${_runs_the_program} PRIVATE NOMINMAX WIN32_LEAN_AND_MEAN)
endforeach()

include(${CMAKE_SOURCE_DIR}/cmake/windows_realwindow.cmake)
