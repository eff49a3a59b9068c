# Installs the game into a scratch prefix and checks what a desktop and a
# user rely on: the program in a folder of its own, a relative launcher link
# that still leads to it after the tree is moved, icons of the right size
# under the name the desktop entry uses, entries that name one another
# correctly, and an install manifest that lists exactly what was installed
# (the README's uninstall removes what it lists).
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -P check_install.cmake

cmake_minimum_required(VERSION 3.25)

set(failures 0)
macro(fail)
  message(SEND_ERROR "FAIL: " ${ARGN})
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}" --component tavlin
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
message("${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "FAIL: cmake --install ended with ${rc}")
endif()

set(program "lib/tavlin/tavlin")
set(launcher "bin/tavlin")
set(desktop "share/applications/tavlin.desktop")
# The metainfo is named after its component id, which is the distributor's
# to choose: there must be exactly one.
file(GLOB metainfo RELATIVE "${PREFIX}" "${PREFIX}/share/metainfo/*")
list(LENGTH metainfo count)
if(NOT count EQUAL 1 OR NOT metainfo MATCHES "^share/metainfo/([^/]+)\\.metainfo\\.xml$")
  message(FATAL_ERROR "FAIL: expected one share/metainfo/<id>.metainfo.xml, found '${metainfo}'")
endif()
set(appstream_id "${CMAKE_MATCH_1}")
set(png "share/icons/hicolor/32x32/apps/tavlin.png")
set(svg "share/icons/hicolor/scalable/apps/tavlin.svg")
set(expected ${program} ${launcher} ${desktop} ${metainfo} ${png} ${svg})

# Every file in its place, and nothing else in the tree.
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT found)
set(expected_sorted ${expected})
list(SORT expected_sorted)
if(NOT found STREQUAL expected_sorted)
  fail("installed files\n  ${found}\nexpected\n  ${expected_sorted}")
endif()

# The manifest is the uninstall list: exactly the installed files.
set(manifest_file "${BUILD_DIR}/install_manifest_tavlin.txt")
if(NOT EXISTS "${manifest_file}")
  fail("no ${manifest_file}")
else()
  file(STRINGS "${manifest_file}" manifest)
  set(manifest_expected)
  foreach(f IN LISTS expected)
    list(APPEND manifest_expected "${PREFIX}/${f}")
  endforeach()
  list(SORT manifest)
  list(SORT manifest_expected)
  if(NOT manifest STREQUAL manifest_expected)
    fail("install manifest lists\n  ${manifest}\nexpected\n  ${manifest_expected}")
  endif()
endif()

# The program: an executable ELF file, not a link.
if(IS_SYMLINK "${PREFIX}/${program}")
  fail("${program} is a link; the best-of table must sit beside the real program")
endif()
file(READ "${PREFIX}/${program}" magic LIMIT 4 HEX)
if(NOT magic STREQUAL "7f454c46")
  fail("${program} is not an executable file (starts with ${magic})")
endif()
execute_process(COMMAND test -x "${PREFIX}/${program}" RESULT_VARIABLE not_executable)
if(NOT not_executable EQUAL 0)
  fail("${program} is not executable")
endif()

# The launcher: a relative link, so that the tree can be moved (or packaged
# with DESTDIR) and the link still leads to the program.
macro(check_launcher root)
  if(NOT IS_SYMLINK "${root}/${launcher}")
    fail("${launcher} is not a symbolic link")
  else()
    file(READ_SYMLINK "${root}/${launcher}" target)
    if(IS_ABSOLUTE "${target}")
      fail("${launcher} points at the absolute path ${target}")
    endif()
    file(REAL_PATH "${root}/${launcher}" resolved)
    file(REAL_PATH "${root}/${program}" real_program)
    if(NOT resolved STREQUAL real_program)
      fail("${root}/${launcher} leads to ${resolved}, not to ${real_program}")
    endif()
  endif()
endmacro()
check_launcher("${PREFIX}")
file(RENAME "${PREFIX}" "${PREFIX} moved")
check_launcher("${PREFIX} moved")
file(RENAME "${PREFIX} moved" "${PREFIX}")

# The PNG icon: 32 × 32 (signature, then IHDR's width and height).
file(READ "${PREFIX}/${png}" head LIMIT 24 HEX)
if(NOT head MATCHES "^89504e470d0a1a0a0000000d49484452")
  fail("${png} is not a PNG file")
elseif(NOT head MATCHES "0000002000000020$")
  fail("${png} is not 32 x 32 (header ${head})")
endif()

# The SVG icon: the same 32-unit square drawn in black and bright red, with
# shapes only, so that no missing font can change it.
file(READ "${PREFIX}/${svg}" svg_text)
foreach(needle "<svg " "viewBox=\"0 0 32 32\"" "fill=\"#000000\"" "fill=\"#ff0000\"")
  string(FIND "${svg_text}" "${needle}" at)
  if(at EQUAL -1)
    fail("${svg} has no ${needle}")
  endif()
endforeach()
string(FIND "${svg_text}" "<text" at)
if(NOT at EQUAL -1)
  fail("${svg} draws text with a font")
endif()

# The desktop entry starts the launcher by name and uses the icons' name.
file(STRINGS "${PREFIX}/${desktop}" entry ENCODING UTF-8)
macro(entry_value key out)
  set(${out} "")
  foreach(line IN LISTS entry)
    if(line MATCHES "^${key}=(.*)$")
      set(${out} "${CMAKE_MATCH_1}")
    endif()
  endforeach()
endmacro()
entry_value(Exec exec)
entry_value(Icon icon)
entry_value(Name name)
entry_value(Categories categories)
get_filename_component(launcher_name "${launcher}" NAME)
get_filename_component(png_name "${png}" NAME_WE)
get_filename_component(svg_name "${svg}" NAME_WE)
if(NOT exec STREQUAL launcher_name)
  fail("desktop entry runs '${exec}', the launcher is '${launcher_name}'")
endif()
if(NOT icon STREQUAL png_name OR NOT icon STREQUAL svg_name)
  fail("desktop entry's icon '${icon}' is not the installed ${png_name} / ${svg_name}")
endif()
if(NOT name STREQUAL "Tavlin")
  fail("desktop entry's Name is '${name}'")
endif()
if(NOT categories STREQUAL "Game;LogicGame;")
  fail("desktop entry's Categories are '${categories}'")
endif()

# The metainfo names itself after its file, launches the installed desktop
# entry, and its newest release is the version being installed.
file(READ "${PREFIX}/${metainfo}" meta)
string(FIND "${meta}" "<id>${appstream_id}</id>" at)
if(at EQUAL -1)
  fail("metainfo's id is not ${appstream_id}, the name of its file")
endif()
get_filename_component(desktop_name "${desktop}" NAME)
if(NOT meta MATCHES "<launchable type=\"desktop-id\">${desktop_name}</launchable>")
  fail("metainfo does not launch ${desktop_name}")
endif()
if(NOT meta MATCHES "<release version=\"([^\"]*)\"")
  fail("metainfo has no release")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  fail("metainfo's newest release is ${CMAKE_MATCH_1}, the program is ${VERSION}: add a <release>")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
message("The installed tree under ${PREFIX} is complete.")
