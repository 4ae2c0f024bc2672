# The Windows edition's program resources (manifest, icon, version) and its
# installer and portable zip. Included by cmake/windows.cmake.
#
# Each program of the edition is named once, with bixiqin_windows_program()
# below: that gives it its resources and puts it into the installer and the
# zip. The package itself is the target bixiqin-windows-package (make
# windows-package); the tools come from scripts/install-windows-deps.

enable_language(RC)

set(_windows_packaging ${CMAKE_SOURCE_DIR}/packaging/windows)
set(_windows_generated ${CMAKE_BINARY_DIR}/packaging)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "AMD64")
  set(BIXIQIN_EDITION win64)
  set(BIXIQIN_MANIFEST_ARCH amd64)
  set(_nsis_target amd64-unicode)
else()
  set(BIXIQIN_EDITION win32)
  set(BIXIQIN_MANIFEST_ARCH x86)
  set(_nsis_target x86-unicode)
endif()

# The version record wants four numbers; the project gives two or three.
set(BIXIQIN_VERSION_COMMAS "")
foreach(_part MAJOR MINOR PATCH TWEAK)
  set(_number "${PROJECT_VERSION_${_part}}")
  if(_number STREQUAL "")
    set(_number 0)
  endif()
  list(APPEND BIXIQIN_VERSION_COMMAS ${_number})
endforeach()
string(JOIN "." BIXIQIN_VERSION_4 ${BIXIQIN_VERSION_COMMAS})
string(JOIN "," BIXIQIN_VERSION_COMMAS ${BIXIQIN_VERSION_COMMAS})

# The copyright line of LICENSE, so that the two never disagree.
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE BIXIQIN_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1 ENCODING UTF-8)
string(REGEX REPLACE "^Copyright (\\([cC]\\) )?[0-9, -]+ " "" BIXIQIN_COMPANY "${BIXIQIN_COPYRIGHT}")
string(APPEND BIXIQIN_COPYRIGHT ", MIT License")

# One icon for every program, made from the committed pictures: 48 and 128
# pixels as bitmaps, 256 as PNG (as Windows Vista and later expect).
find_program(BIXIQIN_ICOTOOL icotool)
if(NOT BIXIQIN_ICOTOOL)
  message(FATAL_ERROR "icotool (Debian's icoutils) is missing: scripts/install-windows-deps installs it")
endif()
set(_icons ${CMAKE_SOURCE_DIR}/data/icons)
set(BIXIQIN_WINDOWS_ICON ${_windows_generated}/bixiqin.ico)
add_custom_command(OUTPUT ${BIXIQIN_WINDOWS_ICON}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_windows_generated}
  COMMAND ${BIXIQIN_ICOTOOL} --create --output=${BIXIQIN_WINDOWS_ICON}
    ${_icons}/bixiqin-48.png ${_icons}/bixiqin-128.png --raw=${_icons}/bixiqin-256.png
  DEPENDS ${_icons}/bixiqin-48.png ${_icons}/bixiqin-128.png ${_icons}/bixiqin-256.png
  COMMENT "The programs' icon from data/icons"
  VERBATIM)

# The programs in the package, in order; the first one's icon stands for the
# installed program in the system's list of programs.
set(BIXIQIN_WINDOWS_PROGRAMS "")
set(_nsis_install "")
set(_nsis_remove "")
set(_nsis_shortcuts "")
set(_nsis_remove_shortcuts "")

# bixiqin_windows_program(<target> DESCRIPTION <text> [SHORTCUT <name> [CONSOLE]])
# Gives the program its icon, manifest and version record and packages it.
# SHORTCUT: a Start-menu entry of that name; with CONSOLE, a console program,
# the entry opens a command prompt in the program's folder that shows its
# help (started from Explorer it would only flash a window).
function(bixiqin_windows_program target)
  cmake_parse_arguments(PARSE_ARGV 1 _arg "CONSOLE" "DESCRIPTION;SHORTCUT" "")
  if(NOT _arg_DESCRIPTION)
    message(FATAL_ERROR "bixiqin_windows_program(${target}): DESCRIPTION is missing")
  endif()
  set(BIXIQIN_PROGRAM ${target})
  set(BIXIQIN_PROGRAM_FILE ${target}.exe)
  set(BIXIQIN_PROGRAM_DESCRIPTION "${_arg_DESCRIPTION}")
  set(BIXIQIN_PROGRAM_MANIFEST ${_windows_generated}/${target}.manifest)
  get_target_property(_output_name ${target} OUTPUT_NAME)
  if(_output_name)
    message(FATAL_ERROR "bixiqin_windows_program(${target}): the file must be named after the target")
  endif()
  configure_file(${_windows_packaging}/program.manifest.in ${BIXIQIN_PROGRAM_MANIFEST} @ONLY)
  configure_file(${_windows_packaging}/program.rc.in ${_windows_generated}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${_windows_generated}/${target}.rc)
  # windres reports no dependencies of its own.
  set_source_files_properties(${_windows_generated}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${BIXIQIN_WINDOWS_ICON};${BIXIQIN_PROGRAM_MANIFEST}")

  set(BIXIQIN_WINDOWS_PROGRAMS ${BIXIQIN_WINDOWS_PROGRAMS} ${target} PARENT_SCOPE)
  set(_nsis_install "${_nsis_install}  File \"${target}.exe\"\n" PARENT_SCOPE)
  set(_nsis_remove "${_nsis_remove}  Delete \"$INSTDIR\\${target}.exe\"\n" PARENT_SCOPE)
  if(_arg_SHORTCUT)
    set(_link "$SMPROGRAMS\\\${BIXIQIN_START_MENU}\\${_arg_SHORTCUT}.lnk")
    if(_arg_CONSOLE)
      set(_create "  CreateShortcut \"${_link}\" \"$SYSDIR\\cmd.exe\" \"/k ${target}.exe --help\" \"$INSTDIR\\${target}.exe\" 0\n")
    else()
      set(_create "  CreateShortcut \"${_link}\" \"$INSTDIR\\${target}.exe\"\n")
    endif()
    set(_nsis_shortcuts "${_nsis_shortcuts}${_create}" PARENT_SCOPE)
    set(_nsis_remove_shortcuts "${_nsis_remove_shortcuts}  Delete \"${_link}\"\n" PARENT_SCOPE)
  elseif(_arg_CONSOLE)
    message(FATAL_ERROR "bixiqin_windows_program(${target}): CONSOLE describes a SHORTCUT")
  endif()
endfunction()

bixiqin_windows_program(bixiqin DESCRIPTION "碧溪琴 批量转码工具 (Bixiqin batch encoding converter)" SHORTCUT "碧溪琴")
bixiqin_windows_program(bixiqin-convert DESCRIPTION "碧溪琴 命令行转换 (Bixiqin command-line converter)"
  SHORTCUT "碧溪琴 命令行" CONSOLE)

# The package: the programs, README and LICENSE staged in one folder, from
# which both the zip (that folder in it) and the installer are made.
find_program(BIXIQIN_MAKENSIS makensis)
find_program(BIXIQIN_ZIP zip)
set(_package_name bixiqin-${PROJECT_VERSION}-${BIXIQIN_EDITION})
set(_package ${CMAKE_BINARY_DIR}/package)
set(_stage ${_package}/stage/${_package_name})
set(_zip ${_package}/${_package_name}.zip)
set(_setup ${_package}/${_package_name}-setup.exe)
set(_programs_nsh ${_windows_generated}/programs.nsh)

list(GET BIXIQIN_WINDOWS_PROGRAMS 0 _main_program)
file(GENERATE OUTPUT ${_programs_nsh} CONTENT
"; The programs of the ${BIXIQIN_EDITION} edition, from cmake/windows_package.cmake.
!define BIXIQIN_MAIN_PROGRAM \"${_main_program}.exe\"
!macro BIXIQIN_INSTALL_PROGRAMS
${_nsis_install}!macroend
!macro BIXIQIN_REMOVE_PROGRAMS
${_nsis_remove}!macroend
!macro BIXIQIN_CREATE_SHORTCUTS
${_nsis_shortcuts}!macroend
!macro BIXIQIN_REMOVE_SHORTCUTS
${_nsis_remove_shortcuts}!macroend
")

set(_copy_programs "")
foreach(_program IN LISTS BIXIQIN_WINDOWS_PROGRAMS)
  # The debugging information stays in the build folder: a quarter of the size.
  list(APPEND _copy_programs COMMAND ${CMAKE_STRIP} --strip-debug -o ${_stage}/${_program}.exe
    $<TARGET_FILE:${_program}>)
endforeach()

# Only the package's own target fails without the tools, so that make
# windows builds on a machine without them.
if(BIXIQIN_MAKENSIS AND BIXIQIN_ZIP)
  add_custom_command(OUTPUT ${_zip} ${_setup}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${_stage} ${_zip} ${_setup}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}
    ${_copy_programs}
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/README.md -DOUT=${_stage}/README.txt
      -P ${_windows_packaging}/windows-text.cmake
    COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/LICENSE -DOUT=${_stage}/LICENSE.txt
      -P ${_windows_packaging}/windows-text.cmake
    # -X: no Unix owners and times of day beyond the DOS ones.
    COMMAND ${CMAKE_COMMAND} -E chdir ${_package}/stage ${BIXIQIN_ZIP} -q -X -r ${_zip} ${_package_name}
    # -NOCD: the File commands name the staged files, relative to here.
    COMMAND ${CMAKE_COMMAND} -E chdir ${_stage} ${BIXIQIN_MAKENSIS} -V2 -NOCD -INPUTCHARSET UTF8
      -DVERSION=${PROJECT_VERSION} -DVERSION_4=${BIXIQIN_VERSION_4} -DEDITION=${BIXIQIN_EDITION}
      -DTARGET=${_nsis_target} -DPROGRAMS=${_programs_nsh} -DICON=${BIXIQIN_WINDOWS_ICON}
      -DOUTFILE=${_setup} ${_windows_packaging}/bixiqin.nsi
    DEPENDS ${BIXIQIN_WINDOWS_PROGRAMS} ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
      ${_windows_packaging}/bixiqin.nsi ${_windows_packaging}/windows-text.cmake ${_programs_nsh}
      ${BIXIQIN_WINDOWS_ICON}
    COMMENT "The ${BIXIQIN_EDITION} installer and portable zip in ${_package}"
    VERBATIM)
  add_custom_target(bixiqin-windows-package DEPENDS ${_zip} ${_setup})
else()
  add_custom_target(bixiqin-windows-package
    COMMAND ${CMAKE_COMMAND} -E echo "makensis or zip is missing: scripts/install-windows-deps installs them"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
