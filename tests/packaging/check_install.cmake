# SPDX-License-Identifier: 0BSD
# The game installed into a scratch prefix (its component only, so that the
# manifest of a real install in the build folder is left alone), checked for what a desktop and a user rely on.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -DPROGRAM_DIR=... -DCOMMAND_DIR=...
#         -P check_install.cmake

cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/../fixtures/checks.cmake)
macro(install_into prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${destdir}"
                          ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}" --component tavlin
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "FAIL: cmake --install ended with ${rc}: ${out}")
  endif()
endmacro()
macro(entry_value key out)
  file(STRINGS "${destdir}${PREFIX}/share/applications/tavlin.desktop" ${out} REGEX "^${key}=" ENCODING UTF-8)
  string(REGEX REPLACE "^${key}=" "" ${out} "${${out}}")
endmacro()

file(REMOVE_RECURSE "${PREFIX}")
set(destdir "")
install_into("${PREFIX}")

set(program "${PROGRAM_DIR}/tavlin")
set(launcher "${COMMAND_DIR}/tavlin")
set(svg "share/icons/hicolor/scalable/apps/tavlin.svg")
# The metainfo is named after its component id, the distributor's to choose.
file(GLOB metainfo RELATIVE "${PREFIX}" "${PREFIX}/share/metainfo/*.metainfo.xml")
set(icon_sizes 16 22 24 32 48 64 128 256)
set(expected ${program} ${launcher} share/applications/tavlin.desktop ${metainfo} ${svg}
             share/man/man6/tavlin.6 share/man/cs/man6/tavlin.6)
foreach(size IN LISTS icon_sizes)
  list(APPEND expected "share/icons/hicolor/${size}x${size}/apps/tavlin.png")
endforeach()
list(SORT expected)
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${PREFIX}" "${PREFIX}/*")
list(SORT found)
check("found STREQUAL expected" MESSAGE "installed files\n  ${found}\nexpected\n  ${expected}")
file(STRINGS "${BUILD_DIR}/install_manifest_tavlin.txt" manifest)
list(TRANSFORM expected PREPEND "${PREFIX}/" OUTPUT_VARIABLE listed)
list(SORT manifest)
check("manifest STREQUAL listed" MESSAGE "the install manifest lists\n  ${manifest}")

# The real program, not a link: the best-of table sits beside it. The
# launcher leads to it by a relative link, also once the tree is moved.
execute_process(COMMAND test -x "${PREFIX}/${program}" RESULT_VARIABLE not_executable)
check("NOT IS_SYMLINK \"${PREFIX}/${program}\" AND not_executable EQUAL 0" MESSAGE "${program} is no program")
file(RENAME "${PREFIX}" "${PREFIX} moved")
file(READ_SYMLINK "${PREFIX} moved/${launcher}" target)
file(REAL_PATH "${PREFIX} moved/${launcher}" resolved)
check("NOT IS_ABSOLUTE \"${target}\" AND resolved STREQUAL \"${PREFIX} moved/${program}\""
      MESSAGE "${launcher} links to ${target}")
file(RENAME "${PREFIX} moved" "${PREFIX}")

# Each PNG a square of its size, outlined to its edge and transparent
# inside; the SVG shapes alone, drawn to the PNGs' very pixels.
find_program(convert convert)
find_program(compare compare)
find_program(rsvg rsvg-convert)
check("convert AND compare AND rsvg" MESSAGE "ImageMagick or rsvg-convert is missing (scripts/setup installs them)")
foreach(size IN LISTS icon_sizes)
  set(png "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tavlin.png")
  math(EXPR last "${size} - 1")
  math(EXPR inside "${size} / 8")
  execute_process(COMMAND "${convert}" "png:${png}" -format
                          "%wx%h %[hex:p{0,0}] %[hex:p{${last},${last}}] %[hex:p{${inside},${inside}}]" info:
                  OUTPUT_VARIABLE seen ERROR_VARIABLE seen)
  check("seen STREQUAL \"${size}x${size} 000000FF 000000FF 00000000\"" MESSAGE "${png}: '${seen}'")
endforeach()
foreach(size 32 256)
  execute_process(COMMAND "${rsvg}" -w ${size} -h ${size} -o "${PREFIX} svg.png" "${PREFIX}/${svg}")
  execute_process(COMMAND "${compare}" -metric AE "${PREFIX} svg.png"
                          "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/tavlin.png" null:
                  RESULT_VARIABLE rc ERROR_VARIABLE differing)
  check("rc EQUAL 0" MESSAGE "the SVG drawn at ${size} px differs from the PNG in '${differing}' pixels")
endforeach()
file(REMOVE "${PREFIX} svg.png")
file(READ "${PREFIX}/${svg}" svg_text)
check("svg_text MATCHES \"<svg \" AND NOT svg_text MATCHES \"<image|base64|<text\"" MESSAGE "${svg} is not shapes alone")

# The manual pages render without a warning, the Czech one with its letters.
set(pages man6 cs/man6)
set(words F3 "Nejlepší hráči")
foreach(page word IN ZIP_LISTS pages words)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                          man --warnings=w -l "${PREFIX}/share/man/${page}/tavlin.6"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
  string(FIND "${text}" "${word}" at)
  check("rc EQUAL 0 AND warnings STREQUAL \"\" AND NOT at EQUAL -1" MESSAGE "${page}: ${rc} ${warnings}\n${text}")
endforeach()

# The entry starts the program by its absolute path, whatever PATH the
# session has, and shows the installed icon; the metainfo names itself
# after its file, launches the entry, and its newest release is this one.
entry_value(Exec exec)
entry_value(TryExec try_exec)
entry_value(Icon icon)
set(run "${PREFIX}/${program}")
set(quoted "\"${run}\"")
check("exec STREQUAL quoted AND try_exec STREQUAL run AND icon STREQUAL tavlin"
      MESSAGE "the desktop entry runs '${exec}', tries '${try_exec}', shows '${icon}'")
file(READ "${PREFIX}/${metainfo}" meta)
get_filename_component(id "${metainfo}" NAME)
string(REPLACE ".metainfo.xml" "" id "${id}")
string(FIND "${meta}" "<id>${id}</id>" id_at)
string(FIND "${meta}" "<launchable type=\"desktop-id\">tavlin.desktop</launchable>" launchable_at)
string(REGEX MATCH "<release version=\"([^\"]*)\"" release "${meta}")
set(release "${CMAKE_MATCH_1}")
check("id_at GREATER -1 AND launchable_at GREATER -1 AND release STREQUAL VERSION"
      MESSAGE "the metainfo's id, launchable or newest release (${release}, not ${VERSION}) is wrong")

# The desktop's own checkers find nothing to say: no error, warning, info
# or pedantic hint.
find_program(desktop_file_validate desktop-file-validate)
find_program(appstreamcli appstreamcli)
check("desktop_file_validate AND appstreamcli" MESSAGE "desktop-file-utils or appstream is missing (scripts/setup installs them)")
execute_process(COMMAND "${desktop_file_validate}" "${PREFIX}/share/applications/tavlin.desktop"
                RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE said)
check("rc EQUAL 0 AND said STREQUAL \"\"" MESSAGE "desktop-file-validate: ${said}")
execute_process(COMMAND "${appstreamcli}" validate --no-net --strict --pedantic --explain "${PREFIX}/${metainfo}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE said ERROR_VARIABLE said)
check("rc EQUAL 0 AND NOT said MATCHES \"(^|\n)[EWIP]: \"" MESSAGE "appstreamcli validate: ${said}")

# Packaged with DESTDIR, the entry names the program where it will run,
# not where it was staged; a % and a $ in that path are escaped.
set(destdir "${PREFIX} staged")
set(PREFIX "/opt/50% $off")
install_into("${PREFIX}")
entry_value(Exec exec)
entry_value(TryExec try_exec)
set(run "${PREFIX}/${program}")
set(quoted "\"/opt/50%% \\\\\$off/${program}\"")
check("exec STREQUAL quoted AND try_exec STREQUAL run"
      MESSAGE "installed with DESTDIR the entry runs '${exec}', tries '${try_exec}'")
file(REMOVE_RECURSE "${destdir}")

end_checks("The installed tree is complete.")
