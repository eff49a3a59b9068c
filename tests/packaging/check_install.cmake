# SPDX-License-Identifier: 0BSD
# Installs the game into a scratch prefix and checks what a desktop and a
# user rely on: the program in a folder of its own, a relative launcher link
# that still leads to it after the tree is moved, icons of every theme size
# and a scalable one that are the same picture, a desktop entry that starts
# the program by its absolute path (also when packaged with DESTDIR), entries
# that name one another correctly, manual pages that render cleanly in both
# languages, and an install manifest that lists exactly what was installed
# (the README's uninstall removes what it lists). The program's and the
# command's folders are the ones the build was configured with: lib/tavlin
# and bin for a user's prefix, lib/games/tavlin and games in Debian's package.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DPROGRAM_DIR=... -DCOMMAND_DIR=...
#         -P check_install.cmake

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

set(program "${PROGRAM_DIR}/tavlin")
set(launcher "${COMMAND_DIR}/tavlin")
set(desktop "share/applications/tavlin.desktop")
# The metainfo is named after its component id, which is the distributor's
# to choose: there must be exactly one.
file(GLOB metainfo RELATIVE "${PREFIX}" "${PREFIX}/share/metainfo/*")
list(LENGTH metainfo count)
if(NOT count EQUAL 1 OR NOT metainfo MATCHES "^share/metainfo/([^/]+)\\.metainfo\\.xml$")
  message(FATAL_ERROR "FAIL: expected one share/metainfo/<id>.metainfo.xml, found '${metainfo}'")
endif()
set(appstream_id "${CMAKE_MATCH_1}")
set(icon_sizes 16 22 24 32 48 64 128 256)
set(pngs)
foreach(size IN LISTS icon_sizes)
  list(APPEND pngs "share/icons/hicolor/${size}x${size}/apps/tavlin.png")
endforeach()
set(svg "share/icons/hicolor/scalable/apps/tavlin.svg")
set(man_en "share/man/man6/tavlin.6")
set(man_cs "share/man/cs/man6/tavlin.6")
set(expected ${program} ${launcher} ${desktop} ${metainfo} ${pngs} ${svg} ${man_en} ${man_cs})

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

# The icons: each PNG a square of its size, outlined to its very edge and
# transparent inside; the SVG true vector shapes, no picture and no font,
# that render to the same pixels as the PNGs where the scale is whole.
find_program(convert convert)
find_program(compare compare)
find_program(rsvg rsvg-convert)
if(NOT convert OR NOT compare OR NOT rsvg)
  fail("ImageMagick or rsvg-convert is missing (Debian packages imagemagick, librsvg2-bin; scripts/setup installs them)")
else()
  foreach(size IN LISTS icon_sizes)
    set(png "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tavlin.png")
    file(READ "${png}" head LIMIT 8 HEX)
    math(EXPR last "${size} - 1")
    math(EXPR inside "${size} / 8")
    execute_process(COMMAND "${convert}" "${png}" -format
                            "%wx%h %[hex:p{0,0}] %[hex:p{${last},${last}}] %[hex:p{${inside},${inside}}]" info:
                    OUTPUT_VARIABLE seen ERROR_VARIABLE seen)
    if(NOT head STREQUAL "89504e470d0a1a0a")
      fail("${png} is not a PNG file")
    elseif(NOT seen STREQUAL "${size}x${size} 000000FF 000000FF 00000000")
      fail("${png}: size, outline corners and inside are '${seen}'")
    endif()
  endforeach()
  foreach(size 32 256)
    execute_process(COMMAND "${rsvg}" -w ${size} -h ${size} -o "${PREFIX} svg${size}.png" "${PREFIX}/${svg}")
    execute_process(COMMAND "${compare}" -metric AE "${PREFIX} svg${size}.png"
                            "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tavlin.png" null:
                    RESULT_VARIABLE rc ERROR_VARIABLE differing)
    file(REMOVE "${PREFIX} svg${size}.png")
    if(NOT rc EQUAL 0)
      fail("the SVG drawn at ${size} px differs from the PNG in '${differing}' pixels")
    endif()
  endforeach()
endif()
file(READ "${PREFIX}/${svg}" svg_text)
if(NOT svg_text MATCHES "<svg " OR svg_text MATCHES "<image|base64|<text")
  fail("${svg} is not an SVG of shapes alone:\n${svg_text}")
endif()

# The manual pages render without a warning, the Czech one with its
# diacritics, and each names the keys and the best-of table's file.
foreach(page_and_words "${man_en}|F3|tavlin.inf" "${man_cs}|Nejlepší hráči|tavlin.inf")
  string(REPLACE "|" ";" page_and_words "${page_and_words}")
  list(POP_FRONT page_and_words page)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                          man --warnings=w -l "${PREFIX}/${page}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
  if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
    fail("man -l ${page} ended with ${rc}:\n${warnings}")
  endif()
  foreach(words IN LISTS page_and_words)
    string(FIND "${text}" "${words}" at)
    if(at EQUAL -1)
      fail("${page} as rendered does not say '${words}':\n${text}")
    endif()
  endforeach()
endforeach()

# The desktop entry starts the program by its absolute path, so that it
# works whatever PATH the session has; the blank in the prefix is quoted.
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
entry_value(TryExec try_exec)
entry_value(Icon icon)
entry_value(Name name)
entry_value(Categories categories)
if(NOT exec STREQUAL "\"${PREFIX}/${program}\"" OR NOT try_exec STREQUAL "${PREFIX}/${program}")
  fail("desktop entry runs '${exec}', tries '${try_exec}'; the program is ${PREFIX}/${program}")
endif()
if(NOT icon STREQUAL "tavlin")
  fail("desktop entry's icon '${icon}' is not the installed tavlin.png / tavlin.svg")
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

# Packaged with DESTDIR, the entry names the program where it will run, not
# where it was staged; a % and a $ in that path are escaped.
set(staging "${PREFIX} staged")
set(odd_prefix "/opt/50% $off")
file(REMOVE_RECURSE "${staging}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${staging}"
                        ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${odd_prefix}" --component tavlin
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE out)
file(STRINGS "${staging}${odd_prefix}/${desktop}" entry ENCODING UTF-8)
entry_value(Exec exec)
entry_value(TryExec try_exec)
if(NOT rc EQUAL 0 OR NOT exec STREQUAL "\"/opt/50%% \\\\\$off/${program}\""
   OR NOT try_exec STREQUAL "/opt/50% $off/${program}")
  fail("installed with DESTDIR (${rc}, ${out}) the entry runs '${exec}', tries '${try_exec}'")
endif()
file(REMOVE_RECURSE "${staging}")

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
message("The installed tree under ${PREFIX} is complete.")
